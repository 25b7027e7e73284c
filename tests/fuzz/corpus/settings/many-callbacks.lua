for i = 1, 10000 do addMapLoadedCallbacks(i, "onMap" .. i, {}) end
addMapLoadedCallbacks()
