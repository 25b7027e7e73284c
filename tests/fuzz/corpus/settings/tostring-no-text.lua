local t = setmetatable({}, {__tostring = function() return {} end})
addMapLoadedCallbacks("a", t)
