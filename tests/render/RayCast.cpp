#include "render/RayCast.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <png.h>
#include <sstream>

namespace {

constexpr double nearPlane = 0.1, farPlane = 10000, degree = M_PI / 180;
const char* const typeNames[] = {"air", "grass", "dirt", "stone"};
const char* const faceNames[] = {"+x", "-x", "+y", "-y", "top", "bottom"};

void writePng(const std::string& file, const std::vector<Rgb>& pixels, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&image, file.c_str(), 0, pixels.data(), -3 * width, nullptr);
}

// The face whose colour the game's pixel has, or the sky or the outline's white.
std::string faceSeen(Rgb colour) {
    std::pair<int, std::string> seen{3 * 255 - (colour[0] + colour[1] + colour[2]), "white"};
    for (int t = 0; t < 4; ++t)
        for (int k = t == 0 ? -1 : 0; k < (t == 0 ? 0 : 6); ++k) {
            const Rgb c = faceColour(static_cast<std::uint8_t>(t), k);
            const int d = std::abs(c[0] - colour[0]) + std::abs(c[1] - colour[1]) +
                          std::abs(c[2] - colour[2]);
            seen =
                std::min(seen, {d, k < 0 ? "sky" : std::string(typeNames[t]) + " " + faceNames[k]});
        }
    return seen.second;
}

} // namespace

RayView::RayView(std::array<double, 3> body, double yaw, double pitch, int width, int height)
    : width(width), height(height), eye{body[0], body[1], body[2] + 0.7} {
    const double heading = (yaw + 90) * degree, down = (90 - pitch) * degree;
    ahead = {std::sin(down) * std::cos(heading), std::sin(down) * std::sin(heading),
             std::cos(down)};
    const double pixel = 2 * std::tan(40 * degree) / height; // square pixels
    up = {-std::sin(pitch * degree) * std::cos(heading) * pixel,
          -std::sin(pitch * degree) * std::sin(heading) * pixel, std::cos(pitch * degree) * pixel};
    for (int a = 0; a < 3; ++a)
        right[a] = ahead[(a + 1) % 3] * up[(a + 2) % 3] - ahead[(a + 2) % 3] * up[(a + 1) % 3];
}

RayHit RayView::cast(const Map& map, int column, int row) const {
    // Walked cell by cell, the ray's parameter is the depth along the view direction.
    std::array<double, 3> d, next, delta;
    std::array<int, 3> cell, step;
    for (int a = 0; a < 3; ++a) {
        d[a] =
            ahead[a] + right[a] * (column + 0.5 - width / 2.0) + up[a] * (row + 0.5 - height / 2.0);
        cell[a] = static_cast<int>(std::floor(eye[a]));
        step[a] = d[a] > 0 ? 1 : -1;
        delta[a] = d[a] != 0 ? 1 / std::abs(d[a]) : std::numeric_limits<double>::infinity();
        next[a] = d[a] != 0 ? (cell[a] + (d[a] > 0) - eye[a]) / d[a] : delta[a];
    }
    // Air, solid, or beside or below the map, where nothing is drawn; above it lies open sky.
    const auto kind = [&map](const std::array<int, 3>& c) {
        if (c[0] < 0 || c[1] < 0 || c[2] < 0 || c[0] >= map.sizeX || c[1] >= map.sizeY)
            return 2;
        return c[2] >= map.sizeZ || map.blocks[map.blockIndex(c[0], c[1], c[2])] == Air ? 0 : 1;
    };
    RayHit hit;
    for (int was = kind(cell);;) {
        const int a = next[0] < next[1] ? (next[0] < next[2] ? 0 : 2) : (next[1] < next[2] ? 1 : 2);
        const double s = next[a];
        cell[a] += step[a];
        next[a] += delta[a];
        const int now = kind(cell);
        if (s > farPlane || now == 2 || (cell[2] >= map.sizeZ && d[2] >= 0))
            break;
        if (was == 0 && now == 1 && s >= nearPlane) { // a front face, not clipped by the near plane
            const double depth = farPlane / (farPlane - nearPlane) * (1 - nearPlane / s);
            if (hit.face >= 0) {
                hit.next = depth;
                break;
            }
            hit = {cell, 2 * a + (step[a] > 0), depth};
        }
        was = now;
    }
    return hit;
}

