#pragma once

#include <memory>
#include <string>

class Process;

// A private X server (Xvfb, 1024x768x24) for tests that need a window. It sets
// DISPLAY for this process and its children and ends the server by its PID.
class XvfbServer {
  public:
    XvfbServer();
    ~XvfbServer();
    const std::string& display() const { return display_; }

  private:
    std::unique_ptr<Process> server_;
    std::string display_;
};
