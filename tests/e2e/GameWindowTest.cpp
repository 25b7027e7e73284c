// The game itself, played through the real binary under Xvfb: entering from the
// splash, falling onto the terrain, digging, rebuilding, focus, and leaving.
#include "support/GameRun.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

const Rgb sky{175, 215, 255};

struct TraceBlock {
    float z = 0.0f;     // position on entry
    float postZ = 0.0f; // position after the passes
    bool multipleSteps = false;
};

std::vector<TraceBlock> parseTrace(const std::string& text) {
    std::vector<TraceBlock> blocks;
    const std::string end = "Collision complete.\n\n";
    size_t start = 0;
    for (size_t at = text.find(end); at != std::string::npos; at = text.find(end, start)) {
        const std::string block = text.substr(start, at - start);
        start = at + end.size();
        TraceBlock parsed;
        float x = 0;
        float y = 0;
        const size_t position = block.find("\tPosition: (");
        const size_t post = block.find("Post-Collision Position: (");
        if (position == std::string::npos || post == std::string::npos) {
            continue;
        }
        std::sscanf(block.c_str() + position, "\tPosition: (%f, %f, %f)", &x, &y, &parsed.z);
        std::sscanf(block.c_str() + post, "Post-Collision Position: (%f, %f, %f)", &x, &y,
                    &parsed.postZ);
        parsed.multipleSteps = block.find("Colliding with multiple steps") != std::string::npos;
        blocks.push_back(parsed);
    }
    return blocks;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Starts the game and leaves the splash with a key; reports the times to the log
// line and to the first game frame (the sky colour at the top of the window).
class Game {
  public:
    Game() {
        run.start();
        window = run.waitForWindow();
        if (window == 0 || !run.waitForLogLine("IntroState Init")) {
            return;
        }
        sleepSeconds(0.3);
        const auto pressed = std::chrono::steady_clock::now();
        run.tapKey("x", 0.05);
        for (int i = 0; i < 2000; ++i) {
            if (secondsToInit < 0) {
                const std::vector<std::string> lines = run.logLines();
                if (!lines.empty() && lines.back() == "PlayState Init") {
                    secondsToInit = secondsSince(pressed);
                }
            }
            if (near(run.screen().pixel(window, 400, 2), sky, 1)) {
                secondsToFirstFrame = secondsSince(pressed);
                break;
            }
            sleepSeconds(0.005);
        }
        std::printf("key press to \"PlayState Init\": %.3f s, to the first game frame: %.3f s\n",
                    secondsToInit, secondsToFirstFrame);
    }

    bool started() const { return window != 0 && secondsToFirstFrame > 0; }

    // Until the trace shows the player at rest on the ground: the same height at the
    // end of the last 30 steps.
    bool waitUntilResting(double timeoutSeconds = 20.0) {
        for (int i = 0; i < timeoutSeconds * 10; ++i) {
            const std::vector<TraceBlock> blocks = parseTrace(run.standardOutput());
            if (blocks.size() > 40) {
                const float last = blocks.back().postZ;
                bool steady = last < 255.0f;
                for (size_t k = blocks.size() - 30; k < blocks.size(); ++k) {
                    steady = steady && blocks[k].postZ == last;
                }
                if (steady) {
                    return true;
                }
            }
            sleepSeconds(0.1);
        }
        return false;
    }

    std::vector<Rgb> capture() {
        int width = 0;
        int height = 0;
        return run.screen().capture(window, width, height);
    }

    void quitWithEscape() {
        run.tapKey("Escape");
        run.waitForExit();
    }

    GameRun run;
    unsigned long window = 0;
    double secondsToInit = -1;
    double secondsToFirstFrame = -1;
};

int countPixels(const std::vector<Rgb>& pixels, Rgb colour, int tolerance) {
    int count = 0;
    for (const Rgb& p : pixels) {
        count += near(p, colour, tolerance) ? 1 : 0;
    }
    return count;
}

int countDifferent(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
    int count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += near(a[i], b[i], 0) ? 0 : 1;
    }
    return count;
}

TEST(GameWindowTest, EntersFromTheSplashFallsOntoTheTerrainAndLeavesInOrder) {
    Game game;
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.waitUntilResting());

    const std::vector<Rgb> frame = game.capture();
    XScreen::savePng(game.window, "/tmp/tessaria-arrival.png");
    // Sky in the upper part of the picture, terrain in many lit shades. (From a ridge
    // top the view may reach past the map's edge below the horizon too.)
    const std::vector<Rgb> top(frame.begin(), frame.begin() + 800 * 20);
    EXPECT_GT(countPixels(top, sky, 1), 800 * 20 / 10);
    const int terrain = static_cast<int>(frame.size()) - countPixels(frame, sky, 1);
    EXPECT_GT(terrain, static_cast<int>(frame.size()) / 10);
    std::set<int> shades;
    for (const Rgb& p : frame) {
        if (!near(p, sky, 1)) {
            shades.insert(p.r << 16 | p.g << 8 | p.b);
        }
    }
    EXPECT_GT(shades.size(), 4u) << "faces facing the lights differently are shaded differently";

    game.quitWithEscape();
    EXPECT_EQ(game.run.exitCode(), 0);
    const std::vector<std::string> log = game.run.logLines();
    const std::vector<std::string> tail(log.end() - 5, log.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"IntroState Init", "IntroState Cleanup", "PlayState Init",
                                        "PlayState Cleanup", "GameEngine Cleanup"}));

    const std::string trace = game.run.standardOutput();
    const std::string firstBlock = "Colliding...\n\tPosition: (128.000000, 128.000000, 255.997284)"
                                   "\n\tLast Position: (128.000000, 128.000000, 256.000000)\n\t";
    EXPECT_NE(trace.find("Projection Length: 0.146447\n\n" + firstBlock), std::string::npos);
    const std::vector<TraceBlock> blocks = parseTrace(trace);
    ASSERT_GT(blocks.size(), 60u);
    // Falling first, then resting: the height only goes down and ends steady.
    EXPECT_LT(blocks.back().postZ, 250.0f);
    for (size_t i = 1; i < blocks.size(); ++i) {
        ASSERT_LE(blocks[i].postZ, blocks[i - 1].postZ + 1e-3f) << "step " << i;
    }
}

