local co = coroutine.wrap(function() print(coroutine.yield(1)) screenWidth = 2 end)
co()
co("resumed")
pcall(print, setmetatable({}, {__tostring = function() return nil end}))
