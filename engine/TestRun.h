#pragma once

#include "FileService.h"
#include "RunWindow.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

constexpr std::int64_t BlockSize = 512;
constexpr std::int64_t MaxBlocksPerFile = 4194304;

// The current local time of day in the locale's long time format.
using TimeTextSource = std::function<std::string()>;

struct RunSettings {
    std::int64_t maxBlocksPerFile = MaxBlocksPerFile;
    // Read every counted block again from the medium once a file's cycle has ended.
    bool verifyFromMedium = true;
};

// One test run: fills the chosen drive's free space with test files, writing every block with
// 0x00 and 0xFF, reading each back and comparing, and reports through the window. Throws
// IoException when a test file cannot be created or closed.
class TestRun {
public:
    TestRun(RunWindow& window, FileService& files, const TimeTextSource& timeText,
            const RunSettings& settings);
    void execute();

private:
    using BlockBuffer = std::array<std::uint8_t, BlockSize>;

    void fillDrive();
    CreateResult createTestFile(std::string& path);
    void testFile(TestFile& file);
    bool blockCycleStep(TestFile& file);
    void verifyFromMedium(TestFile& file);
    bool verifyPause(std::int64_t block);
    bool verifyOneByOne(TestFile& file, std::int64_t first, std::int64_t count, std::uint8_t* data);
    void checkVerified(const std::uint8_t* data, std::int64_t block);
    void closeTestFile(TestFile& file);
    void showStatus(const char* action, std::int64_t block);
    int readBack(TestFile& file, std::int64_t offset);
    bool stopped(int code);
    void CheckIO(int code);
    void CheckBlock(const std::uint8_t* block, std::uint8_t expected);
    void reportIoError(std::int64_t block, int code);
    void reportMismatch(std::int64_t block);

    RunWindow& window_;
    FileService& files_;
    const TimeTextSource& timeText_;
    RunSettings settings_;

    char DriveLetter = '\0';
    int DriveNum = 0;
    std::int64_t ErrorCount = 0;
    std::int64_t TotalBytes = 0;
    std::int64_t Block = 0;
    int LastIOResult = 0;
    bool userStopped_ = false;
    BlockBuffer buffer_{};
    struct ScaledPosition {
        std::int64_t value = -1;
        const char* unit = "";
        bool operator==(const ScaledPosition&) const = default;
    };
    std::string status1_;
    std::string status2_;
    ScaledPosition shownPosition_;
};
