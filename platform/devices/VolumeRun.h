#pragma once

#include "FaultyVolume.h"
#include "PosixFileService.h"
#include "RecordingWindow.h"
#include "TestRunner.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The Test handler run on a faulty volume through the real file service, with drive E chosen
// and a window that records what the run shows. A run that outlasts its limit has its device
// cut off, so that it ends.
class VolumeRun {
public:
    explicit VolumeRun(FaultyVolume& volume);

    void run(std::chrono::seconds limit = std::chrono::seconds(60));

    RecordingWindow window;
    RunSettings& settings() { return runner_.settings(); }
    // The result code of the I/O exception that left the run, if one did.
    std::optional<int> exceptionCode;
    bool hung = false;
    // When the run returned.
    std::chrono::steady_clock::time_point returned;
    // The path of the first test file the run makes.
    std::string firstFilePath() const;

private:
    FaultyVolume& volume_;
    PosixFileService files_;
    TestRunner runner_;
};

// The block numbers of the log lines that start with prefix ("Error in block "), in log order.
std::vector<std::int64_t> blocksOf(const std::vector<std::string>& log, const std::string& prefix);
// The log lines that start with prefix.
std::vector<std::string> linesStartingWith(const std::vector<std::string>& log,
                                           const std::string& prefix);
// The four lines that close every run that reaches its end.
std::vector<std::string> closingLines(std::int64_t errors, std::int64_t bytes);
