#include "app/Globals.h"
#include "render/LightIds.h"
#include "script/Settings.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> recordedEvents() {
    return std::vector<std::string>(globals::record.events,
                                    globals::record.events + globals::record.count);
}

TEST(Globals, AreBuiltInTheirOneOrderBeforeMain) {
    EXPECT_EQ(recordedEvents(),
              (std::vector<std::string>{"keyState", "squareRootOfTwo", "freeLightIds", "luaState",
                                        "settingsFileName", "settings", "frameTimer"}));
}

TEST(Globals, SettingsStartAsTheDefaults) {
    EXPECT_EQ(settings.fullscreen, defaultSettings.fullscreen);
    EXPECT_EQ(settings.screenWidth, defaultSettings.screenWidth);
    EXPECT_EQ(settings.screenHeight, defaultSettings.screenHeight);
    EXPECT_EQ(settings.antialiasing, defaultSettings.antialiasing);
    EXPECT_EQ(settings.vsync, defaultSettings.vsync);
    EXPECT_EQ(settings.shadows, defaultSettings.shadows);
}

TEST(Globals, TheLightPoolHoldsTheEightLightsInAscendingOrder) {
    EXPECT_EQ(freeLightIds,
              (std::vector<std::uint32_t>{GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4,
                                          GL_LIGHT5, GL_LIGHT6, GL_LIGHT7}));
}

// The threadsafe style runs the case in a freshly started copy of the test program,
// so the record holds that process's start-up only, untouched by other cases.
TEST(GlobalsDeathTest, AreCleanedUpInReverseOrderAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv(globals::traceVariable, "1", 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0),
        "keyState\nsquareRootOfTwo\nfreeLightIds\nluaState\nsettingsFileName\nsettings\n"
        "frameTimer\n~frameTimer\n~settingsFileName\n~luaState\n~mapLoadedCallbacks\n"
        "~freeLightIds\n");
}

TEST(GlobalsDeathTest, StayQuietAtExitUnlessTracingIsAsked) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv(globals::traceVariable);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^$");
}

} // namespace
