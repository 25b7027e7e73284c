// The real game binary under Xvfb: start-up, the splash, the ways a run ends.
#include "support/GameRun.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char* const selfTestReports = "Test 1:\n\tCollision: 1\n\tProjectionVector: (0.000000, "
                                    "0.000000, 1.000000)\n\t Projection Length: 0.250000\n\n"
                                    "Test 2:\n\tCollision: 1\n\tProjectionVector: (0.707107, "
                                    "0.707107, 0.000000)\n\t Projection Length: 0.146447\n\n";

// Sky colour of the splash picture's centre row (see scripts/make-assets).
const Rgb splashCentre{129, 177, 255}; // the sky above the title, at (400, 200)

std::vector<std::string> expectedLogAfterEscape() {
    return {"Tessaria started...",        "Running tests...",       "Finished running tests.",
            "Settings loaded: 800 x 600", "Initialized GLEW 2.2.0", "IntroState Init",
            "IntroState Cleanup",         "GameEngine Cleanup"};
}

TEST(StartupWindowTest, EscapeOnSplashEndsWithStatusZeroAndTheFullLog) {
    GameRun game;
    game.start();
    ASSERT_NE(game.waitForWindow(), 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    game.tapKey("Escape");
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_EQ(game.logLines(), expectedLogAfterEscape());
    EXPECT_EQ(game.standardOutput(), selfTestReports);
}

TEST(StartupWindowTest, CloseRequestEndsLikeEscape) {
    GameRun game;
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    game.screen().requestClose(window);
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_EQ(game.logLines(), expectedLogAfterEscape());
}

TEST(StartupWindowTest, SplashFadesInCentredOnBlack) {
    GameRun game;
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    // The fade counts passes; poll until the centre reaches full brightness.
    Rgb centre{};
    for (int i = 0; i < 300 && !near(centre, splashCentre, 2); ++i) {
        sleepSeconds(0.05);
        centre = game.screen().pixel(window, 400, 200);
    }
    XScreen::savePng(window, "/tmp/tessaria-splash.png");
    EXPECT_TRUE(near(centre, splashCentre, 2)) << centre.r << "," << centre.g << "," << centre.b;
    // The 512 x 256 picture spans (144, 172) to (656, 428) of the 800 x 600 window.
    EXPECT_TRUE(near(game.screen().pixel(window, 145, 173), {120, 170, 255}, 2));
    for (auto [x, y] :
         {std::pair{10, 10}, {143, 300}, {657, 300}, {400, 171}, {400, 429}, {790, 590}}) {
        EXPECT_TRUE(near(game.screen().pixel(window, x, y), {0, 0, 0}, 0)) << x << "," << y;
    }
    game.tapKey("Escape");
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 0);
}

TEST(StartupWindowTest, NoDisplayEndsWithStatusOneAndItsMessage) {
    GameRun game;
    game.start({}, {"DISPLAY"});
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 1);
    ASSERT_FALSE(game.logLines().empty());
    EXPECT_EQ(game.logLines().back(), "Unable to initialize SDL");
}

TEST(StartupWindowTest, ImpossibleVideoModeEndsWithStatusThreeAndItsMessage) {
    GameRun game;
    game.write("settings.lua", "screenWidth = 100000\nscreenHeight = 100000\nfullscreen = false\n");
    game.start();
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 3);
    ASSERT_FALSE(game.logLines().empty());
    EXPECT_EQ(game.logLines().back(),
              "Unable to create a window with the desired OpenGL properties");
}

TEST(StartupWindowTest, MissingSplashImageEndsWithStatusOneSilently) {
    GameRun game;
    game.remove("Vortel.png");
    game.start();
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 1);
    ASSERT_FALSE(game.logLines().empty());
    EXPECT_EQ(game.logLines().back(), "Initialized GLEW 2.2.0");
}

TEST(StartupWindowTest, LogThatCannotBeCreatedDoesNotStopTheGame) {
    GameRun game;
    // A directory in its place: opening the file fails even for root.
    ASSERT_EQ(runCommand({"mkdir", game.path("log.txt")}), 0);
    game.start();
    ASSERT_NE(game.waitForWindow(), 0u);
    sleepSeconds(0.5);
    game.tapKey("Escape");
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_EQ(game.standardOutput(), selfTestReports);
}

} // namespace
