#include "Program.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// Tools such as losetup and mkfs live in sbin, which a user's PATH may lack.
const char* const SystemFolders[] = {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin",
                                     "/usr/bin",        "/sbin",          "/bin"};

std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    std::vector<std::string> folders;
    std::stringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        folders.push_back(folder);
    }
    folders.insert(folders.end(), std::begin(SystemFolders), std::end(SystemFolders));
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

pid_t spawn(const std::string& program, const std::vector<std::string>& argv, int outputFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
    std::vector<char*> pointers;
    for (const std::string& argument : argv) {
        pointers.push_back(const_cast<char*>(argument.c_str()));
    }
    pointers.push_back(nullptr);
    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}

// Collects the output until the program closes it or the deadline passes; false on timeout.
bool collect(int fd, std::string& output, std::chrono::steady_clock::time_point deadline) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            return true;
        }
    }
}

} // namespace

ProgramResult runProgram(const std::vector<std::string>& argv, std::chrono::seconds timeout) {
    ProgramResult result;
    const std::string program = argv.empty() ? std::string() : findProgram(argv[0]);
    int pipeFds[2];
    if (program.empty() || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.output = "cannot start " + (argv.empty() ? std::string() : argv[0]);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const pid_t pid = spawn(program, argv, pipeFds[1]);
    ::close(pipeFds[1]);
    const bool ended = pid > 0 && collect(pipeFds[0], result.output, deadline);
    ::close(pipeFds[0]);
    if (pid <= 0) {
        return result;
    }
    int status = 0;
    bool exited = false;
    while (ended && !exited && std::chrono::steady_clock::now() < deadline) {
        exited = ::waitpid(pid, &status, WNOHANG) == pid;
        if (!exited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (!exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        result.output += "\n" + argv[0] + " outran its time and was killed";
        return result;
    }
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

std::string runOrThrow(const std::vector<std::string>& argv, std::chrono::seconds timeout) {
    ProgramResult result = runProgram(argv, timeout);
    if (result.exitCode != 0) {
        throw std::runtime_error(argv[0] + " failed: " + result.output);
    }
    return result.output;
}

bool programExists(const std::string& name) {
    return !findProgram(name).empty();
}
