screenWidth = {}
screenHeight = print
fullscreen = nil
antialiasing = true
vsync = "no"
shadows = 0
