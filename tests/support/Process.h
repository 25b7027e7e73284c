#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A child process started for a test and always ended by its PID.
class Process {
  public:
    struct Options {
        std::string workingDirectory;              // empty: inherit
        std::string stdoutFile;                    // empty: inherit
        std::string stderrFile;                    // empty: inherit
        std::vector<std::string> environment;      // extra NAME=value entries
        std::vector<std::string> unsetEnvironment; // names removed
    };

    Process(const std::vector<std::string>& argv, const Options& options);
    ~Process(); // kills and reaps the child if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits up to timeoutSeconds; returns true when the child has ended.
    bool waitFor(double timeoutSeconds);
    // Exit status (0-255) when it exited normally, -signal when killed, -1000 if running.
    int exitCode() const { return exitCode_; }
    void kill();

  private:
    void reap(int status);

    pid_t pid_ = -1;
    bool ended_ = false;
    int exitCode_ = -1000;
};

// Runs a command to completion (bounded); returns its exit code, or -1 on timeout.
int runCommand(const std::vector<std::string>& argv, double timeoutSeconds = 30.0);

// xdotool with the given arguments (DISPLAY taken from the environment).
int xdotool(const std::vector<std::string>& args);

std::string readFile(const std::string& path);
std::vector<std::string> readLines(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// A fresh temporary directory, removed (recursively) by the destructor unless
// TESSARIA_KEEP_TEST_DIRS is set.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

void sleepSeconds(double seconds);
