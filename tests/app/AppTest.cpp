#include "app/FrameTimer.h"
#include "app/GameEngine.h"
#include "app/GameState.h"
#include "app/Globals.h"
#include "app/HeapWarmUp.h"
#include "app/MainLoop.h"
#include "app/Texture.h"
#include "script/Settings.h"
#include "support/Testing.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#ifdef __GLIBC__
#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace {

using Times = std::vector<std::uint32_t>;
std::uint32_t fakeNow = 0;
const FrameTimer::Clock fakeClock = [] { return fakeNow; };

TEST(FrameTimer, MeasuresEachTickAndKeepsTheMeanOfTheLastTenSinceItsConstructionOrReset) {
    // The clock at each reset and tick: the durations, means and last delta. A clock standing
    // still or wrapping gives the mean (0 without history).
    // clang-format off
    const std::tuple<std::uint32_t, Times, Times, Times, float> cases[] = {
        {5000, {5000}, {0}, {0}, 0.0f}, {5000, {5017}, {17}, {17}, 0.017f},
        {5000, {5010, 5031, 5031}, {10, 21, 15}, {10, 15, 15}, 0.015f},
        {5000, {5010, 5030, 5060}, {10, 20, 30}, {10, 15, 20}, 0.03f},
        {0xFFFFFFF0u, {0xFFFFFFF4u, 0xFFFFFFFCu, 5, 17}, {4, 8, 6, 12}, {4, 6, 6, 7}, 0.012f},
        {5000, {5100, 5110, 5120, 5130, 5140, 5150, 5160, 5170, 5180, 5190, 5200},
         {100, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
         {100, 55, 40, 32, 28, 25, 22, 21, 20, 19, 10}, 0.01f}};
    // clang-format on
    fakeNow = 5000;
    FrameTimer timer(fakeClock);
    for (const auto& [start, readings, durations, means, seconds] : cases) {
        fakeNow = start;
        if (timer.frameCount != 0) // after the first row
            timer.Reset();
        for (std::size_t i = 0; i < readings.size(); ++i) {
            fakeNow = readings[i];
            timer.Tick();
            EXPECT_EQ(
                std::make_tuple(timer.frameTimes[i % 10], timer.averageFrameTime, timer.frameCount),
                std::make_tuple(durations[i], means[i], i + 1))
                << start << " tick " << i;
        }
        EXPECT_EQ(timer.deltaSeconds, seconds) << start;
    }
}

struct RecordingState : GameState {
    explicit RecordingState(const char* name) : name(name) {}
    void Init() override { std::cout << name << " Init\n"; } // as the real states log
    void Cleanup() override { std::cout << name << " Cleanup\n"; }
    void Pause() override {}
    void Resume() override {}
    void HandleEvents(GameEngine*) override {}
    void Update(GameEngine*) override {}
    void Draw(GameEngine*) override {}
    const char* name;
};

TEST(GameEngine, ChangeStateCleansUpTheOldTopFirstAndCleanupEmptiesTheStackTopDown) {
    RecordingState intro("Intro"), play("Play");
    GameEngine engine;
    const std::string lines = written(std::cout, [&] {
        engine.ChangeState(&intro);
        engine.ChangeState(&play);
        engine.ChangeState(&play); // the same state again: cleaned up and initialised
        EXPECT_EQ(engine.states, std::vector<GameState*>{&play});
        engine.states.insert(engine.states.begin(), &intro);
        engine.Cleanup();
        engine.Cleanup(); // with nothing left to clean up
    });
    EXPECT_EQ(lines, "Intro Init\nIntro Cleanup\nPlay Init\nPlay Cleanup\nPlay Init\nPlay Cleanup\n"
                     "Intro Cleanup\nGameEngine Cleanup\nGameEngine Cleanup\n");
}

// In a child process with SDL's dummy driver and a settings file of its own, empty: run, then
// a handler at exit fails it with 9 if SDL was left running.
template <class F> void runWith(F run) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    settingsFileName = "/tmp/tessaria-init-" + std::to_string(getpid()) + ".lua";
    std::ofstream{settingsFileName};
    std::atexit([] {
        std::remove(settingsFileName.c_str());
        std::remove((settingsFileName + ".bmp").c_str()); // the run's own picture
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
            std::_Exit(9);
    });
    run();
    std::exit(0);
}
// A texture of a picture of 8 bits per pixel (or of none) loaded while SDL runs.
void loadWith(bool palette) {
    runWith([palette] {
        SDL_Init(SDL_INIT_VIDEO);
        SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 8, 0, 0, 0, 0);
        SDL_SaveBMP(image, (settingsFileName + ".bmp").c_str());
        SDL_FreeSurface(image);
        Texture{palette ? settingsFileName + ".bmp" : "no-such-picture.png"};
    });
}

// The threadsafe style runs each case in a fresh copy of the test program, whose record of
// the globals shows them built in their one order before main and torn down in reverse.
TEST(AppDeathTest, StartUpFailuresShutSdlDownAndTheGlobalsOrderAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // After the game's words the library's, not blank (in regular expressions Windows' simple
    // ones read too).
    const std::string reason = ".*\\S.*\n$";
    EXPECT_EXIT(loadWith(false), ::testing::ExitedWithCode(1),
                "^Unable to load no-such-picture.png: " + reason);
    EXPECT_EXIT(
        loadWith(true), ::testing::ExitedWithCode(1),
        "^Unable to use /tmp/.*\\.bmp: 1 byte per pixel, not 3 \\(red, green, blue\\) or "
        "4 \\(with alpha\\)\n$");
    // The dummy driver has no OpenGL: the usual line, then what was asked for and SDL's reason.
    EXPECT_EXIT(
        runWith([] { GameEngine().Init(); }), ::testing::ExitedWithCode(3),
        "^Unable to create a window with the desired OpenGL properties\nAsked for 800 x 600 "
        "pixels in full screen, antialiasing 0: " +
            reason);
    EXPECT_EXIT((setenv(globals::traceVariable, "1", 1), std::exit(0)),
                ::testing::ExitedWithCode(0),
                "^keyState\nsquareRootOfTwo\nfreeLightIds\nluaState\nsettingsFileName\nsettings\n"
                "frameTimer\n~frameTimer\n~settingsFileName\n~luaState\n~mapLoadedCallbacks\n"
                "~freeLightIds\n$");
    EXPECT_EXIT((unsetenv(globals::traceVariable), std::exit(0)), ::testing::ExitedWithCode(0),
                "^$");
}

