#include "TestRun.h"

#include "IntToStrWithCommas.h"
#include "IoException.h"
#include "ResultCodes.h"
#include "TestFileName.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::int64_t FreeSpaceFloor = 1024;
constexpr std::int64_t KB = 1024;
constexpr std::int64_t MB = KB * KB;
constexpr std::uint8_t FirstPattern = 0x00;
constexpr std::uint8_t SecondPattern = 0xFF;
constexpr std::uint8_t ReadMarker = 0x80;
constexpr auto BlockBytes = static_cast<std::size_t>(BlockSize);
// Names taken by files of earlier runs are skipped up to this many times before giving up.
constexpr int MaxNameClashes = 9999;
// Verification reads this many blocks at once and lets the window handle events in between.
constexpr std::int64_t VerifyChunkBlocks = 128;

struct Patterns {
    std::array<std::uint8_t, BlockSize> first;
    std::array<std::uint8_t, BlockSize> second;
    Patterns() {
        first.fill(FirstPattern);
        second.fill(SecondPattern);
    }
    const std::uint8_t* of(std::uint8_t value) const {
        return value == FirstPattern ? first.data() : second.data();
    }
};

const Patterns patterns;

// True when every byte of the block is value. The C library's compare is vectorised for the
// machine it runs on, and this runs twice per block.
bool blockHolds(const std::uint8_t* block, std::uint8_t value) {
    return std::memcmp(block, patterns.of(value), BlockBytes) == 0;
}

} // namespace

TestRun::TestRun(RunWindow& window, FileService& files, const TimeTextSource& timeText,
                 const RunSettings& settings)
    : window_(window), files_(files), timeText_(timeText), settings_(settings) {}

void TestRun::execute() {
    window_.clearLog();
    DriveLetter = window_.drive();
    if (DriveLetter == '\0') {
        window_.addLogLine("Select a drive first");
        return;
    }
    DriveNum = driveNumber(DriveLetter);
    window_.setAbortEnabled(true);
    window_.setStopFlag(false);
    ErrorCount = 0;
    TotalBytes = 0;
    try {
        fillDrive();
    } catch (...) {
        window_.setAbortEnabled(false);
        throw;
    }
    window_.setAbortEnabled(false);
    window_.addLogLine(" ");
    window_.addLogLine("Finished Testing");
    window_.addLogLine(std::to_string(ErrorCount) + " errors");
    window_.addLogLine(IntToStrWithCommas(TotalBytes) + " bytes tested");
}

void TestRun::fillDrive() {
    while (files_.DiskFree(DriveNum) > FreeSpaceFloor) {
        std::string path;
        CreateResult created = createTestFile(path);
        window_.addLogLine("Testing \"" + path + "\"");
        testFile(*created.file);
        if (window_.stopFlag()) {
            break;
        }
    }
}

CreateResult TestRun::createTestFile(std::string& path) {
    const std::string root = files_.rootPath(DriveLetter);
    const std::string timeText = timeText_();
    // The locale's text may hold any character; a separator would put the file in another folder.
    if (timeText.find_first_of("/\\") != std::string::npos) {
        throw IoException(ResultCode::InvalidFilename);
    }
    for (int clash = 1;; ++clash) {
        path = root + testFileLeafName(timeText, clash);
        CreateResult created = files_.create(DriveLetter, path);
        if (created.code == ResultCode::Success) {
            return created;
        }
        if (created.code != ResultCode::FileExists || clash == MaxNameClashes) {
            throw IoException(created.code);
        }
    }
}

void TestRun::testFile(TestFile& file) {
    Block = 0;
    userStopped_ = false;
    try {
        while (blockCycleStep(file)) {
        }
        if (settings_.verifyFromMedium && !userStopped_) {
            // A full volume set the stop flag; clear it meanwhile so that only Abort or Quit
            // can end the verification, and keep it set for the file loop afterwards.
            const bool volumeFull = window_.stopFlag();
            window_.setStopFlag(false);
            verifyFromMedium(file);
            window_.setStopFlag(window_.stopFlag() || volumeFull);
        }
    } catch (...) {
        closeTestFile(file);
        throw;
    }
    closeTestFile(file);
}

// One pass of the block cycle; false when the cycle ends.
bool TestRun::blockCycleStep(TestFile& file) {
    showStatus("Testing block ", Block);
    window_.processEvents();
    userStopped_ = window_.stopFlag();
    // Every pass writes at its own block, so a failed read cannot shift later blocks.
    const std::int64_t offset = Block * BlockSize;
    if (stopped(file.write(offset, patterns.of(FirstPattern), BlockBytes))) {
        return false;
    }
    if (stopped(readBack(file, offset))) {
        return false;
    }
    CheckBlock(buffer_.data(), FirstPattern);
    if (stopped(file.write(offset, patterns.of(SecondPattern), BlockBytes))) {
        return false;
    }
    if (stopped(readBack(file, offset))) {
        return false;
    }
    CheckBlock(buffer_.data(), SecondPattern);
    ++Block;
    return !window_.stopFlag() && Block < settings_.maxBlocksPerFile;
}

