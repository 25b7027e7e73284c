// Splash and menu pictures a player might swap in, made here at run time. A splash
// that SDL_image cannot read, or reads with other than 3 or 4 bytes per pixel, ends
// the game with status 1 and nothing in the log after GLEW's line; any other is
// shown, centred and unscaled. A menu picture that cannot be read leaves the menu
// empty. (A missing splash or menu picture: StartupWindowTest, MenuWindowTest.)
#include "support/GameOutcome.h"
#include "support/MenuRun.h"
#include "support/PngFile.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Windowed and printing nothing, so the log holds only the game's own lines.
void quietSettings(GameRun& game) {
    game.write("settings.lua", "fullscreen = false\n");
}

// A picture that does not squeeze to a few bytes, so that cutting it leaves part of
// the pixel data.
std::string noisyPng(int width, int height) {
    std::mt19937 random(7u);
    std::vector<std::uint8_t> samples(static_cast<size_t>(width) * height * 3);
    for (std::uint8_t& sample : samples) {
        sample = static_cast<std::uint8_t>(random() & 0xFFu);
    }
    return encodePng(width, height, PngColour::Rgb, 8, samples);
}

struct RefusedSplash {
    const char* name;
    std::string file;
};

void PrintTo(const RefusedSplash& refused, std::ostream* out) {
    *out << refused.name;
}

std::vector<RefusedSplash> refusedSplashes() {
    const std::string png = noisyPng(64, 48);
    return {
        {"Empty", ""},
        {"CutInsideThePixelData", png.substr(0, png.size() / 2)},
        {"CutInsideTheHeader", png.substr(0, 20)},
        {"NotAPicture", "This is not a picture.\n"},
        {"PaletteOfEightBits", solidPng(64, 48, PngColour::Palette, 8, {200, 100, 50, 255})},
        {"GreyOfEightBits", solidPng(64, 48, PngColour::Grey, 8, {200, 200, 200, 255})},
        {"GreyOfSixteenBits", solidPng(64, 48, PngColour::Grey, 16, {200, 200, 200, 255})},
        // sdl12-compat makes no surface 16384 pixels wide or wider.
        {"TooWideForAnSdlSurface", solidPng(16384, 2, PngColour::Rgb, 8, {0, 200, 0, 255})},
    };
}

class RefusedSplashWindowTest : public ::testing::TestWithParam<RefusedSplash> {};

TEST_P(RefusedSplashWindowTest, EndsWithStatusOneAndNoMessage) {
    GameRun game;
    quietSettings(game);
    game.write("Vortel.png", GetParam().file);
    game.start();
    ASSERT_TRUE(game.waitForExit());
    EXPECT_EQ(game.exitCode(), 1);
    std::vector<std::string> expected = startupLines();
    expected.push_back(glewLine);
    EXPECT_EQ(game.logLines(), expected);
}

INSTANTIATE_TEST_SUITE_P(BadImages, RefusedSplashWindowTest, ::testing::ValuesIn(refusedSplashes()),
                         [](const auto& info) { return std::string(info.param.name); });

// Waits until the fade has reached full opacity at (x, y) of the window. The fade
// counts a thousand passes, which a busy machine or a sanitizer build can stretch to
// many seconds; the wait ends as soon as the colour is there.
Rgb settledPixel(GameRun& game, unsigned long window, int x, int y, Rgb expected) {
    Rgb seen{};
    for (int i = 0; i < 1200 && !near(seen, expected, 2); ++i) {
        sleepSeconds(0.05);
        seen = game.screen().pixel(window, x, y);
    }
    return seen;
}

struct ShownSplash {
    const char* name;
    std::string file;
    Rgb colour;
};

void PrintTo(const ShownSplash& shown, std::ostream* out) {
    *out << shown.name;
}

std::vector<ShownSplash> shownSplashes() {
    const PngRgba orange{200, 100, 50, 255};
    const Rgb shown{200, 100, 50};
    return {
        {"RgbOfSixteenBitsIsCutToEight", solidPng(64, 48, PngColour::Rgb, 16, orange), shown},
        {"RgbaOfSixteenBitsIsCutToEight", solidPng(64, 48, PngColour::Rgba, 16, orange), shown},
        {"GreyWithAlphaBecomesRgba",
         solidPng(64, 48, PngColour::GreyAlpha, 8, {90, 0, 0, 255}),
         {90, 90, 90}},
        // Rows of 3 x 3 bytes, padded to 12: what OpenGL's unpack alignment expects.
        {"OddWidthRgb", solidPng(3, 5, PngColour::Rgb, 8, orange), shown},
    };
}

class ShownSplashWindowTest : public ::testing::TestWithParam<ShownSplash> {};

TEST_P(ShownSplashWindowTest, FadesInCentred) {
    GameRun game;
    quietSettings(game);
    game.write("Vortel.png", GetParam().file);
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    const Rgb centre = settledPixel(game, window, 400, 300, GetParam().colour);
    EXPECT_TRUE(near(centre, GetParam().colour, 2))
        << centre.r << "," << centre.g << "," << centre.b;
    EXPECT_TRUE(near(game.screen().pixel(window, 10, 10), {0, 0, 0}, 0));
    ASSERT_TRUE(leaveSplashWithEscape(game));
    EXPECT_EQ(game.logLines(), logOfSplashLeftWithEscape({}));
}

