screenWidth = 1e300
screenHeight = -1e300
antialiasing = 0/0
vsync = 1/0
shadows = -(0/0)
