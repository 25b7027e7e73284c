-- Tessaria settings. This file is a Lua script: it runs once when the game starts,
-- and the game then reads the six variables below. Anything you leave out keeps
-- its built-in value (800 x 600, full screen, no antialiasing, no vsync).

-- Window size in pixels.
screenWidth = 800
screenHeight = 600

-- true fills the whole screen; false opens a window.
fullscreen = false

-- Multisample antialiasing: 0 turns it off, 2 or 4 smooths the block edges.
antialiasing = 0

-- true waits for the display between frames (steadier, capped at its refresh rate).
vsync = false

-- Reserved for a shadow option; the game does not use it yet.
shadows = false

-- Lines printed here end up in log.txt.
print("Settings loaded: " .. screenWidth .. " x " .. screenHeight)
