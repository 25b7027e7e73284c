#include "app/GameEngine.h"
#include "app/HeapWarmUp.h"
#include "app/MainLoop.h"
#include "physics/Collision.h"
#include "states/IntroState.h"

#include <SDL/SDL.h>
#include <fstream>
#include <iostream>

#ifdef _WIN32
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Standard output carries a collision trace of 60 steps a second, which is for developers.
// On Linux the launcher discards it; here the game itself does, unless TESSARIA_TRACE=1
// keeps it or TESSARIA_TRACE=FILE writes it to that file (relative to the working folder).
void routeTrace() {
    const char* const trace = std::getenv("TESSARIA_TRACE");
    if (trace == nullptr || *trace == '\0') {
        static_cast<void>(std::freopen("NUL", "w", stdout));
    } else if (std::strcmp(trace, "1") != 0) {
        static_cast<void>(std::freopen(trace, "w", stdout));
    }
}

} // namespace
#endif

// The command line is ignored; everything configurable lives in settings.lua.
int main(int, char**) {
#ifdef _WIN32
    routeTrace();
#endif
    // First, so that the window's and the driver's large blocks stay in the heap as well;
    // the splash then warms the heap (IntroState).
    keepLargeBlocksInHeap();
    // A log that cannot be opened only discards what is written to it.
    std::ofstream log("log.txt", std::ios::out | std::ios::trunc);
    std::streambuf* const oldOut = std::cout.rdbuf(log.rdbuf());
    std::streambuf* const oldErr = std::cerr.rdbuf(log.rdbuf());

    std::cout << "Tessaria started...\n";
    std::cout << "Running tests...\n";
    runCollisionSelfTests();
    std::cout << "Finished running tests.\n";

    GameEngine engine;
    engine.Init();
    engine.ChangeState(&introState);
    runMainLoop(engine);
    engine.Cleanup();

    // Nothing may write into the log's buffer once the log is gone.
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    return 0;
}
