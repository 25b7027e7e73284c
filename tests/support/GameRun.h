#pragma once

#include "support/Process.h"
#include "support/XScreen.h"

#include <memory>
#include <string>
#include <vector>

// One run of the real game binary in a fresh working directory that holds the
// shipped settings.lua, Vortel.png and menu.bmp (tests may change or remove them
// before start). Standard output and error of the process go to files there.
class GameRun {
  public:
    GameRun();

    const TempDir& dir() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ / name; }
    void remove(const std::string& name);
    void write(const std::string& name, const std::string& content);

    // Starts the game; extra NAME=value environment entries, and names to unset.
    void start(const std::vector<std::string>& environment = {},
               const std::vector<std::string>& unset = {});
    // Waits for the game's window to be mapped; 0 when it did not appear in time.
    unsigned long waitForWindow(double timeoutSeconds = 20.0);
    // Waits for the process to end; false when it still runs after the timeout.
    bool waitForExit(double timeoutSeconds = 30.0);
    int exitCode() const { return process_->exitCode(); }
    bool running() { return process_ && process_->running(); }
    pid_t processId() const { return process_->pid(); }

    // Holds a key long enough for SDL's keyboard state to see it.
    void tapKey(const std::string& key, double holdSeconds = 0.15);
    void keyDown(const std::string& key);
    void keyUp(const std::string& key);

    std::vector<std::string> logLines() const { return readLines(path("log.txt")); }
    std::string standardOutput() const { return readFile(path("stdout.txt")); }
    // Waits until log.txt holds the line; false after the timeout.
    bool waitForLogLine(const std::string& line, double timeoutSeconds = 30.0) const;

    XScreen& screen();
    unsigned long window() const { return window_; }

  private:
    TempDir dir_;
    std::unique_ptr<Process> process_;
    std::unique_ptr<XScreen> screen_;
    unsigned long window_ = 0;
};
