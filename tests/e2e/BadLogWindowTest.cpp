// A log that cannot be written: the game runs the same, only its log is lost. (A
// directory named log.txt: StartupWindowTest.)
#include "support/GameOutcome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const char* const selfTestReports = "Test 1:\n\tCollision: 1\n\tProjectionVector: (0.000000, "
                                    "0.000000, 1.000000)\n\t Projection Length: 0.250000\n\n"
                                    "Test 2:\n\tCollision: 1\n\tProjectionVector: (0.707107, "
                                    "0.707107, 0.000000)\n\t Projection Length: 0.146447\n\n";

const char* const unprivilegedRunner = "/usr/bin/setpriv";

TEST(BadLogWindowTest, ReadOnlyWorkingDirectoryLosesTheLogOnly) {
    TempDir dir;
    for (const char* asset : {"settings.lua", "Vortel.png"}) {
        std::filesystem::copy_file(std::string(TESSARIA_ASSETS_DIR) + "/" + asset, dir / asset);
    }
    std::vector<std::string> command{TESSARIA_BINARY};
    if (geteuid() == 0) {
        // Permissions do not hold root back, so the game runs as nobody.
        if (access(unprivilegedRunner, X_OK) != 0) {
            GTEST_SKIP() << "running as root without " << unprivilegedRunner
                         << " to drop to an unprivileged user: a read-only directory "
                            "cannot be made";
        }
        command.insert(command.begin(),
                       {unprivilegedRunner, "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    namespace fs = std::filesystem;
    // The process's own output files are made before the directory becomes read-only.
    Process::Options options;
    options.workingDirectory = dir.path();
    options.stdoutFile = dir / "stdout.txt";
    options.stderrFile = dir / "stderr.txt";
    writeFile(options.stdoutFile, "");
    writeFile(options.stderrFile, "");
    fs::permissions(options.stdoutFile, fs::perms::all, fs::perm_options::add);
    fs::permissions(options.stderrFile, fs::perms::all, fs::perm_options::add);
    fs::permissions(dir.path(),
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);

    Process game(command, options);
    XScreen screen;
    const unsigned long window = screen.waitForWindow("Tessaria", 20.0);
    ASSERT_NE(window, 0u);
    sleepSeconds(0.5);
    screen.focus(window);
    xdotool({"key", "Escape"});
    ASSERT_TRUE(game.waitFor(30.0));
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_FALSE(fs::exists(dir / "log.txt"));
    EXPECT_EQ(readFile(options.stdoutFile), selfTestReports);
}

} // namespace
