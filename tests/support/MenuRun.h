#pragma once

#include "support/Process.h"

#include <memory>
#include <string>
#include <vector>

// The menu state, which nothing in the game leads to, run through its probe program
// in a fresh directory holding the shipped settings.lua and menu.bmp.
class MenuRun {
  public:
    MenuRun() {
        for (const char* asset : {"settings.lua", "menu.bmp"}) {
            runCommand({"cp", std::string(TESSARIA_ASSETS_DIR) + "/" + asset, dir / asset});
        }
    }
    void start(const std::vector<std::string>& environment = {}) {
        Process::Options options;
        options.environment = environment;
        options.workingDirectory = dir.path();
        options.stdoutFile = dir / "stdout.txt";
        process = std::make_unique<Process>(std::vector<std::string>{TESSARIA_MENU_PROBE}, options);
    }
    TempDir dir;
    std::unique_ptr<Process> process;
};
