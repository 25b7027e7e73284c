// Minutes of rough play on the real game: digging without pause wherever the player
// happens to be, flying over the top, drifting off the side of the map and falling
// below it, R held down, focus lost and regained. The game must keep running, end
// on Escape with status 0, and stop growing in memory after the first minute.
#include "support/GameRun.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

void mouse(int dx, int dy) {
    xdotool({"mousemove_relative", "--", std::to_string(dx), std::to_string(dy)});
}

TEST(SoakWindowTest, MinutesOfRoughPlayEndCleanlyWithoutGrowingMemory) {
    const double minutes = 3.0;
    GameRun game;
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    game.tapKey("x", 0.05);
    ASSERT_TRUE(game.waitForLogLine("PlayState Init"));
    sleepSeconds(5.0); // land
    const pid_t pid = game.processId();

    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::vector<std::pair<double, long>> samples;
    XScreen& screen = game.screen();
    auto sample = [&] {
        samples.emplace_back(elapsed(), residentKilobytes(pid));
        std::printf("soak %.0f s: %ld kB resident\n", samples.back().first, samples.back().second);
    };
    // Over the top of the map first: space held long enough to rise past z = 256.
    game.keyDown("space");
    sleepSeconds(4.0);
    game.keyUp("space");
    sleepSeconds(4.0);
    // Then round after round near where the player came down; opposite keys in turn
    // keep it from drifting far.
    for (int cycle = 0; elapsed() < minutes * 60.0 - 30.0; ++cycle) {
        ASSERT_TRUE(game.running()) << "the game ended on its own in cycle " << cycle;
        // Look steeply down and dig while walking: craters down to the floor.
        mouse(0, 400);
        game.keyDown("w");
        xdotool({"mousedown", "1"});
        sleepSeconds(1.5);
        xdotool({"mouseup", "1"});
        game.keyUp("w");
        // Turn, and fly up and sideways.
        mouse(360, -400);
        game.keyDown("space");
        game.keyDown(cycle % 2 == 0 ? "d" : "a");
        sleepSeconds(1.5);
        game.keyUp(cycle % 2 == 0 ? "d" : "a");
        game.keyUp("space");
        // Hold R so it repeats: a full rebuild every 30 ms.
        game.keyDown("r");
        sleepSeconds(1.0);
        game.keyUp("r");
        // Lose and regain the focus.
        screen.focusDecoy();
        sleepSeconds(0.3);
        screen.focus(window);
        sleepSeconds(0.3);
        // Back again, digging wherever the ray lands.
        mouse(0, 200);
        game.keyDown("s");
        xdotool({"mousedown", "1"});
        sleepSeconds(1.5);
        xdotool({"mouseup", "1"});
        game.keyUp("s");
        sample();
    }
    // Last, walk off the side of the map, digging on the way, and fall below it.
    mouse(0, -800);
    mouse(0, 300);
    game.keyDown("w");
    xdotool({"mousedown", "1"});
    sleepSeconds(16.0);
    xdotool({"mouseup", "1"});
    game.keyUp("w");
    sleepSeconds(8.0);
    sample();
    screen.closeDecoy();
    ASSERT_TRUE(game.running());
    game.tapKey("Escape");
    ASSERT_TRUE(game.waitForExit(60.0));
    EXPECT_EQ(game.exitCode(), 0);
    const std::vector<std::string> log = game.logLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.back(), "GameEngine Cleanup");

    // The play reached over the top of the map, off its side and below its floor.
    float lowest = 1e30f, highest = -1e30f, farthest = 0.0f;
    const std::string trace = game.standardOutput();
    const std::string key = "\tPosition: (";
    for (size_t at = trace.find(key); at != std::string::npos; at = trace.find(key, at + 1)) {
        float x = 0, y = 0, z = 0;
        if (std::sscanf(trace.c_str() + at, "\tPosition: (%f, %f, %f)", &x, &y, &z) == 3) {
            lowest = std::min(lowest, z);
            highest = std::max(highest, z);
            farthest = std::max({farthest, std::abs(x - 128.0f), std::abs(y - 128.0f)});
        }
    }
    std::printf("soak reach: z from %.1f to %.1f, up to %.1f from the centre\n", lowest, highest,
                farthest);
    EXPECT_GT(highest, 256.0f);
    EXPECT_LT(lowest, 0.0f);
    EXPECT_GT(farthest, 128.0f);

    // After the first minute the resident size may wobble but must not keep climbing.
    long atOneMinute = -1;
    long latest = -1;
    for (const auto& [seconds, kilobytes] : samples) {
        if (seconds >= 60.0 && atOneMinute < 0) {
            atOneMinute = kilobytes;
        }
        latest = kilobytes;
    }
    ASSERT_GT(atOneMinute, 0);
    EXPECT_LE(latest, atOneMinute + atOneMinute / 10 + 16 * 1024)
        << "resident memory grew from " << atOneMinute << " kB to " << latest << " kB";
}

} // namespace
