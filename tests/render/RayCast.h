#pragma once

// The picture a player must see, cast ray by ray through the map's cells and sharing nothing
// with the renderer: the eye 0.7 above the body, 80 degrees high, 0.1 to 10000; each face lit
// as fixed-function lighting lights it, by the two lights' ambient and diffuse terms on the
// block's colour plus OpenGL's global ambient of 0.2.

#include "world/Map.h"

#include <array>
#include <string>
#include <vector>

using Rgb = std::array<unsigned char, 3>;

struct RayHit {
    std::array<int, 3> cell{};
    int face = -1;    // -1 the sky; else 0 +x, 1 -x, 2 +y, 3 -y, 4 top, 5 bottom
    double depth = 1; // in the window's depth range
    double next = 1;  // the next front face behind it along the ray
    bool operator==(const RayHit& o) const {
        return face == o.face && (face < 0 || cell == o.cell);
    }
};

struct RayView {
    RayView(std::array<double, 3> body, double yaw, double pitch, int width, int height);
    RayHit cast(const Map& map, int column, int row) const; // row 0 at the bottom
    // The pixel a world point falls on; false behind the near plane.
    bool project(std::array<double, 3> p, double& column, double& row) const;
    int width, height;
    std::array<double, 3> eye, ahead, up, right; // right and up spanning one pixel each
};

Rgb faceColour(std::uint8_t type, int face); // the sky's for face -1

// The game's picture and depth (bottom row first) against the cast, leaving out pixels whose
// 3 x 3 neighbourhood in the cast holds more than one face (the sky counts as one), those
// within a pixel of the picked block's outline and those whose face lies within two steps of
// the depth buffer of the next face behind it. On a difference, writes the three pictures as
// <name>-game.png, -cast.png and -difference.png and says where.
struct Comparison {
    int compared = 0, edges = 0, outline = 0, close = 0, differing = 0;
    std::string report;
};
Comparison compareWithCast(const Map& map, const RayView& view, std::array<int, 3> picked,
                           const std::vector<Rgb>& game, const std::vector<float>& depth,
                           int depthBits, const std::string& name);
