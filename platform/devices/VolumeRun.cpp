#include "VolumeRun.h"

#include "Deadline.h"
#include "IntToStrWithCommas.h"
#include "IoException.h"

#include <algorithm>

namespace {

// The clock the runs read; their first test file is named from it.
constexpr const char* TimeText = "1:08:05 PM";
constexpr const char* FirstFileName = "1-08-05_PM.XXX";

} // namespace

VolumeRun::VolumeRun(FaultyVolume& volume)
    : volume_(volume), files_(volume.table()),
      runner_(window, files_, [] { return std::string(TimeText); }) {}

void VolumeRun::run(std::chrono::seconds limit) {
    const Deadline deadline(limit, [this] { volume_.pullOut(); });
    try {
        runner_.TestButtonClick();
    } catch (const IoException& error) {
        exceptionCode = error.code();
    }
    returned = std::chrono::steady_clock::now();
    hung = deadline.expired();
}

std::string VolumeRun::firstFilePath() const {
    return volume_.mountPath() + "/" + FirstFileName;
}

std::vector<std::int64_t> blocksOf(const std::vector<std::string>& log, const std::string& prefix) {
    std::vector<std::int64_t> blocks;
    for (const std::string& line : linesStartingWith(log, prefix)) {
        blocks.push_back(std::stoll(line.substr(prefix.size())));
    }
    return blocks;
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& log,
                                           const std::string& prefix) {
    std::vector<std::string> lines;
    std::copy_if(log.begin(), log.end(), std::back_inserter(lines),
                 [&prefix](const std::string& line) { return line.starts_with(prefix); });
    return lines;
}

std::vector<std::string> closingLines(std::int64_t errors, std::int64_t bytes) {
    return {" ", "Finished Testing", std::to_string(errors) + " errors",
            IntToStrWithCommas(bytes) + " bytes tested"};
}
