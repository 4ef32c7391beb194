#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Follows a run from the texts it shows: the log lines tell where files start and how many bytes
// each one tested; the first status text tells the block the run has reached. From these it
// gives the bytes tested so far and the speed over the last seconds.
class ProgressTracker {
public:
    using Clock = std::chrono::steady_clock;

    void logLine(std::string_view line);
    // Takes the first status text as it stands at now.
    void sample(std::string_view status1, Clock::time_point now);

    // The bytes of the finished files as their lines reported them, plus the completed blocks
    // of the current file.
    std::int64_t bytesTested() const;
    // Bytes the run went through (testing or verifying) per second over the last few seconds;
    // nullopt until the samples span long enough to tell.
    std::optional<std::int64_t> bytesPerSecond() const;

private:
    struct Sample {
        Clock::time_point time;
        std::int64_t bytes = 0;
    };

    void endPhase();

    std::int64_t finishedFilesBytes_ = 0;
    bool inFile_ = false;
    std::int64_t fileBlocks_ = 0;
    // A phase is one pass through a file, testing or verifying; its position is its block.
    std::string phase_;
    std::int64_t phaseBlock_ = 0;
    std::int64_t earlierPhasesBlocks_ = 0;
    std::array<Sample, 32> samples_{};
    std::size_t sampleCount_ = 0;
    std::size_t newest_ = 0;
};

// The number at the start ("1,024 bytes tested") or the end ("Testing block 1,024") of a text
// with grouped digits; nullopt when there is none.
std::optional<std::int64_t> leadingGroupedNumber(std::string_view text);
std::optional<std::int64_t> trailingGroupedNumber(std::string_view text);