TEST(GameWindowTest, RebuildingWithRKeepsThePicture) {
    Game game;
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.waitUntilResting());
    sleepSeconds(0.3);
    const std::vector<Rgb> before = game.capture();
    game.run.tapKey("r", 0.05);
    sleepSeconds(0.8);
    const std::vector<Rgb> after = game.capture();
    EXPECT_EQ(countDifferent(before, after), 0);
    game.quitWithEscape();
    EXPECT_EQ(game.run.exitCode(), 0);
}

TEST(GameWindowTest, HoldingTheButtonWhileLookingDownDigsAndOutlinesThePickedBlock) {
    Game game;
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.waitUntilResting());
    for (int i = 0; i < 8; ++i) {
        xdotool({"mousemove_relative", "--", "0", "40"});
        sleepSeconds(0.03);
    }
    sleepSeconds(0.5);
    const std::vector<Rgb> before = game.capture();
    XScreen::savePng(game.window, "/tmp/tessaria-before-dig.png");
    EXPECT_GT(countPixels(before, {255, 255, 255}, 0), 20) << "the outline is white";
    const size_t stepsBefore = parseTrace(game.run.standardOutput()).size();
    const float restingZ = parseTrace(game.run.standardOutput()).back().postZ;

    xdotool({"mousedown", "1"});
    sleepSeconds(0.05);
    xdotool({"mouseup", "1"});
    sleepSeconds(1.5);
    const std::vector<Rgb> after = game.capture();
    XScreen::savePng(game.window, "/tmp/tessaria-after-dig.png");
    EXPECT_GT(countDifferent(before, after), 800 * 600 / 10);

    const std::vector<TraceBlock> blocks = parseTrace(game.run.standardOutput());
    ASSERT_GT(blocks.size(), stepsBefore + 30);
    // Into the crater: well below where the player stood.
    EXPECT_LT(blocks.back().postZ, restingZ - 5.0f);
    game.quitWithEscape();
    EXPECT_EQ(game.run.exitCode(), 0);
}

TEST(GameWindowTest, LosingFocusReleasesThePointerAndRegainingItTakesItBack) {
    Game game;
    ASSERT_TRUE(game.started());
    sleepSeconds(0.5);
    XScreen& screen = game.run.screen();
    EXPECT_TRUE(screen.pointerGrabbedElsewhere());
    screen.focusDecoy();
    sleepSeconds(0.5);
    EXPECT_FALSE(screen.pointerGrabbedElsewhere());
    screen.focus(game.window);
    sleepSeconds(0.5);
    EXPECT_TRUE(screen.pointerGrabbedElsewhere());
    screen.closeDecoy();
    game.quitWithEscape();
    EXPECT_EQ(game.run.exitCode(), 0);
}

// Without the focus the pointer over the window neither turns the view nor digs, and
// the click that brings the focus back digs nothing; the next one does.
TEST(GameWindowTest, OnlyTheFocusedGameLooksAndDigs) {
    Game game;
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.waitUntilResting());
    for (int i = 0; i < 8; ++i) {
        xdotool({"mousemove_relative", "--", "0", "40"}); // down at the ground
        sleepSeconds(0.03);
    }
    sleepSeconds(0.5);
    const std::vector<Rgb> before = game.capture();
    XScreen& screen = game.run.screen();
    screen.focusDecoy();
    sleepSeconds(0.5);
    const std::string w = std::to_string(game.window);
    for (const char* at : {"100 100", "700 500", "400 300"}) {
        xdotool({"mousemove", "--window", w, std::string(at, 3), std::string(at + 4)});
        sleepSeconds(0.1);
    }
    const auto click = [] {
        xdotool({"mousedown", "1"});
        sleepSeconds(0.1);
        xdotool({"mouseup", "1"});
    };
    click();
    sleepSeconds(0.5);
    EXPECT_EQ(countDifferent(before, game.capture()), 0) << "turned or dug without focus";

    xdotool({"mousedown", "1"});
    sleepSeconds(0.1);
    screen.focus(game.window);
    sleepSeconds(0.3);
    xdotool({"mouseup", "1"});
    sleepSeconds(0.5);
    EXPECT_EQ(countDifferent(before, game.capture()), 0) << "the focusing click dug or turned";

    click();
    sleepSeconds(1.0);
    EXPECT_GT(countDifferent(before, game.capture()), 800 * 600 / 10) << "a focused click digs";
    screen.closeDecoy();
    game.quitWithEscape();
    EXPECT_EQ(game.run.exitCode(), 0);
}

TEST(GameWindowTest, ClosingTheWindowWhilePlayingEndsWithStatusZero) {
    Game game;
    ASSERT_TRUE(game.started());
    sleepSeconds(0.3);
    game.run.screen().requestClose(game.window);
    ASSERT_TRUE(game.run.waitForExit());
    EXPECT_EQ(game.run.exitCode(), 0);
    const std::vector<std::string> log = game.run.logLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "PlayState Cleanup");
    EXPECT_EQ(log.back(), "GameEngine Cleanup");
}

} // namespace
