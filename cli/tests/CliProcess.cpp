#include "CliProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// A pseudo-terminal: the master end stays here, the slave end becomes the child's stderr.
void openTerminal(int& master, int& slave) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        throw std::runtime_error("no pseudo-terminal slave");
    }
}

} // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, ErrorOutput errorOutput) {
    int outPipe[2];
    int errEnds[2]; // [0] read here, [1] the child's stderr
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe");
    }
    if (errorOutput == ErrorOutput::Terminal) {
        openTerminal(errEnds[0], errEnds[1]);
    } else if (::pipe2(errEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe");
    }
    std::vector<std::string> argv{ORVALIN_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errEnds[1], STDERR_FILENO);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errEnds[1]);
    outFd_ = outPipe[0];
    errFd_ = errEnds[0];
    if (pid_ < 0) {
        throw std::runtime_error("cannot fork");
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    closeFd(outFd_);
    closeFd(errFd_);
}

bool CliProcess::pump(std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (outFd_ < 0 && errFd_ < 0) {
        return false;
    }
    if (::poll(fds, 2, static_cast<int>(timeout.count())) <= 0) {
        return true;
    }
    int* ends[2] = {&outFd_, &errFd_};
    std::string* texts[2] = {&out_, &err_};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t count = ::read(*ends[i], buffer, sizeof buffer);
        if (count > 0) {
            texts[i]->append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            closeFd(*ends[i]); // end of a pipe; EIO once a terminal's last writer has gone
        }
    }
    return true;
}

bool CliProcess::waitForLine(std::string_view prefix, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        for (const std::string& line : outLines()) {
            if (line.starts_with(prefix)) {
                return true;
            }
        }
        if (!pump(std::chrono::milliseconds(10)) || outFd_ < 0) {
            return false;
        }
    }
    return false;
}

void CliProcess::signal(int number) {
    if (pid_ > 0) {
        ::kill(pid_, number);
    }
}

void CliProcess::signalUntilEnd(int number, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (pid_ > 0 && Clock::now() < deadline) {
        ::kill(pid_, number);
        // Looks without reaping, so the process id cannot pass to another process meanwhile.
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid_) {
            return;
        }
    }
}

int CliProcess::finish(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while ((outFd_ >= 0 || errFd_ >= 0) && Clock::now() < deadline) {
        pump(std::chrono::milliseconds(50));
    }
    if (outFd_ >= 0 || errFd_ >= 0) {
        return -1; // outran its time; the destructor kills it
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> CliProcess::outLines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = out_.find('\n'); end != std::string::npos;
         end = out_.find('\n', start)) {
        lines.push_back(out_.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

CliResult runCli(const std::vector<std::string>& args) {
    CliProcess process(args);
    const int code = process.finish();
    return {code, process.out(), process.err()};
}
