screenWidth = 2^31
screenHeight = -2^31 - 1
antialiasing = 2^31 - 1
