#include "support/Xvfb.h"

#include "support/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// A display number is taken while its lock file names a live process. A server that
// died without cleaning up leaves its lock and socket behind; those are cleared here
// (the server started next would clear them too, but only after this check).
bool displayTaken(const std::string& lock, const std::string& socket) {
    if (exists(lock)) {
        const std::string owner = readFile(lock);
        const long pid = std::strtol(owner.c_str(), nullptr, 10);
        if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) {
            return true;
        }
        std::remove(lock.c_str());
        std::remove(socket.c_str());
        return false;
    }
    return exists(socket);
}

} // namespace

XvfbServer::XvfbServer() {
    // Spread the starting number by PID so parallel test processes rarely race.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int number = 100 + static_cast<int>((getpid() + attempt * 7) % 800);
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (displayTaken(lock, socket)) {
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

XvfbServer::~XvfbServer() {
    // Asked to stop, the server removes its lock file and socket; killed outright it
    // leaves them, and run after run the display numbers would run out.
    if (server_) {
        ::kill(server_->pid(), SIGTERM);
        server_->waitFor(5.0);
    }
}
