#!/usr/bin/env lua
screenWidth = 320
