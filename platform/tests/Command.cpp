#include "Command.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Tools such as losetup and mkfs live in sbin, which a test's PATH may lack.
const std::vector<std::string> SearchFolders = {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin",
                                                "/usr/bin",        "/sbin",          "/bin"};

std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    std::vector<std::string> folders;
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        for (std::size_t pos = 0; pos <= list.size();) {
            const std::size_t end = std::min(list.find(':', pos), list.size());
            folders.push_back(list.substr(pos, end - pos));
            pos = end + 1;
        }
    }
    folders.insert(folders.end(), SearchFolders.begin(), SearchFolders.end());
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::vector<char*> argumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& argument : argv) {
        pointers.push_back(const_cast<char*>(argument.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Spawns argv with its standard output and error on outputFd; the process id, or -1.
pid_t spawn(const std::vector<std::string>& argv, int outputFd) {
    const std::string program = argv.empty() ? std::string() : findProgram(argv[0]);
    if (program.empty()) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    std::vector<char*> pointers = argumentPointers(argv);
    const int result =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}

int waitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

CommandResult runCommand(const std::vector<std::string>& argv) {
    CommandResult result;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return result;
    }
    const pid_t pid = spawn(argv, pipeFds[1]);
    ::close(pipeFds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) != 0) {
        if (got > 0) {
            result.output.append(buffer, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(pipeFds[0]);
    if (pid > 0) {
        result.exitCode = waitForExit(pid);
    }
    return result;
}

int startCommand(const std::vector<std::string>& argv) {
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0) {
        return -1;
    }
    const pid_t pid = spawn(argv, devNull);
    ::close(devNull);
    return pid;
}

bool commandExists(const std::string& name) {
    return !findProgram(name).empty();
}
