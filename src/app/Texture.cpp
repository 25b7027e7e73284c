#include "app/Texture.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <cstdlib>
#include <iostream>

namespace {

// As every failure of the engine: SDL shut down first, so that a desktop the game had in full
// screen gets its own mode back.
[[noreturn]] void refuse() {
    SDL_Quit();
    std::exit(1);
}

} // namespace

Texture::Texture(const std::string& name)
    : fileName(name), loaded(false), textureId(0), width(0), height(0), hasAlpha(false) {
    Load();
}

Texture::~Texture() {
    if (loaded) {
        loaded = false;
        const GLuint id = textureId;
        glDeleteTextures(1, &id);
    }
}

void Texture::Load() {
    loaded = true;
    SDL_Surface* image = IMG_Load(fileName.c_str());
    if (image == nullptr) {
        // Standard error goes to the log, where the player reads which file it was and why.
        std::cerr << "Unable to load " << fileName << ": " << IMG_GetError() << std::endl;
        refuse();
    }
    GLenum format = 0;
    switch (image->format->BytesPerPixel) {
    case 3:
        format = GL_RGB;
        hasAlpha = false;
        break;
    case 4:
        format = GL_RGBA;
        hasAlpha = true;
        break;
    default: { // palette and 16-bit images are refused
        const int bytes = image->format->BytesPerPixel;
        std::cerr << "Unable to use " << fileName << ": " << bytes
                  << (bytes == 1 ? " byte" : " bytes")
                  << " per pixel, not 3 (red, green, blue) or 4 (with alpha)" << std::endl;
        SDL_FreeSurface(image);
        refuse();
    }
    }
    width = image->w;
    height = image->h;

    GLuint id = 0;
    glGenTextures(1, &id);
    textureId = id;
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                 GL_UNSIGNED_BYTE, image->pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    SDL_FreeSurface(image);
}
