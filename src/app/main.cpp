#include "app/GameEngine.h"
#include "app/HeapWarmUp.h"
#include "app/MainLoop.h"
#include "physics/Collision.h"
#include "states/IntroState.h"

#include <SDL/SDL.h>
#include <fstream>
#include <iostream>

// The command line is ignored; everything configurable lives in settings.lua.
int main(int, char**) {
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
