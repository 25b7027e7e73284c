screenWidth = 640
screenHeight = 480
error("stop here")
screenWidth = 1
