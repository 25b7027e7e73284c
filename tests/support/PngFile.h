#pragma once

#include <cstdint>
#include <string>
#include <vector>

// PNG files made in memory, so image tests can build exactly the kind they need
// (colour type, bit depth, size) instead of shipping binary fixtures.
enum class PngColour : std::uint8_t { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

struct PngRgba {
    std::uint8_t r, g, b, a;
};

// Samples row by row, top row first, without PNG's per-row filter byte; a 16-bit
// sample is two bytes, high byte first. A palette image takes one index per pixel
// (8-bit only) and the palette as red, green, blue triples.
std::string encodePng(int width, int height, PngColour colour, int bitDepth,
                      const std::vector<std::uint8_t>& samples,
                      const std::vector<std::uint8_t>& palette = {});

// Every pixel the same colour, in the given colour type and bit depth (8 or 16; a
// grey image takes the red channel, a palette image gets a one-colour palette).
std::string solidPng(int width, int height, PngColour colour, int bitDepth, PngRgba fill);
