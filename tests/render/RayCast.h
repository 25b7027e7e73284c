#pragma once

// The picture a player must see, cast ray by ray through the map's cells and sharing nothing
// with the renderer: the eye 0.7 above the body, 80 degrees high, 0.1 to 10000; each face lit
// as fixed-function lighting lights it, by the two lights' ambient and diffuse terms on the
// block's colour plus OpenGL's global ambient of 0.2.

#include "world/Map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <png.h>
#include <sstream>
#include <string>
#include <vector>

using Rgb = std::array<unsigned char, 3>;
using Point = std::array<double, 3>;

struct RayHit {
    std::array<int, 3> cell{};
    int face = -1;    // -1 the sky; else 0 +x, 1 -x, 2 +y, 3 -y, 4 top, 5 bottom
    double ahead = 0; // the depth along the view direction
    bool operator!=(const RayHit& o) const {
        return face != o.face || (face >= 0 && cell != o.cell);
    }
};

constexpr double castNear = 0.1, castFar = 10000;

inline Rgb faceColour(std::uint8_t type, int face) {
    if (face < 0)
        return {175, 215, 255}; // 0.686, 0.843, 1.0
    static const double colours[4][3] = {{0, 0, 0}, {93, 168, 39}, {116, 69, 48}, {81, 90, 90}};
    static const double lights[2][3] = {{0.5345, 0.2672, 0.8017}, {-0.5345, -0.2672, -1.0}};
    double light = 0.2 + 0.4 + 0.1; // global, primary and secondary ambient
    for (int l = 0; l < 2; ++l) {
        const double* v = lights[l];
        const double toward = (face % 2 ? -1 : 1) * v[face / 2] / std::hypot(v[0], v[1], v[2]);
        light += std::max(0.0, toward) * (l == 0 ? 1.0 : 0.5);
    }
    Rgb rgb;
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<unsigned char>(
            std::lround(std::min(1.0, colours[type][c] / 255 * light) * 255));
    return rgb;
}

struct RayView {
    RayView(Point body, double yaw, double pitch, int width, int height)
        : width(width), height(height), eye{body[0], body[1], body[2] + 0.7} {
        const double k = M_PI / 180, heading = (yaw + 90) * k, down = (90 - pitch) * k;
        const double pixel = 2 * std::tan(40 * k) / height; // square pixels
        ahead = {std::sin(down) * std::cos(heading), std::sin(down) * std::sin(heading),
                 std::cos(down)};
        up = {-std::sin(pitch * k) * std::cos(heading) * pixel,
              -std::sin(pitch * k) * std::sin(heading) * pixel, std::cos(pitch * k) * pixel};
        for (int a = 0; a < 3; ++a)
            right[a] = ahead[(a + 1) % 3] * up[(a + 2) % 3] - ahead[(a + 2) % 3] * up[(a + 1) % 3];
    }

    // Row 0 at the bottom. Walked cell by cell, the ray's parameter is the depth ahead.
    RayHit cast(const Map& map, int column, int row) const {
        Point d, next, delta;
        std::array<int, 3> cell, step;
        for (int a = 0; a < 3; ++a) {
            d[a] = ahead[a] + right[a] * (column + 0.5 - width / 2.0) +
                   up[a] * (row + 0.5 - height / 2.0);
            cell[a] = static_cast<int>(std::floor(eye[a]));
            step[a] = d[a] > 0 ? 1 : -1;
            delta[a] = d[a] != 0 ? 1 / std::abs(d[a]) : HUGE_VAL;
            next[a] = d[a] != 0 ? (cell[a] + (d[a] > 0) - eye[a]) / d[a] : HUGE_VAL;
        }
        // Air, solid, or beside or below the map, where nothing is drawn; above it open sky.
        const auto kind = [&map](const std::array<int, 3>& c) {
            if (c[0] < 0 || c[1] < 0 || c[2] < 0 || c[0] >= map.sizeX || c[1] >= map.sizeY)
                return 2;
            return c[2] >= map.sizeZ || map.blocks[map.blockIndex(c[0], c[1], c[2])] == Air ? 0 : 1;
        };
        for (int was = kind(cell);;) {
            const int a =
                next[0] < next[1] ? (next[0] < next[2] ? 0 : 2) : (next[1] < next[2] ? 1 : 2);
            const double s = next[a];
            cell[a] += step[a];
            next[a] += delta[a];
            const int now = kind(cell);
            if (s > castFar || now == 2 || (cell[2] >= map.sizeZ && d[2] >= 0))
                return {};
            if (was == 0 && now == 1 && s >= castNear) // a front face the near plane leaves
                return {cell, 2 * a + (step[a] > 0), s};
            was = now;
        }
    }

