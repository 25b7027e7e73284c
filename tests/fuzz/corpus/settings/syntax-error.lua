screenWidth = 640
screenHeight = = 480