INSTANTIATE_TEST_SUITE_P(BadImages, ShownSplashWindowTest, ::testing::ValuesIn(shownSplashes()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BadImagesWindowTest, SplashMuchLargerThanTheWindowIsCentredAndCropped) {
    GameRun game;
    quietSettings(game);
    // Left half blue, right half green, so the crop can be seen to be centred.
    const int width = 3000;
    const int height = 2000;
    std::vector<std::uint8_t> samples;
    samples.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            samples.insert(samples.end(), {0, static_cast<std::uint8_t>(left ? 0 : 200),
                                           static_cast<std::uint8_t>(left ? 200 : 0)});
        }
    }
    game.write("Vortel.png", encodePng(width, height, PngColour::Rgb, 8, samples));
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    const Rgb blue{0, 0, 200};
    const Rgb green{0, 200, 0};
    const Rgb corner = settledPixel(game, window, 0, 0, blue);
    EXPECT_TRUE(near(corner, blue, 2)) << corner.r << "," << corner.g << "," << corner.b;
    EXPECT_TRUE(near(game.screen().pixel(window, 399, 599), blue, 2));
    EXPECT_TRUE(near(game.screen().pixel(window, 400, 0), green, 2));
    EXPECT_TRUE(near(game.screen().pixel(window, 799, 599), green, 2));
    ASSERT_TRUE(leaveSplashWithEscape(game));
    EXPECT_EQ(game.logLines(), logOfSplashLeftWithEscape({}));
}

TEST(BadImagesWindowTest, SplashOfOnePixelSitsAtTheCentre) {
    GameRun game;
    quietSettings(game);
    game.write("Vortel.png", solidPng(1, 1, PngColour::Rgba, 8, {255, 255, 255, 255}));
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    // Lower left corner (399, 299) counted from the bottom: row 300 from the top.
    const Rgb white{255, 255, 255};
    EXPECT_TRUE(near(settledPixel(game, window, 399, 300, white), white, 2));
    for (auto [x, y] : {std::pair{398, 300}, {400, 300}, {399, 299}, {399, 301}}) {
        EXPECT_TRUE(near(game.screen().pixel(window, x, y), {0, 0, 0}, 0)) << x << "," << y;
    }
    ASSERT_TRUE(leaveSplashWithEscape(game));
    EXPECT_EQ(game.logLines(), logOfSplashLeftWithEscape({}));
}

// OpenGL refuses the texture; that error is logged once and the game goes on, with
// the untextured white quad fading in instead of the picture.
TEST(BadImagesWindowTest, SplashTallerThanAnyTextureFadesInWhiteAndLogsOneOpenGlError) {
    GameRun game;
    quietSettings(game);
    game.write("Vortel.png", solidPng(2, 40000, PngColour::Rgb, 8, {0, 200, 0, 255}));
    game.start();
    const unsigned long window = game.waitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(game.waitForLogLine("IntroState Init"));
    // Two pixels wide from column 399, over the whole height.
    const Rgb white{255, 255, 255};
    EXPECT_TRUE(near(settledPixel(game, window, 399, 300, white), white, 2));
    EXPECT_TRUE(near(game.screen().pixel(window, 400, 0), white, 2));
    EXPECT_TRUE(near(game.screen().pixel(window, 398, 300), {0, 0, 0}, 0));
    EXPECT_TRUE(near(game.screen().pixel(window, 401, 300), {0, 0, 0}, 0));
    ASSERT_TRUE(leaveSplashWithEscape(game));
    std::vector<std::string> expected = logOfSplashLeftWithEscape({});
    expected.insert(expected.begin() + 5, "OpenGL error: invalid value");
    EXPECT_EQ(game.logLines(), expected);
}

std::string shippedMenuPicture() {
    return readFile(std::string(TESSARIA_ASSETS_DIR) + "/menu.bmp");
}

void expectEmptyMenuEndsOnEscape(MenuRun& menu) {
    XScreen screen;
    const unsigned long window = screen.waitForWindow("Tessaria", 20.0);
    ASSERT_NE(window, 0u);
    sleepSeconds(0.3);
    ASSERT_TRUE(menu.process->running());
    screen.focus(window);
    xdotool({"key", "Escape"});
    ASSERT_TRUE(menu.process->waitFor(20.0));
    EXPECT_EQ(menu.process->exitCode(), 0);
    EXPECT_NE(readFile(menu.dir / "stdout.txt")
                  .find("MenuState Init\nMenuState Cleanup\nGameEngine Cleanup\n"),
              std::string::npos);
}

TEST(BadImagesWindowTest, MenuPictureCutInsideItsPixelsLeavesTheMenuEmpty) {
    MenuRun menu;
    const std::string picture = shippedMenuPicture();
    writeFile(menu.dir / "menu.bmp", picture.substr(0, picture.size() / 2));
    menu.start();
    expectEmptyMenuEndsOnEscape(menu);
}

TEST(BadImagesWindowTest, MenuPictureCutInsideItsHeaderLeavesTheMenuEmpty) {
    MenuRun menu;
    writeFile(menu.dir / "menu.bmp", shippedMenuPicture().substr(0, 20));
    menu.start();
    expectEmptyMenuEndsOnEscape(menu);
}

} // namespace
