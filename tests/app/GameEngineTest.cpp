#include "app/GameEngine.h"
#include "app/GameState.h"
#include "script/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Writes its life-cycle lines to standard output like the real states, so the
// order against the engine's own line shows in one stream.
class RecordingState : public GameState {
  public:
    explicit RecordingState(const char* name) : name(name) {}
    void Init() override { std::cout << name << " Init" << std::endl; }
    void Cleanup() override { std::cout << name << " Cleanup" << std::endl; }
    void Pause() override { std::cout << name << " Pause" << std::endl; }
    void Resume() override { std::cout << name << " Resume" << std::endl; }
    void HandleEvents(GameEngine*) override {}
    void Update(GameEngine*) override {}
    void Draw(GameEngine*) override {}

  private:
    const char* name;
};

class StateStack : public ::testing::Test {
  protected:
    void SetUp() override { savedOut = std::cout.rdbuf(captured.rdbuf()); }
    void TearDown() override { std::cout.rdbuf(savedOut); }

    std::string output() const { return captured.str(); }

    GameEngine engine;
    RecordingState intro{"Intro"};
    RecordingState play{"Play"};
    std::ostringstream captured;
    std::streambuf* savedOut = nullptr;
};

TEST_F(StateStack, ANewEngineHasAnEmptyStackAndIsNotRunning) {
    EXPECT_TRUE(engine.states.empty());
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.screen, nullptr);
}

TEST_F(StateStack, ChangingStateOnAnEmptyStackOnlyInitialisesTheNewState) {
    engine.ChangeState(&intro);
    EXPECT_EQ(output(), "Intro Init\n");
    EXPECT_EQ(engine.states, std::vector<GameState*>{&intro});
}

TEST_F(StateStack, ChangingStateCleansUpTheOldTopBeforeInitialisingTheNewOne) {
    engine.ChangeState(&intro);
    engine.ChangeState(&play);
    EXPECT_EQ(output(), "Intro Init\nIntro Cleanup\nPlay Init\n");
    EXPECT_EQ(engine.states, std::vector<GameState*>{&play});
}

TEST_F(StateStack, ChangingToTheStateAlreadyOnTopCleansItUpAndInitialisesItAgain) {
    engine.ChangeState(&play);
    engine.ChangeState(&play);
    EXPECT_EQ(output(), "Play Init\nPlay Cleanup\nPlay Init\n");
    EXPECT_EQ(engine.states, std::vector<GameState*>{&play});
}

TEST_F(StateStack, CleanupCleansUpTheTopStateBeforeItsOwnLine) {
    engine.ChangeState(&intro);
    engine.ChangeState(&play);
    captured.str("");
    engine.Cleanup();
    EXPECT_EQ(output(), "Play Cleanup\nGameEngine Cleanup\n");
    EXPECT_TRUE(engine.states.empty());
}

TEST_F(StateStack, CleanupCleansUpEveryStateOnTheStackFromTheTopDown) {
    engine.states = {&intro, &play};
    engine.Cleanup();
    EXPECT_EQ(output(), "Play Cleanup\nIntro Cleanup\nGameEngine Cleanup\n");
    EXPECT_TRUE(engine.states.empty());
}

TEST_F(StateStack, CleanupWithAnEmptyStackWritesOnlyItsOwnLine) {
    engine.Cleanup();
    EXPECT_EQ(output(), "GameEngine Cleanup\n");
}

TEST_F(StateStack, QuitClearsTheRunningFlag) {
    engine.running = true;
    EXPECT_TRUE(engine.Running());
    engine.Quit();
    EXPECT_FALSE(engine.Running());
    engine.Quit();
    EXPECT_FALSE(engine.Running());
}

// Init's failure exits, reached without a display by choosing SDL's video driver:
// an unknown one fails SDL_Init, the dummy one has no OpenGL for the video mode.
// Each runs in a child process, which also keeps these settings out of other tests.
void initWithVideoDriver(const char* driver) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    settingsFileName = "/nonexistent/settings.lua";
    GameEngine engine;
    engine.Init();
    std::exit(0);
}

TEST(GameEngineDeathTest, InitWithoutAUsableVideoDriverEndsWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(initWithVideoDriver("no-such-driver"), ::testing::ExitedWithCode(1),
                "Unable to initialize SDL\n$");
}

TEST(GameEngineDeathTest, InitWithoutAnOpenGLVideoModeEndsWithStatusThree) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(initWithVideoDriver("dummy"), ::testing::ExitedWithCode(3),
                "Unable to create a window with the desired OpenGL properties\n$");
}

} // namespace
