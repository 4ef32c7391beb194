#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr auto PollStep = 5ms;
// How long a program asked to end may take before it is killed.
constexpr auto StopGrace = 2s;

// Tools such as losetup and mkfs live in sbin, which a test's PATH may lack.
const std::vector<std::string> SystemFolders = {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin",
                                                "/usr/bin",        "/sbin",          "/bin"};

std::vector<std::string> searchFolders() {
    std::vector<std::string> folders;
    if (const char* path = std::getenv("PATH")) {
        std::stringstream list(path);
        for (std::string folder; std::getline(list, folder, ':');) {
            if (!folder.empty()) {
                folders.push_back(folder);
            }
        }
    }
    folders.insert(folders.end(), SystemFolders.begin(), SystemFolders.end());
    return folders;
}

std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    for (const std::string& folder : searchFolders()) {
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& logPath,
                           const std::vector<std::string>& environment) {
    const std::string program = argv.empty() ? std::string() : findProgram(argv[0]);
    if (program.empty()) {
        throw std::runtime_error("program not found: " + (argv.empty() ? "" : argv[0]));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> arguments = argv;
    std::vector<std::string> entries = environmentWith(environment);
    const int result = posix_spawn(&pid_, program.c_str(), &actions, nullptr,
                                   pointersTo(arguments).data(), pointersTo(entries).data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(result));
    }
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::running() {
    return !waitForExit(0ms).has_value();
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (reaped_) {
                return exitCode_;
            }
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                exitCode_ = exitCodeOf(status);
                return exitCode_;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(PollStep);
    }
}

void ChildProcess::signal(int number) {
    const std::lock_guard lock(mutex_);
    if (!reaped_) {
        ::kill(pid_, number);
    }
}

void ChildProcess::stop() {
    signal(SIGTERM);
    if (!waitForExit(std::chrono::duration_cast<std::chrono::milliseconds>(StopGrace))) {
        signal(SIGKILL);
        // A killed process is gone at once unless it sleeps in the kernel; even then this ends.
        waitForExit(std::chrono::duration_cast<std::chrono::milliseconds>(StopGrace));
    }
}

ToolResult runTool(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    char logPath[] = "/tmp/orvalin-tool-XXXXXX";
    const int logFd = ::mkstemp(logPath);
    if (logFd < 0) {
        return {-1, "cannot make a log file"};
    }
    ::close(logFd);
    ToolResult result;
    try {
        ChildProcess tool(argv, logPath);
        if (const std::optional<int> code = tool.waitForExit(timeout)) {
            result.exitCode = *code;
        } else {
            result.output = argv[0] + " did not end within its time\n";
        }
    } catch (const std::exception& error) {
        result.output = std::string(error.what()) + "\n";
    }
    std::ifstream log(logPath);
    result.output.append(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
    ::unlink(logPath);
    return result;
}

bool toolExists(const std::string& name) {
    return !findProgram(name).empty();
}
