// The menu state, which nothing in the game leads to, driven through a probe program.
#include "support/GameRun.h"
#include "support/MenuRun.h"

#include <gtest/gtest.h>

namespace {

// Also on OpenGL 1.3, which has no glWindowPos2i.
class MenuOnOpenGl : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(MenuOnOpenGl, ShowsThePictureCentredAndQuitsOnEscape) {
    MenuRun menu;
    menu.start(GetParam());
    XScreen screen;
    const unsigned long window = screen.waitForWindow("Tessaria", 20.0);
    ASSERT_NE(window, 0u);
    // The 320 x 200 picture sits at (240, 200) in the 800 x 600 window; its middle
    // button is dirt coloured, its title bar grass coloured.
    Rgb button{};
    for (int i = 0; i < 100 && !near(button, {116, 69, 48}, 1); ++i) {
        sleepSeconds(0.05);
        button = screen.pixel(window, 400, 320);
    }
    XScreen::savePng(window, "/tmp/tessaria-menu.png");
    EXPECT_TRUE(near(button, {116, 69, 48}, 1)) << button.r << "," << button.g << "," << button.b;
    EXPECT_TRUE(near(screen.pixel(window, 241, 201), {74, 134, 31}, 1));
    EXPECT_TRUE(near(screen.pixel(window, 239, 300), {0, 0, 0}, 0));
    EXPECT_TRUE(near(screen.pixel(window, 561, 300), {0, 0, 0}, 0));
    xdotool({"keydown", "Escape"});
    sleepSeconds(0.15);
    xdotool({"keyup", "Escape"});
    ASSERT_TRUE(menu.process->waitFor(20.0));
    EXPECT_EQ(menu.process->exitCode(), 0);
    EXPECT_NE(readFile(menu.dir / "stdout.txt").find("MenuState Cleanup\nGameEngine Cleanup\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(MenuWindowTest, MenuOnOpenGl,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"MESA_GL_VERSION_OVERRIDE=1.3"}));

TEST(MenuWindowTest, MissingPictureShowsNothingAndDoesNotCrash) {
    MenuRun menu;
    runCommand({"rm", menu.dir / "menu.bmp"});
    menu.start();
    XScreen screen;
    const unsigned long window = screen.waitForWindow("Tessaria", 20.0);
    ASSERT_NE(window, 0u);
    sleepSeconds(0.5);
    EXPECT_TRUE(menu.process->running());
    xdotool({"keydown", "Escape"});
    sleepSeconds(0.15);
    xdotool({"keyup", "Escape"});
    ASSERT_TRUE(menu.process->waitFor(20.0));
    EXPECT_EQ(menu.process->exitCode(), 0);
}

} // namespace
