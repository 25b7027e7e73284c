// The yardstick for the game's start: a bare SDL 1.2 program that does only what any
// OpenGL window needs (SDL, the game's OpenGL attributes, an 800 x 600 window, GLEW),
// clears, swaps once and leaves. scripts/measure-launch times its launch to that swap
// beside the game's splash.
#include <GL/glew.h>
#include <SDL/SDL.h>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        return 1;
    }
    SDL_WM_SetCaption("Bare SDL", "Bare SDL");
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == nullptr) {
        return 2;
    }
    const int bitsPerPixel = info->vfmt->BitsPerPixel;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    if (SDL_SetVideoMode(800, 600, bitsPerPixel, SDL_OPENGL) == nullptr) {
        SDL_Quit();
        return 3;
    }
    if (glewInit() != GLEW_OK) {
        SDL_Quit();
        return 4;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    SDL_Quit();
    return 0;
}
