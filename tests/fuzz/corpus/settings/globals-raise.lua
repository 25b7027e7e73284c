setmetatable(_G, {__index = function(_, key) error("no " .. key) end})