    int width, height;
    Point eye, ahead, up, right; // up and right span one pixel at depth 1
};

inline void writePng(const std::string& file, const std::vector<Rgb>& pixels, int w, int h) {
    png_image image{};
    std::tie(image.version, image.width, image.height, image.format) =
        std::tuple(PNG_IMAGE_VERSION, w, h, PNG_FORMAT_RGB);
    png_image_write_to_file(&image, file.c_str(), 0, pixels.data(), -3 * w, nullptr);
}

struct Comparison {
    int compared = 0, differing = 0;
    std::string report;
};

// The game's picture and depth buffer (bottom row first) against the cast, leaving out pixels
// whose 3 x 3 neighbourhood in the cast holds more than one face (the sky counts as one). On a
// difference, writes both pictures and the difference as <name>-game.png, -cast.png and
// -difference.png and says where.
inline Comparison compareWithCast(const Map& map, const RayView& view, const std::vector<Rgb>& game,
                                  const std::vector<float>& depth, int depthBits,
                                  const std::string& name) {
    static const char* const types[] = {"air", "grass", "dirt", "stone"};
    static const char* const faces[] = {"+x", "-x", "+y", "-y", "top", "bottom"};
    const int w = view.width, h = view.height;
    std::vector<RayHit> hits(w * h);
    for (int i = 0; i < w * h; ++i)
        hits[i] = view.cast(map, i % w, i / w);
    const auto typeAt = [&map](const RayHit& hit) {
        return hit.face < 0 ? std::uint8_t{Air}
                            : map.blocks[map.blockIndex(hit.cell[0], hit.cell[1], hit.cell[2])];
    };
    // Depths as distances ahead; a sky pixel keeps the cleared depth 1, as far as the far plane.
    const auto ahead = [](double z) { return castNear / (1 - z * (castFar - castNear) / castFar); };
    Comparison result;
    std::ostringstream report;
    std::vector<Rgb> cast(w * h), difference(w * h);
    for (int i = 0; i < w * h; ++i) {
        const RayHit& hit = hits[i];
        cast[i] = faceColour(typeAt(hit), hit.face);
        bool edge = false;
        for (int n = 0; n < 9; ++n) {
            const int c = i % w + n % 3 - 1, r = i / w + n / 3 - 1;
            edge = edge || (c >= 0 && r >= 0 && c < w && r < h && hits[r * w + c] != hit);
        }
        if (edge)
            continue;
        ++result.compared;
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(game[i][c] - cast[i][c]);
            worst = std::max(worst, d);
            difference[i][c] = static_cast<unsigned char>(std::min(255, 64 + 8 * d));
        }
        // The same within two steps of the depth buffer there and a ten-thousandth, the
        // game's single-precision geometry.
        const double s = hit.face < 0 ? castFar : hit.ahead;
        const double step = s * s / castNear / std::ldexp(1.0, depthBits);
        if ((worst <= 1 && std::abs(ahead(depth[i]) - s) <= 2 * step + 1e-4 * s) ||
            result.differing++ >= 5)
            continue;
        report << "\n  (" << i % w << ", " << i / w << ") game " << +game[i][0] << " "
               << +game[i][1] << " " << +game[i][2] << " at " << ahead(depth[i]) << "; cast "
               << +cast[i][0] << " " << +cast[i][1] << " " << +cast[i][2] << " "
               << (hit.face < 0 ? "sky" : types[typeAt(hit)]) << " "
               << (hit.face < 0 ? "" : faces[hit.face]) << " of " << hit.cell[0] << " "
               << hit.cell[1] << " " << hit.cell[2] << " at " << s;
    }
    if (result.differing > 0) {
        const std::string stem = (std::filesystem::current_path() / name).string();
        writePng(stem + "-game.png", game, w, h);
        writePng(stem + "-cast.png", cast, w, h);
        writePng(stem + "-difference.png", difference, w, h);
        result.report = stem + "-{game,cast,difference}.png; first differing:" + report.str();
    }
    return result;
}
