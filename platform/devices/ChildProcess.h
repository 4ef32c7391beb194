#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program running beside a test, with its standard input from /dev/null and its output
// appended to a log file. The destructor ends it: SIGTERM, then SIGKILL when it lingers.
class ChildProcess {
public:
    // Starts argv[0] (searched in PATH and the system folders) with extra NAME=value entries
    // added to our environment; throws std::runtime_error when it cannot be started.
    ChildProcess(const std::vector<std::string>& argv, const std::string& logPath,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running();
    // Its exit status once it ended within timeout; nullopt while it still runs.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Sends signal unless it has already ended. Safe from any thread.
    void signal(int number);
    // Ends it and reaps it; bounded.
    void stop();

private:
    std::mutex mutex_;
    pid_t pid_ = -1;
    bool reaped_ = false;
    int exitCode_ = -1;
};

struct ToolResult {
    int exitCode = -1;  // -1 when it could not be started, was killed or outran its time
    std::string output; // standard output and standard error together
};

// Runs a program to its end, killing it when it outruns timeout.
ToolResult runTool(const std::vector<std::string>& argv,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Whether a program of that name can be found.
bool toolExists(const std::string& name);
