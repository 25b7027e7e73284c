#pragma once

#include <cstdint>
#include <string>

// An image file as an OpenGL 2D texture of the image's own size. Loading happens in
// the constructor; an image that cannot be used ends the process with status 1, after a
// line on standard error that says why.
class Texture {
  public:
    explicit Texture(const std::string& fileName);
    ~Texture(); // needs the OpenGL context still current
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void Load();

    std::string fileName;
    bool loaded;
    std::uint32_t textureId;
    int width;
    int height;
    bool hasAlpha;
};
