// A player's settings.lua at its worst, run through the real game: each script
// either leads to the splash, with the window it asks for (or the defaults), or ends
// at the video mode with status 3 and its message. Nothing crashes or hangs.
#include "support/GameOutcome.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

enum class Ending { Splash, NoVideoMode };
enum class File { Script, Missing, Directory };

struct BadSettings {
    const char* name;
    std::string script;
    Ending ending;
    WindowSize window;                // for Ending::Splash
    std::vector<std::string> printed; // what the script writes into the log
    File file = File::Script;         // or no settings.lua, or a directory of that name
    // sdl12-compat's own multisampled frame buffer cannot take the sample count, falls
    // back to a plain one and leaves one OpenGL error for the first pass to log.
    bool oneOpenGlError = false;
};

BadSettings splash(const char* name, const std::string& script, WindowSize window,
                   const std::vector<std::string>& printed = {}) {
    return {name, script, Ending::Splash, window, printed};
}

BadSettings noVideoMode(const char* name, const std::string& script) {
    return {name, script, Ending::NoVideoMode, {0, 0}, {}};
}

BadSettings withOneOpenGlError(BadSettings bad) {
    bad.oneOpenGlError = true;
    return bad;
}

void PrintTo(const BadSettings& bad, std::ostream* out) {
    *out << bad.name;
}

// Xvfb's screen, which a width or height of 0 stands for.
const WindowSize desktop{1024, 768};
const WindowSize defaults{800, 600};

std::string binaryGarbage() {
    std::mt19937 random(20240613u);
    std::string bytes(4096, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xFFu);
    }
    bytes[0] = '\x7f'; // neither a precompiled chunk's mark nor a '#' line
    return bytes;
}

std::string windowed(const std::string& script) {
    return "fullscreen = false\n" + script;
}

std::vector<BadSettings> scripts() {
    const std::string loadFailure = "Unable to load settings: settings.lua";
    const std::string runFailure = "Error in settings script: settings.lua";
    BadSettings missing = splash("Missing", "", defaults,
                                 {"Unable to load settings: cannot open settings.lua: No such "
                                  "file or directory"});
    missing.file = File::Missing;
    BadSettings directory = splash("ADirectoryOfThatName", "", defaults,
                                   {"Unable to load settings: cannot read settings.lua: Is a "
                                    "directory"});
    directory.file = File::Directory;
    return {
        missing,
        directory,
        splash("Empty", "", defaults),
        splash("BinaryGarbage", binaryGarbage(), defaults,
               {loadFailure + ":1: unexpected symbol near 'char(127)'"}),
        splash("CorruptPrecompiledChunk", "\x1bLua\x51" + binaryGarbage(), defaults,
               {loadFailure + ": precompiled chunks are not loaded"}),
        splash("SyntaxErrorRunsNothing",
               windowed("screenWidth = 640\nprint('never')\nscreenHeight = = 480\n"), defaults,
               {loadFailure + ":4: unexpected symbol near '='"}),
        splash("RunTimeErrorKeepsWhatWasAssignedBefore",
               windowed("screenWidth = 640\nscreenHeight = 480\nprint('assigned')\n"
                        "error('stop here')\nscreenWidth = 1\n"),
               {640, 480}, {"assigned", runFailure + ":5: stop here"}),
        splash("TablesWhereNumbersBelongReadAsZero",
               windowed("screenWidth = {}\nscreenHeight = {600}\nantialiasing = {4}\n"), desktop),
        splash("FunctionsWhereNumbersBelongReadAsZero",
               windowed("screenWidth = print\nscreenHeight = function() return 600 end\n"),
               desktop),
        splash("LettersWhereNumbersBelongReadAsZero",
               windowed("screenWidth = 'wide'\nscreenHeight = 'tall'\nantialiasing = 'x4'\n"),
               desktop),
        splash("BooleansWhereNumbersBelongReadAsZero",
               windowed("screenWidth = true\nscreenHeight = false\nantialiasing = true\n"),
               desktop),
        splash("NumbersWhereBooleansBelongAreTrue", "fullscreen = 0\nvsync = 1\nshadows = -1\n",
               defaults),
        splash("NotANumberReadsAsZero",
               windowed("screenWidth = 0/0\nscreenHeight = -(0/0)\nantialiasing = 0/0\n"), desktop),
        noVideoMode("HugeWidthHasNoVideoMode", windowed("screenWidth = 1e300\n")),
        noVideoMode("HugeNegativeHeightHasNoVideoMode", windowed("screenHeight = -1e300\n")),
        noVideoMode("InfiniteWidthHasNoVideoMode", windowed("screenWidth = 1/0\n")),
        noVideoMode("NegativeInfiniteHeightHasNoVideoMode", windowed("screenHeight = -1/0\n")),
        noVideoMode("WidthTwoToThe31HasNoVideoMode", windowed("screenWidth = 2^31\n")),
        noVideoMode("HeightBelowTheIntegersHasNoVideoMode", windowed("screenHeight = -2^31 - 1\n")),
        // Once a crash in Mesa's first buffer swap: sdl12-compat made it 65535 x 65535.
        noVideoMode("LargestIntegersHaveNoVideoMode",
                    windowed("screenWidth = 2^31 - 1\nscreenHeight = 2^31 - 1\n")),
        splash("PrintStopsAtANulByte", "print('before\\0after', 'next')\n", defaults,
               {"before\tnext"}),
        splash("PrintOfAMegabyte", "print(string.rep('x', 2^20))\n", defaults,
               {std::string(1u << 20, 'x')}),
        splash("ToStringThatRaisesStopsTheScriptOnly",
               windowed("screenWidth = 640\nscreenHeight = 480\n"
                        "print(setmetatable({}, {__tostring = function() error('no text') end}))\n"
                        "screenWidth = 1\n"),
               {640, 480}, {runFailure + ":4: no text"}),
        splash("ToStringWithoutTextStopsTheScriptOnly",
               windowed("screenWidth = 640\nscreenHeight = 480\n"
                        "addMapLoadedCallbacks(setmetatable({}, {__tostring = function() return {} "
                        "end}))\nscreenWidth = 1\n"),
               {640, 480},
               {runFailure + ":4: 'tostring' must return a string to 'addMapLoadedCallbacks'"}),
        splash("TenThousandMapLoadedCallbacks",
               "for i = 1, 10000 do addMapLoadedCallbacks(i, 'onMap' .. i, {}) end\n"
               "print('registered')\n",
               defaults, {"registered"}),
    };
}

