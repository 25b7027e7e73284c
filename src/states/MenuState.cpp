#include "states/MenuState.h"

#include "app/GameEngine.h"
#include "states/IntroState.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <iostream>

namespace {

// An OpenGL video surface has no pixels to blit into (SDL refuses with an error and
// nothing is shown), so there the picture goes to the window through OpenGL instead.
bool screenIsOpenGl() {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    return screen != nullptr && (screen->flags & SDL_OPENGL) != 0;
}

// Bytes in memory R, G, B, A: what glDrawPixels with GL_RGBA reads.
SDL_Surface* toRgba(SDL_Surface* image) {
    const Uint32 red = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 0x000000FFu : 0xFF000000u;
    const Uint32 green = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 0x0000FF00u : 0x00FF0000u;
    const Uint32 blue = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 0x00FF0000u : 0x0000FF00u;
    const Uint32 alpha = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 0xFF000000u : 0x000000FFu;
    SDL_Surface* rgba =
        SDL_CreateRGBSurface(SDL_SWSURFACE, image->w, image->h, 32, red, green, blue, alpha);
    if (rgba == nullptr) {
        return nullptr;
    }
    SDL_Surface* converted = SDL_ConvertSurface(image, rgba->format, SDL_SWSURFACE);
    SDL_FreeSurface(rgba);
    return converted;
}

// glWindowPos2i exists from OpenGL 1.4 on. Before that: the raster position at the
// window's lower-left corner under identity matrices, then moved by an empty bitmap,
// which keeps it valid even off-screen.
void placeRasterAt(int x, int y) {
    if (GLEW_VERSION_1_4) {
        glWindowPos2i(x, y);
        return;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2i(-1, -1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(x - viewport[0]),
             static_cast<GLfloat>(y - viewport[1]), nullptr);
}

void drawWithOpenGl(SDL_Surface* image, int x, int y, int screenHeight) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_PIXEL_MODE_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Window position of the picture's top-left pixel, rows drawn downwards; a
    // window position stays valid off-screen, so a larger picture is cropped.
    placeRasterAt(x, screenHeight - y);
    glPixelZoom(1.0f, -1.0f);
    glDrawPixels(image->w, image->h, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
    glPopAttrib();
    SDL_GL_SwapBuffers();
}

} // namespace

void MenuState::Init() {
    // Opened apart, or SDL's reason for a missing file would be the null it was given.
    SDL_RWops* file = SDL_RWFromFile("menu.bmp", "rb");
    SDL_Surface* loaded = file == nullptr ? nullptr : SDL_LoadBMP_RW(file, 1);
    // A missing or unreadable picture leaves the menu empty rather than crashing; the
    // log says why.
    if (loaded == nullptr) {
        std::cerr << "Unable to load menu.bmp: " << SDL_GetError() << std::endl;
    } else {
        menuImage = screenIsOpenGl() ? toRgba(loaded) : SDL_DisplayFormat(loaded);
        if (menuImage == nullptr) {
            std::cerr << "Unable to use menu.bmp: " << SDL_GetError() << std::endl;
        }
        SDL_FreeSurface(loaded);
    }
    std::cout << "MenuState Init" << std::endl;
}

void MenuState::Cleanup() {
    if (menuImage != nullptr) {
        SDL_FreeSurface(menuImage);
        menuImage = nullptr;
    }
    std::cout << "MenuState Cleanup" << std::endl;
}

void MenuState::Pause() {
    std::cout << "MenuState Pause" << std::endl;
}

void MenuState::Resume() {
    std::cout << "MenuState Resume" << std::endl;
}

void MenuState::HandleEvents(GameEngine* game) {
    // Every pending event, as on the splash: other keys and the mouse do nothing.
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (quits(event)) {
            game->Quit();
            return;
        }
    }
}

void MenuState::Update(GameEngine*) {}

void MenuState::Draw(GameEngine* game) {
    if (menuImage == nullptr) {
        return;
    }
    const WindowSize window = windowSize();
    const ScreenOffset at = centredOffset(window.width, window.height, menuImage->w, menuImage->h);
    if (screenIsOpenGl()) {
        drawWithOpenGl(menuImage, at.x, at.y, window.height);
        return;
    }
    SDL_Rect destination;
    destination.x = static_cast<Sint16>(at.x);
    destination.y = static_cast<Sint16>(at.y);
    destination.w = 0;
    destination.h = 0;
    SDL_BlitSurface(menuImage, nullptr, game->screen, &destination);
    SDL_UpdateRect(game->screen, 0, 0, 0, 0);
}
