#include "ProgressTracker.h"

#include <algorithm>

namespace {

constexpr std::int64_t BlockBytes = 512;
constexpr auto SpeedWindow = std::chrono::seconds(3);
constexpr auto ShortestSpan = std::chrono::milliseconds(500);
constexpr std::string_view FileStart = "Testing \"";
constexpr std::string_view FileEnd = " bytes tested";
constexpr std::string_view TestingPhase = "Testing block ";

bool isGroupedNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == ',';
}

std::optional<std::int64_t> groupedNumber(std::string_view digits) {
    std::int64_t value = 0;
    bool any = false;
    for (char c : digits) {
        if (c == ',') {
            continue;
        }
        if (value > (INT64_MAX - 9) / 10) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        any = true;
    }
    return any ? std::optional<std::int64_t>(value) : std::nullopt;
}

} // namespace

std::optional<std::int64_t> leadingGroupedNumber(std::string_view text) {
    const auto end = std::find_if_not(text.begin(), text.end(), isGroupedNumberChar);
    return groupedNumber(text.substr(0, static_cast<std::size_t>(end - text.begin())));
}

std::optional<std::int64_t> trailingGroupedNumber(std::string_view text) {
    const auto start = std::find_if_not(text.rbegin(), text.rend(), isGroupedNumberChar);
    return groupedNumber(
        text.substr(text.size() - static_cast<std::size_t>(start - text.rbegin())));
}

void ProgressTracker::logLine(std::string_view line) {
    if (line.starts_with(FileStart)) {
        endPhase();
        inFile_ = true;
        fileBlocks_ = 0;
    } else if (inFile_ && line.ends_with(FileEnd)) {
        endPhase();
        finishedFilesBytes_ += leadingGroupedNumber(line).value_or(0);
        inFile_ = false;
        fileBlocks_ = 0;
    }
}

void ProgressTracker::sample(std::string_view status1, Clock::time_point now) {
    // Between files the status still shows the last file's block, which is counted already.
    const std::optional<std::int64_t> block =
        inFile_ ? trailingGroupedNumber(status1) : std::nullopt;
    if (block) {
        const std::string_view phase = status1.substr(0, status1.find_last_of(' ') + 1);
        if (phase != phase_ || *block < phaseBlock_) {
            endPhase();
            phase_ = phase;
        }
        phaseBlock_ = *block;
        if (phase == TestingPhase) {
            fileBlocks_ = *block;
        }
    }
    newest_ = sampleCount_ == 0 ? 0 : (newest_ + 1) % samples_.size();
    sampleCount_ = std::min(sampleCount_ + 1, samples_.size());
    samples_[newest_] = {now, (earlierPhasesBlocks_ + phaseBlock_) * BlockBytes};
}

void ProgressTracker::endPhase() {
    earlierPhasesBlocks_ += phaseBlock_;
    phaseBlock_ = 0;
    phase_.clear();
}

std::int64_t ProgressTracker::bytesTested() const {
    return finishedFilesBytes_ + (inFile_ ? fileBlocks_ * BlockBytes : 0);
}

std::optional<std::int64_t> ProgressTracker::bytesPerSecond() const {
    if (sampleCount_ < 2) {
        return std::nullopt;
    }
    const Sample& newest = samples_[newest_];
    // The oldest sample still inside the window.
    const Sample* oldest = &newest;
    for (std::size_t back = 1; back < sampleCount_; ++back) {
        const Sample& candidate = samples_[(newest_ + samples_.size() - back) % samples_.size()];
        if (newest.time - candidate.time > SpeedWindow) {
            break;
        }
        oldest = &candidate;
    }
    const auto span = newest.time - oldest->time;
    if (span < ShortestSpan) {
        return std::nullopt;
    }
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(span).count();
    return (newest.bytes - oldest->bytes) * 1000000 / micros;
}
