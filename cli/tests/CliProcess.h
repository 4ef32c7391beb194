#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The built orvalin-cli running beside a test, its standard output and standard error caught
// apart. Standard error can be a terminal (a pseudo-terminal the test reads). The destructor
// kills and reaps it if it still runs.
class CliProcess {
public:
    enum class ErrorOutput { Pipe, Terminal };

    explicit CliProcess(const std::vector<std::string>& args,
                        ErrorOutput errorOutput = ErrorOutput::Pipe);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Reads until standard output holds a line starting with prefix; false when the program
    // ends or timeout passes first.
    bool waitForLine(std::string_view prefix, std::chrono::milliseconds timeout);
    void signal(int number);
    // Sends the signal over and over, as fast as it goes, until the program has ended.
    void signalUntilEnd(int number, std::chrono::milliseconds timeout);
    // Reads everything and waits for the end: the exit code, or -1 when the program was killed
    // by a signal or outran timeout (it is killed then).
    int finish(std::chrono::milliseconds timeout = std::chrono::seconds(20));

    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }
    // Standard output split into lines, without their line ends.
    std::vector<std::string> outLines() const;

private:
    // Reads what is there, waiting at most timeout; false once both outputs have ended.
    bool pump(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// Runs orvalin-cli to its end; the exit code, standard output and standard error.
struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
CliResult runCli(const std::vector<std::string>& args);
