setmetatable(_G, {__index = function(_, key) return #key * 100 end, __newindex = function() end})
fullscreen = false
