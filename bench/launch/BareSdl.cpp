// scripts/bench's yardsticks. tessaria-splash shows the splash's first frame as the game does
// (its OpenGL attributes, GLEW, Vortel.png through SDL_image, one blended textured quad) and
// leaves; tessaria-lists goes on to compile the world's display lists as the renderer does and
// prints "lists MS CPU_MS RESIDENT_MIB": the compile's time, its processor time, then what it
// holds with the world. Given views in TESSARIA_LISTS_VIEWS ("YAW PITCH X Y Z" each, then ';'),
// it then draws the lists from each, 30 frames, as play draws them and with nothing else: the
// preload's swap stamps time them.
#include <GL/glew.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#ifdef TESSARIA_WORLD_LISTS
#include "render/ChunkMesher.h"
#include "render/Frustum.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"

#include <GL/glu.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <unistd.h>
#include <vector>
#endif

int main(int, char**) {
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        return 1;
    }
    const int bitsPerPixel = SDL_GetVideoInfo()->vfmt->BitsPerPixel;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, bitsPerPixel / 4);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_Surface* image = nullptr;
    if (SDL_SetVideoMode(800, 600, bitsPerPixel, SDL_OPENGL) == nullptr || glewInit() != GLEW_OK ||
        (image = IMG_Load("Vortel.png")) == nullptr) {
        SDL_Quit();
        return 2;
    }
    // Into the default texture: the least program names none.
    const GLenum format = image->format->BytesPerPixel == 4 ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image->w, image->h, 0, format,
                 GL_UNSIGNED_BYTE, image->pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR); // magnified: linear already
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 800, 0, 600, -1, 1);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const int x = (800 - image->w) / 2, y = (600 - image->h) / 2;
    glColor4f(1.0f, 1.0f, 1.0f, 0.001f); // the splash's first step of its fade
    glBegin(GL_QUADS);
    for (int corner = 0; corner < 4; ++corner) { // from the top left, anticlockwise
        const int s = corner / 2, t = (corner + 1) / 2 % 2;
        glTexCoord2i(s, t);
        glVertex2i(x + s * image->w, y + (1 - t) * image->h);
    }
    glEnd();
    SDL_GL_SwapBuffers();
    SDL_FreeSurface(image);
#ifdef TESSARIA_WORLD_LISTS
    const Map map(new NoiseMapGenerator);
    std::vector<std::vector<ChunkVertex>> meshes;
    const int across = map.sizeX / chunkSize; // a cube of chunks, x fastest as the renderer's
    for (int i = 0; i < across * across * across; ++i) {
        meshChunk(map, i % across, i / across % across, i / across / across, meshes.emplace_back());
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnable(GL_COLOR_MATERIAL);
    // Compiled twice, the second time timed: into memory the first left in the heap, as
    // the game's warm heap has it ready. What the driver itself takes is the floor.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    auto start = std::chrono::steady_clock::now();
    std::clock_t used = 0;                    // processor time, all threads
    std::vector<GLuint> lists(meshes.size()); // 0 for an empty chunk, which is drawn never
    for (int round = 0; round < 2; ++round) {
        glDeleteLists(1, static_cast<GLsizei>(meshes.size()));
        start = std::chrono::steady_clock::now();
        used = std::clock();
        for (const std::vector<ChunkVertex>& mesh : meshes) {
            if (!mesh.empty()) {
                glVertexPointer(3, GL_FLOAT, sizeof(ChunkVertex), mesh[0].position);
                glNormalPointer(GL_FLOAT, sizeof(ChunkVertex), mesh[0].normal);
                glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(ChunkVertex), mesh[0].colour);
                GLuint& list = lists[static_cast<std::size_t>(&mesh - meshes.data())];
                list = glGenLists(1);
                glNewList(list, GL_COMPILE);
                glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mesh.size()));
                glEndList();
            }
        }
    }
    const std::chrono::duration<double, std::milli> compiling =
        std::chrono::steady_clock::now() - start;
    const double compilingCpu = (std::clock() - used) * 1000.0 / CLOCKS_PER_SEC;
    meshes = {};
    malloc_trim(0);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages >> pages; // the second: resident pages
    std::printf("lists %.3f %.3f %.1f\n", compiling.count(), compilingCpu,
                pages * getpagesize() / 1048576.0);

    // Play's state as its Init and the renderer set it, for the drawing alone.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, 800.0 / 600.0, 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.686f, 0.843f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LIGHTING);
    const MapLight* const lights[2] = {&map.primaryLight, &map.secondaryLight};
    for (GLenum id = GL_LIGHT0; id <= GL_LIGHT1; ++id) {
        const MapLight& light = *lights[id - GL_LIGHT0];
        glEnable(id);
        glLightfv(id, GL_AMBIENT, &light.ambient.x);
        glLightfv(id, GL_DIFFUSE, &light.diffuse.x);
        glLightfv(id, GL_SPECULAR, &light.specular.x);
    }
    const char* views = std::getenv("TESSARIA_LISTS_VIEWS");
    float yaw = 0, pitch = 0;
    Vector3 eye{};
    for (int read = 0; views != nullptr && std::sscanf(views, "%f %f %f %f %f%n", &yaw, &pitch,
                                                       &eye.x, &eye.y, &eye.z, &read) == 5;
         views += read + (views[read] == ';')) {
        const FrustumPlanes planes =
            frustumPlanes(eye, viewBasis(yaw, pitch), 80.0f, 0.1f, 10000.0f, 800.0f / 600);
        for (int frame = 0; frame < 30; ++frame) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glLoadIdentity(); // the camera's view, as Camera::applyView gives it
            glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
            glRotatef(-pitch, 1.0f, 0.0f, 0.0f);
            glRotatef(-yaw, 0.0f, 0.0f, 1.0f);
            glTranslatef(-eye.x, -eye.y, -eye.z);
            glLightfv(GL_LIGHT0, GL_POSITION, &map.primaryLight.position.x);
            glLightfv(GL_LIGHT1, GL_POSITION, &map.secondaryLight.position.x);
            for (int i = 0; i < static_cast<int>(lists.size()); ++i) {
                if (lists[static_cast<std::size_t>(i)] != 0 &&
                    classifyBox(planes, chunkBounds(i % across, i / across % across,
                                                    i / across / across)) !=
                        FrustumResult::Outside) {
                    glCallList(lists[static_cast<std::size_t>(i)]);
                }
            }
            SDL_GL_SwapBuffers();
        }
    }
#endif
    SDL_Quit();
    return 0;
}
