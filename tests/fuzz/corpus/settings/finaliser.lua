local p = newproxy(true)
getmetatable(p).__gc = function() addMapLoadedCallbacks("collected") print("bye") end
p = nil
collectgarbage()
