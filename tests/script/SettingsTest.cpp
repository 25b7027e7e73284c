#include "script/Settings.h"
#include "script/LuaRuntime.h"
#include "support/ScriptFileTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <lua5.1/lua.hpp>
#include <string>
#include <unistd.h>

namespace {

void expectSettings(const Settings& actual, const Settings& expected) {
    EXPECT_EQ(actual.screenWidth, expected.screenWidth);
    EXPECT_EQ(actual.screenHeight, expected.screenHeight);
    EXPECT_EQ(actual.fullscreen, expected.fullscreen);
    EXPECT_EQ(actual.antialiasing, expected.antialiasing);
    EXPECT_EQ(actual.vsync, expected.vsync);
    EXPECT_EQ(actual.shadows, expected.shadows);
}

class SettingsScript : public ScriptFileTest {
  protected:
    Settings load(const std::string& script, const Settings& defaults = defaultSettings) {
        write(script);
        const int top = lua_gettop(state);
        const Settings loaded = loadSettingsFrom(state, fileName.c_str(), defaults);
        EXPECT_EQ(lua_gettop(state), top) << "the loader must leave the stack as it found it";
        return loaded;
    }

    int width(const std::string& expression) {
        return load("screenWidth = " + expression + "\n").screenWidth;
    }
};

TEST(DefaultSettings, AreAFullScreen800By600WithEverythingElseOff) {
    expectSettings(defaultSettings, Settings{true, 800, 600, 0, false, false});
}

TEST_F(SettingsScript, SettingAllSixKeysGivesExactlyThoseValues) {
    const Settings loaded = load("screenWidth = 1024\n"
                                 "screenHeight = 768\n"
                                 "fullscreen = false\n"
                                 "antialiasing = 4\n"
                                 "vsync = true\n"
                                 "shadows = true\n");
    expectSettings(loaded, Settings{false, 1024, 768, 4, true, true});
}

TEST_F(SettingsScript, ComputedValuesServeLikePlainAssignments) {
    const Settings loaded = load("local base = 256\n"
                                 "screenWidth = base * 5\n"
                                 "screenHeight = base * 3\n"
                                 "fullscreen = screenWidth > 4096\n");
    expectSettings(loaded, Settings{false, 1280, 768, 0, false, false});
}

TEST_F(SettingsScript, ZeroForFullscreenIsTrueBecauseOnlyNilAndFalseAreFalse) {
    // Windowed defaults, so only the conversion can make it true.
    const Settings windowed{false, 800, 600, 0, false, false};
    EXPECT_TRUE(load("fullscreen = 0\n", windowed).fullscreen);
    EXPECT_TRUE(load("fullscreen = 0/0\n", windowed).fullscreen);
}

TEST_F(SettingsScript, NumbersStringsTablesAndFunctionsWhereBooleansBelongAreTrue) {
    const Settings allOff{false, 800, 600, 0, false, false};
    const Settings loaded = load("fullscreen = ''\nvsync = {}\nshadows = print\n", allOff);
    EXPECT_TRUE(loaded.fullscreen);
    EXPECT_TRUE(loaded.vsync);
    EXPECT_TRUE(loaded.shadows);
}

TEST_F(SettingsScript, FalseWhereBooleansBelongReplacesATrueDefault) {
    const Settings defaults{true, 800, 600, 0, true, true};
    const Settings loaded = load("fullscreen = false\nvsync = false\nshadows = false\n", defaults);
    EXPECT_FALSE(loaded.fullscreen);
    EXPECT_FALSE(loaded.vsync);
    EXPECT_FALSE(loaded.shadows);
}

TEST_F(SettingsScript, NumbersWrittenAsTextOrWithAZeroFractionReadAsIntegers) {
    EXPECT_EQ(width("'1280'"), 1280);
    EXPECT_EQ(width("1024.0"), 1024);
    EXPECT_EQ(width("' 1280 '"), 1280);
    EXPECT_EQ(width("'0x10'"), 16);
    EXPECT_EQ(width("-640"), -640);
}

TEST_F(SettingsScript, ValuesThatAreNoNumbersWhereNumbersBelongReadAsZero) {
    EXPECT_EQ(width("true"), 0);
    EXPECT_EQ(width("false"), 0);
    EXPECT_EQ(width("{}"), 0);
    EXPECT_EQ(width("{1024}"), 0);
    EXPECT_EQ(width("print"), 0);
    EXPECT_EQ(width("function() return 1024 end"), 0);
    EXPECT_EQ(width("'wide'"), 0);
    EXPECT_EQ(width("'1280px'"), 0);
    EXPECT_EQ(width("''"), 0);
}

TEST_F(SettingsScript, NumbersBeyondThe32BitRangeClampToItsBounds) {
    EXPECT_EQ(width("2^31 - 1"), 2147483647);
    EXPECT_EQ(width("2^31"), 2147483647);
    EXPECT_EQ(width("2^53"), 2147483647);
    EXPECT_EQ(width("1e300"), 2147483647);
    EXPECT_EQ(width("'1e300'"), 2147483647);
    EXPECT_EQ(width("-2^31"), -2147483647 - 1);
    EXPECT_EQ(width("-2^31 - 1"), -2147483647 - 1);
    EXPECT_EQ(width("-1e300"), -2147483647 - 1);
}

TEST_F(SettingsScript, InfinitiesClampAndNotANumberReadsZero) {
    EXPECT_EQ(width("1/0"), 2147483647);
    EXPECT_EQ(width("-1/0"), -2147483647 - 1);
    EXPECT_EQ(width("0/0"), 0);
    EXPECT_EQ(width("-(0/0)"), 0);
    EXPECT_EQ(load("antialiasing = 1/0\nscreenHeight = 0/0\n").antialiasing, 2147483647);
    EXPECT_EQ(load("antialiasing = 1/0\nscreenHeight = 0/0\n").screenHeight, 0);
}

TEST_F(SettingsScript, KeysTheScriptLeavesUnsetKeepTheirDefaults) {
    const Settings defaults{false, 320, 200, 2, true, false};
    expectSettings(load("screenWidth = 1024\n", defaults),
                   Settings{false, 1024, 200, 2, true, false});
    expectSettings(load("screenWidth = nil\nvsync = nil\n", defaults), defaults);
}

TEST_F(SettingsScript, AnEmptyScriptGivesTheDefaults) {
    expectSettings(load(""), defaultSettings);
}

TEST_F(SettingsScript, AMissingFileGivesTheDefaults) {
    const std::string missing = directory + "/no-such-settings.lua";
    expectSettings(loadSettingsFrom(state, missing.c_str(), defaultSettings), defaultSettings);
    EXPECT_EQ(lua_gettop(state), 0);
}

TEST_F(SettingsScript, ASyntaxErrorRunsNothingAndGivesTheDefaults) {
    expectSettings(load("screenWidth = 1024\nscreenHeight = = 768\n"), defaultSettings);
}

TEST_F(SettingsScript, ARunTimeErrorKeepsTheKeysAssignedBeforeIt) {
    const Settings loaded = load("screenWidth = 1024\n"
                                 "fullscreen = false\n"
                                 "error('stop here')\n"
                                 "screenHeight = 768\n");
    expectSettings(loaded, Settings{false, 1024, 600, 0, false, false});
}

// Without the line a typo silently gives full screen; a clean script writes nothing.
TEST_F(SettingsScript, AFailingScriptWritesOneLineWithTheInterpretersMessage) {
    const struct {
        const char* script;
        std::string line;
    } cases[] = {
        {"screenWidth = 1024\n", ""},
        {"screenWidth = = 1\n",
         "Unable to load settings: " + fileName + ":1: unexpected symbol near '='\n"},
        {"screenWidth = 640\npirnt('x')\n",
         "Error in settings script: " + fileName +
             ":2: attempt to call global 'pirnt' (a nil value)\n"},
        {"error('two\\nlines')", "Error in settings script: " + fileName + ":1: two lines\n"},
        {"error({})", "Error in settings script: (error object is not a string)\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream captured;
        std::streambuf* const saved = std::cerr.rdbuf(captured.rdbuf());
        load(c.script);
        std::cerr.rdbuf(saved);
        EXPECT_EQ(captured.str(), c.line) << c.script;
    }
    std::ostringstream captured;
    std::streambuf* const saved = std::cerr.rdbuf(captured.rdbuf());
    loadSettingsFrom(state, (directory + "/missing.lua").c_str(), defaultSettings);
    std::cerr.rdbuf(saved);
    EXPECT_EQ(captured.str(), "Unable to load settings: cannot open " + directory +
                                  "/missing.lua: No such file or directory\n");
}

TEST_F(SettingsScript, AnErrorRaisedInsidePrintKeepsTheKeysAssignedBeforeIt) {
    const Settings loaded =
        load("antialiasing = 8\n"
             "print(setmetatable({}, {__tostring = function() return {} end}))\n"
             "antialiasing = 2\n");
    EXPECT_EQ(loaded.antialiasing, 8);
}

TEST_F(SettingsScript, AGlobalsTableThatRaisesOnReadingDoesNotStopTheLoader) {
    const Settings loaded =
        load("screenWidth = 1024\n"
             "setmetatable(_G, {__index = function() error('no such key') end})\n");
    expectSettings(loaded, Settings{true, 1024, 600, 0, false, false});
}

TEST_F(SettingsScript, AGlobalsTableWithDefaultsOfItsOwnIsReadThroughThem) {
    const Settings loaded = load("setmetatable(_G, {__index = function(_, key)\n"
                                 "  if key == 'screenHeight' then return 720 end end})\n");
    EXPECT_EQ(loaded.screenHeight, 720);
}

TEST(SettingsFileName, IsTheRelativeNameSettingsLua) {
    EXPECT_EQ(settingsFileName, "settings.lua");
}

} // namespace
