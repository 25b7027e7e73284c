print(1, nil, true, "a\0b", 2.5, {}, print)
print()
print("")
