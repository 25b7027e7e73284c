#include "support/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void redirect(const std::string& path, int fd) {
    if (path.empty()) {
        return;
    }
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        dup2(file, fd);
        close(file);
    }
}

} // namespace

Process::Process(const std::vector<std::string>& argv, const Options& options) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        setpgid(0, 0);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
            _exit(127);
        }
        redirect(options.stdoutFile, STDOUT_FILENO);
        redirect(options.stderrFile, STDERR_FILENO);
        for (const std::string& name : options.unsetEnvironment) {
            unsetenv(name.c_str());
        }
        for (const std::string& entry : options.environment) {
            putenv(const_cast<char*>(entry.c_str()));
        }
        execvp(args[0], args.data());
        _exit(127);
    }
}

Process::~Process() {
    kill();
}

void Process::reap(int status) {
    ended_ = true;
    if (WIFEXITED(status)) {
        exitCode_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exitCode_ = -WTERMSIG(status);
    }
}

bool Process::running() {
    if (ended_) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reap(status);
        return false;
    }
    return true;
}

bool Process::waitFor(double timeoutSeconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void Process::kill() {
    if (pid_ <= 0 || !running()) {
        return;
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) {
        reap(status);
    }
}

int runCommand(const std::vector<std::string>& argv, double timeoutSeconds) {
    Process process(argv, {});
    if (!process.waitFor(timeoutSeconds)) {
        process.kill();
        return -1;
    }
    return process.exitCode();
}

int xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runCommand(argv, 10.0);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tessaria-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    if (std::getenv("TESSARIA_KEEP_TEST_DIRS") != nullptr) {
        return;
    }
    std::error_code ignored;
    // A test may have made the directory read-only; give write access back first.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void sleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
