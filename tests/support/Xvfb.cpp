#include "support/Xvfb.h"

#include "support/Process.h"

#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

} // namespace

XvfbServer::XvfbServer() {
    // Spread the starting number by PID so parallel test processes rarely race.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int number = 100 + static_cast<int>((getpid() + attempt * 7) % 800);
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (exists(lock) || exists(socket)) {
            continue;
        }
        const std::string display = ":" + std::to_string(number);
        auto server = std::make_unique<Process>(
            std::vector<std::string>{"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten",
                                     "tcp", "-noreset"},
            Process::Options{"", "/dev/null", "/dev/null", {}, {}});
        for (int wait = 0; wait < 500 && server->running(); ++wait) {
            if (exists(socket)) {
                display_ = display;
                server_ = std::move(server);
                setenv("DISPLAY", display_.c_str(), 1);
                sleepSeconds(0.05);
                return;
            }
            sleepSeconds(0.01);
        }
    }
    throw std::runtime_error("could not start Xvfb");
}

XvfbServer::~XvfbServer() = default;
