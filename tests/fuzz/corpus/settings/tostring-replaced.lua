tostring = function(v) return 42 end
print("x", 1)
addMapLoadedCallbacks(nil, false)
tostring = nil
print(1)
