#pragma once

#include <cstdint>

namespace ExitCode {
constexpr int NoErrors = 0;
constexpr int ErrorsFound = 1;
constexpr int CouldNotTest = 2; // also a command line that cannot be used
} // namespace ExitCode

// How a run went, as far as the exit code tells it.
struct RunOutcome {
    bool abandoned = false;      // creating or closing a test file failed
    bool logLost = false;        // a log line could not be written
    int stopSignal = 0;          // the signal that stopped the run, 0 if none
    std::int64_t errorLines = 0; // "Error in block" and "IO Error at Block" lines
    bool driveGone = false;      // the drive could not be reached when the run ended
};

// 2 when the run could not test or its log was lost, 128 + the signal when a signal stopped it
// (whatever it found), 1 when it found errors, 2 when the drive went away, otherwise 0.
int exitCodeFor(const RunOutcome& outcome);
