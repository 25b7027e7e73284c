#include "support/GameRun.h"

#include <algorithm>
#include <filesystem>

GameRun::GameRun() {
    for (const char* asset : {"settings.lua", "Vortel.png", "menu.bmp"}) {
        std::filesystem::copy_file(std::string(TESSARIA_ASSETS_DIR) + "/" + asset, dir_ / asset);
    }
}

void GameRun::remove(const std::string& name) {
    std::filesystem::remove(dir_ / name);
}

void GameRun::write(const std::string& name, const std::string& content) {
    writeFile(dir_ / name, content);
}

void GameRun::start(const std::vector<std::string>& environment,
                    const std::vector<std::string>& unset) {
    Process::Options options;
    options.workingDirectory = dir_.path();
    options.stdoutFile = dir_ / "stdout.txt";
    options.stderrFile = dir_ / "stderr.txt";
    options.environment = environment;
    options.unsetEnvironment = unset;
    process_ = std::make_unique<Process>(std::vector<std::string>{TESSARIA_BINARY}, options);
}

unsigned long GameRun::waitForWindow(double timeoutSeconds) {
    window_ = screen().waitForWindow("Tessaria", timeoutSeconds);
    return window_;
}

bool GameRun::waitForExit(double timeoutSeconds) {
    return process_->waitFor(timeoutSeconds);
}

void GameRun::keyDown(const std::string& key) {
    xdotool({"keydown", key});
}

void GameRun::keyUp(const std::string& key) {
    xdotool({"keyup", key});
}

void GameRun::tapKey(const std::string& key, double holdSeconds) {
    keyDown(key);
    sleepSeconds(holdSeconds);
    keyUp(key);
}

bool GameRun::waitForLogLine(const std::string& line, double timeoutSeconds) const {
    const int polls = static_cast<int>(timeoutSeconds / 0.05) + 1;
    for (int i = 0; i < polls; ++i) {
        const std::vector<std::string> lines = logLines();
        if (std::find(lines.begin(), lines.end(), line) != lines.end()) {
            return true;
        }
        sleepSeconds(0.05);
    }
    return false;
}

XScreen& GameRun::screen() {
    if (!screen_) {
        screen_ = std::make_unique<XScreen>();
    }
    return *screen_;
}