bool RayView::project(std::array<double, 3> p, double& column, double& row) const {
    double s = 0, x = 0, y = 0, pixel = 0;
    for (int a = 0; a < 3; ++a) {
        s += (p[a] - eye[a]) * ahead[a];
        x += (p[a] - eye[a]) * right[a];
        y += (p[a] - eye[a]) * up[a];
        pixel += up[a] * up[a];
    }
    column = x / (s * pixel) + width / 2.0 - 0.5;
    row = y / (s * pixel) + height / 2.0 - 0.5;
    return s >= nearPlane;
}

Rgb faceColour(std::uint8_t type, int face) {
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

Comparison compareWithCast(const Map& map, const RayView& view, std::array<int, 3> picked,
                           const std::vector<Rgb>& game, const std::vector<float>& depth,
                           int depthBits, const std::string& name) {
    const int w = view.width, h = view.height;
    std::vector<RayHit> hits(w * h);
    for (int i = 0; i < w * h; ++i)
        hits[i] = view.cast(map, i % w, i / w);
    std::vector<char> nearOutline(w * h);
    for (int edge = 0; edge < 24 && picked[0] >= 0; ++edge) { // from each corner along an axis
        const int corner = edge / 3, axis = edge % 3;
        if ((corner >> axis & 1) != 0)
            continue;
        for (int i = 0; i <= 1000; ++i) {
            std::array<double, 3> p;
            for (int a = 0; a < 3; ++a)
                p[a] = picked[a] - 0.01 + 1.02 * (a == axis ? i / 1000.0 : corner >> a & 1);
            double x, y;
            if (!view.project(p, x, y))
                continue;
            for (int n = 0; n < 9; ++n) {
                const long c = std::lround(x) + n % 3 - 1, r = std::lround(y) + n / 3 - 1;
                if (c >= 0 && r >= 0 && c < w && r < h)
                    nearOutline[r * w + c] = 1;
            }
        }
    }
    const auto typeAt = [&map](const RayHit& hit) {
        return hit.face < 0 ? std::uint8_t{Air}
                            : map.blocks[map.blockIndex(hit.cell[0], hit.cell[1], hit.cell[2])];
    };
    const double steps = std::ldexp(1.0, depthBits) - 1;
    Comparison result;
    std::ostringstream report;
    std::vector<Rgb> cast(w * h), difference(w * h);
    for (int i = 0; i < w * h; ++i) {
        const RayHit& hit = hits[i];
        cast[i] = faceColour(typeAt(hit), hit.face);
        bool edge = false;
        for (int n = 0; n < 9; ++n) {
            const int c = i % w + n % 3 - 1, r = i / w + n / 3 - 1;
            edge = edge || (c >= 0 && r >= 0 && c < w && r < h && !(hits[r * w + c] == hit));
        }
        if (edge || nearOutline[i] || (hit.face >= 0 && (hit.next - hit.depth) * steps < 2)) {
            (edge ? result.edges : nearOutline[i] ? result.outline : result.close) += 1;
            continue;
        }
        ++result.compared;
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(game[i][c] - cast[i][c]);
            worst = std::max(worst, d);
            difference[i][c] = static_cast<unsigned char>(std::min(255, 64 + 8 * d));
        }
        // The depths as distances ahead of the eye: the same within two steps of the depth
        // buffer there and the game's single-precision geometry, a ten-thousandth.
        const auto ahead = [](double z) {
            return nearPlane / (1 - z * (farPlane - nearPlane) / farPlane);
        };
        const double s = ahead(hit.depth), step = s * s / nearPlane / steps;
        if (worst <= 1 && std::abs(ahead(depth[i]) - s) <= 2 * step + 1e-4 * s)
            continue;
        if (result.differing++ >= 5)
            continue;
        report << "\n  (" << i % w << ", " << i / w << ") game " << +game[i][0] << " "
               << +game[i][1] << " " << +game[i][2] << " (" << faceSeen(game[i]) << ") depth "
               << depth[i] << "; cast " << +cast[i][0] << " " << +cast[i][1] << " " << +cast[i][2];
        if (hit.face < 0)
            report << " (sky)";
        else
            report << " (" << typeNames[typeAt(hit)] << " " << faceNames[hit.face] << " of "
                   << hit.cell[0] << " " << hit.cell[1] << " " << hit.cell[2] << ") depth "
                   << hit.depth;
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
