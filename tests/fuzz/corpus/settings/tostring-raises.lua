local t = setmetatable({}, {__tostring = function() error("no text") end})
screenWidth = 640
print(t)