TEST(WindowSide, ZeroIsTheDesktopsAndOnlyOneTo16384PixelsHaveAWindow) {
    const int cases[][3] = {{0, 1920, 1920},    {0, 0, 0},         {1, 1920, 1},
                            {4096, 1024, 4096}, {-1, 1920, 0},     {16384, 1024, 16384},
                            {16385, 1920, 0},   {INT_MAX, 1920, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(windowSide(c[0], c[1]), c[2]) << c[0] << " on " << c[1];
    // GLU's text for an OpenGL error, or the hexadecimal where it has none (GL_CONTEXT_LOST).
    EXPECT_EQ(glErrorText(GL_INVALID_VALUE) + glErrorText(0x0507), "invalid value0x0507");
}

// How many steps of this slice warm what warmUp was begun with, the last one answering false.
[[maybe_unused]] int stepsUntilWarm(HeapWarmUp& warmUp, std::size_t slice) {
    int steps = 1;
    while (warmUp.step(slice))
        ++steps;
    return steps;
}

TEST(HeapWarmUp, TakesWhatTheHeapLacksAndWarmsItASliceAtATimeHandingEachBlockBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps a heap of its own";
#elif !defined(__GLIBC__)
    GTEST_SKIP() << "only glibc's heap is warmed";
#else
    const auto faults = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_minflt;
    };
    // On 4 KiB pages only: a huge page would serve a cold block in a fault or two as well.
    prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
    keepLargeBlocksInHeap();
    HeapWarmUp warmUp;
    EXPECT_FALSE(warmUp.step(heapWarmUpSliceBytes)) << "nothing asked for";
    warmUp.begin(mallinfo2().arena + (27u << 20));
    EXPECT_TRUE(warmUp.step(heapWarmUpSliceBytes));
    EXPECT_TRUE(warmUp.step(heapWarmUpSliceBytes));
    long before = faults();
    std::vector<char> meanwhile(6u << 20, 1);
    EXPECT_LT(faults() - before, 100) << "the first 8 MiB are warm and back in the heap";
    EXPECT_EQ(2 + stepsUntilWarm(warmUp, heapWarmUpSliceBytes), 7) << "27 MiB in 4 MiB slices";
    before = faults();
    std::vector<char> map(16u << 20, 1);
    EXPECT_LT(faults() - before, 100) << "4096 pages when cold";
    prctl(PR_SET_THP_DISABLE, 0, 0, 0, 0);
    // What the heap lacks and the slice a step warms: the steps until all is warm. Steps end on
    // what was taken though neither it nor the slice is whole pages. What the heap holds already
    // counts: a heap that has it takes nothing more, not even a page.
    const std::tuple<std::size_t, std::size_t, int> cases[] = {
        {0, 1, 1},
        {(19u << 20) + 1000, heapWarmUpSliceBytes, 5}, // two blocks of 8 MiB and a short one
        {(8u << 20) + 1, 8u << 20, 2},                 // a block and one byte
        {1000, 4096, 1},                               // less than a page
        {5000, 4096, 2},
        {(2u << 20) - 1, 3000, 700}}; // slices short of a page
    for (const auto& [lacking, slice, steps] : cases) {
        const std::size_t inUse = mallinfo2().uordblks;
        HeapWarmUp warmUp;
        warmUp.begin(mallinfo2().arena + lacking);
        EXPECT_EQ(stepsUntilWarm(warmUp, slice), steps) << lacking;
        EXPECT_FALSE(warmUp.step(slice)) << lacking; // the splash steps on every frame
        // Every block handed back, but for a chunk or two the thread's cache keeps (in use).
        EXPECT_LT(mallinfo2().uordblks, inUse + 4096) << lacking;
    }
#endif
}

TEST(HeapWarmUp, OnlyHugePagesWhollyInsideABlockAreAdvised) {
    // A block's start and size: the range of whole huge pages (2 MiB) inside it.
    const std::uintptr_t boundary = 0x40000000u;
    const std::tuple<std::uintptr_t, std::size_t, std::uintptr_t, std::uintptr_t> cases[] = {
        {boundary, 8u << 20, boundary, boundary + (8u << 20)},
        {boundary + 16, 8u << 20, boundary + (2u << 20), boundary + (8u << 20)},
        {boundary - 16, 8u << 20, boundary, boundary + (6u << 20)},
        {boundary + 16, (4u << 20) - 16, boundary + (2u << 20), boundary + (4u << 20)},
        {boundary + 16, (4u << 20) - 17, boundary + (2u << 20), boundary + (2u << 20)},
        {boundary + 16, 1000, boundary + (2u << 20), boundary + (2u << 20)}};
    for (const auto& [start, bytes, from, to] : cases) {
        const AddressRange huge = wholeHugePages(start, bytes);
        EXPECT_EQ(std::make_pair(huge.from, huge.to), std::make_pair(from, to))
            << std::hex << start << " + " << bytes;
    }
}

} // namespace