std::vector<BadSettings> sizes() {
    return {
        splash("WidthZeroIsTheDesktops", windowed("screenWidth = 0\n"), {1024, 600}),
        splash("HeightZeroIsTheDesktops", windowed("screenHeight = 0\n"), {800, 768}),
        // sdl12-compat alone would give full screen a 1 x 1 window here.
        splash("FullScreenOfZeroByZeroIsTheDesktop",
               "fullscreen = true\nscreenWidth = 0\nscreenHeight = 0\n", desktop),
        noVideoMode("NegativeWidthHasNoVideoMode", windowed("screenWidth = -800\n")),
        noVideoMode("NegativeHeightHasNoVideoMode", windowed("screenHeight = -1\n")),
        splash("OnePixel", windowed("screenWidth = 1\nscreenHeight = 1\n"), {1, 1}),
        splash("FarLargerThanTheScreen", windowed("screenWidth = 4096\nscreenHeight = 3072\n"),
               {4096, 3072}),
        splash("WidestWindowSdlMakes", windowed("screenWidth = 16384\nscreenHeight = 16\n"),
               {16384, 16}),
        noVideoMode("OnePixelWiderHasNoVideoMode",
                    windowed("screenWidth = 16385\nscreenHeight = 16\n")),
        splash("TallestWindowSdlMakes", windowed("screenWidth = 16\nscreenHeight = 16384\n"),
               {16, 16384}),
        noVideoMode("OnePixelTallerHasNoVideoMode",
                    windowed("screenWidth = 16\nscreenHeight = 16385\n")),
        withOneOpenGlError(
            splash("NegativeAntialiasing", windowed("antialiasing = -4\n"), defaults)),
        withOneOpenGlError(
            splash("AbsurdAntialiasing", windowed("antialiasing = 2^31 - 1\n"), defaults)),
        withOneOpenGlError(
            splash("HugeAntialiasing", windowed("antialiasing = 1e300\n"), defaults)),
    };
}

class BadSettingsWindowTest : public ::testing::TestWithParam<BadSettings> {};

TEST_P(BadSettingsWindowTest, EndsTheWayTheSettingsLead) {
    const BadSettings& bad = GetParam();
    GameRun game;
    if (bad.file != File::Script) {
        game.remove("settings.lua");
    }
    if (bad.file == File::Directory) {
        ASSERT_EQ(runCommand({"mkdir", game.path("settings.lua")}), 0);
    }
    if (bad.file == File::Script) {
        game.write("settings.lua", bad.script);
    }
    game.start();
    if (bad.ending == Ending::Splash) {
        WindowSize window{};
        ASSERT_TRUE(leaveSplashWithEscape(game, &window));
        EXPECT_EQ(window, bad.window);
        std::vector<std::string> expected = logOfSplashLeftWithEscape(bad.printed);
        if (bad.oneOpenGlError) {
            const auto afterInit =
                std::find(expected.begin(), expected.end(), "IntroState Init") + 1;
            const size_t at = static_cast<size_t>(afterInit - expected.begin());
            const std::vector<std::string> lines = game.logLines();
            ASSERT_GT(lines.size(), at);
            EXPECT_EQ(lines[at].rfind("OpenGL error: ", 0), 0u) << lines[at];
            expected.insert(afterInit, lines[at]);
        }
        EXPECT_EQ(game.logLines(), expected);
    } else {
        ASSERT_TRUE(game.waitForExit());
        EXPECT_EQ(game.exitCode(), 3);
        EXPECT_EQ(game.logLines(), logOfVideoModeFailure(bad.printed));
    }
}

std::string caseName(const ::testing::TestParamInfo<BadSettings>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, BadSettingsWindowTest, ::testing::ValuesIn(scripts()), caseName);
INSTANTIATE_TEST_SUITE_P(Sizes, BadSettingsWindowTest, ::testing::ValuesIn(sizes()), caseName);

} // namespace
