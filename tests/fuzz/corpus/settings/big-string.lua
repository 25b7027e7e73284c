local s = "x" for i = 1, 22 do s = s .. s end print(s)