// A read-back right after a write may come from the cache, so every counted block is read once
// more from the medium; otherwise a drive that loses what it is given would pass.
void TestRun::verifyFromMedium(TestFile& file) {
    const int flushed = file.dropCache();
    if (flushed != ResultCode::Success) {
        // Writes the medium refused may stay in the cache, and the reads below would then find
        // them there: the failure counts as an error so the summary cannot read "0 errors".
        reportIoError(Block, flushed);
        ++ErrorCount;
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(VerifyChunkBlocks * BlockSize));
    for (std::int64_t first = 0; first < Block; first += VerifyChunkBlocks) {
        const std::int64_t count = std::min(VerifyChunkBlocks, Block - first);
        if (!verifyPause(first)) {
            return;
        }
        const std::size_t bytes = static_cast<std::size_t>(count) * BlockBytes;
        if (file.read(first * BlockSize, chunk.data(), bytes) != ResultCode::Success) {
            if (!verifyOneByOne(file, first, count, chunk.data())) {
                return;
            }
            continue;
        }
        for (std::int64_t i = 0; i < count; ++i) {
            checkVerified(chunk.data() + i * BlockSize, first + i);
        }
    }
}

// Shows where the verification stands and lets the window handle events; false when Abort or
// Quit asks it to end.
bool TestRun::verifyPause(std::int64_t block) {
    showStatus("Verifying block ", block);
    window_.processEvents();
    return !window_.stopFlag();
}

// Reads a chunk that failed block by block, to tell which blocks the medium cannot give back.
// A dying medium can take long over each failed read, so Abort and Quit are heard before each.
bool TestRun::verifyOneByOne(TestFile& file, std::int64_t first, std::int64_t count,
                             std::uint8_t* data) {
    for (std::int64_t block = first; block < first + count; ++block) {
        if (block != first && !verifyPause(block)) {
            return false;
        }
        const int code = file.read(block * BlockSize, data, BlockBytes);
        if (code != ResultCode::Success) {
            std::memset(data, ReadMarker, BlockBytes);
            reportIoError(block, code);
        }
        checkVerified(data, block);
    }
    return true;
}

void TestRun::checkVerified(const std::uint8_t* data, std::int64_t block) {
    if (!blockHolds(data, SecondPattern)) {
        reportMismatch(block);
    }
}

void TestRun::closeTestFile(TestFile& file) {
    const std::int64_t bytes = Block * BlockSize;
    window_.addLogLine(IntToStrWithCommas(bytes) + " bytes tested");
    TotalBytes += bytes;
    file.close();
    window_.refreshFileList();
}

void TestRun::showStatus(const char* action, std::int64_t block) {
    status1_.assign(action);
    appendIntWithCommas(status1_, block);
    window_.setStatus1(status1_);

    const std::int64_t position = block * BlockSize;
    ScaledPosition scaled{position, " B"};
    if (position > MB) {
        scaled = {position / MB, " MB"};
    } else if (position > KB) {
        scaled = {position / KB, " KB"};
    }
    // The text changes only every few blocks; the window still gets it on every block.
    if (scaled != shownPosition_) {
        shownPosition_ = scaled;
        status2_.clear();
        appendIntWithCommas(status2_, scaled.value);
        status2_ += scaled.unit;
    }
    window_.setStatus2(status2_);
}

// A successful read fills the whole buffer, so the read marker only matters when a read fails:
// whatever part did not arrive must fail the compare against either pattern.
int TestRun::readBack(TestFile& file, std::int64_t offset) {
    const int code = file.read(offset, buffer_.data(), BlockBytes);
    if (code != ResultCode::Success) {
        buffer_.fill(ReadMarker);
    }
    return code;
}

bool TestRun::stopped(int code) {
    CheckIO(code);
    return window_.stopFlag();
}

void TestRun::CheckIO(int code) {
    LastIOResult = code;
    if (code == ResultCode::Success) {
        return;
    }
    if (code == ResultCode::DiskFull) {
        window_.setStopFlag(true);
        return;
    }
    reportIoError(Block, code);
}

void TestRun::CheckBlock(const std::uint8_t* block, std::uint8_t expected) {
    if (!blockHolds(block, expected)) {
        reportMismatch(Block);
    }
}

void TestRun::reportIoError(std::int64_t block, int code) {
    window_.addLogLine("IO Error at Block " + std::to_string(block) + ": " + std::to_string(code));
    window_.scrollLogToEnd();
}

void TestRun::reportMismatch(std::int64_t block) {
    window_.addLogLine("Error in block " + std::to_string(block));
    ++ErrorCount;
    window_.scrollLogToEnd();
}
