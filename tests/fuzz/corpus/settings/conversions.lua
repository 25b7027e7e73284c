screenWidth = "1280"
screenHeight = 720.0
fullscreen = 0
antialiasing = "  8  "
