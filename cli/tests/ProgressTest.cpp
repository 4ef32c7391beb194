#include "ProgressLine.h"
#include "ProgressTracker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Clock = ProgressTracker::Clock;

constexpr std::int64_t MiB = 1048576;

class Tracker : public testing::Test {
protected:
    void at(std::chrono::milliseconds when, const char* status1) {
        tracker.sample(status1, start + when);
    }

    ProgressTracker tracker;
    Clock::time_point start = Clock::time_point() + 1h;
};

TEST_F(Tracker, BytesTestedAddTheFinishedFilesToTheCurrentFilesCompletedBlocks) {
    tracker.logLine("Testing \"/media/E/1.XXX\"");
    at(0ms, "Testing block 0");
    at(200ms, "Testing block 2,048");
    EXPECT_EQ(tracker.bytesTested(), MiB);
    at(400ms, "Verifying block 1,024");
    EXPECT_EQ(tracker.bytesTested(), MiB) << "verifying tests no new bytes";
    tracker.logLine("Error in block 7");
    tracker.logLine("1,049,088 bytes tested");
    EXPECT_EQ(tracker.bytesTested(), 1049088) << "the file's own line is exact";
    tracker.logLine("Testing \"/media/E/2.XXX\"");
    at(600ms, "Testing block 10");
    EXPECT_EQ(tracker.bytesTested(), 1049088 + 5120);
    tracker.logLine("5,120 bytes tested");
    for (const char* line : {" ", "Finished Testing", "0 errors", "1,054,208 bytes tested"}) {
        tracker.logLine(line);
    }
    EXPECT_EQ(tracker.bytesTested(), 1054208) << "the summary is not another file";
}

TEST_F(Tracker, SpeedNeedsHalfASecondOfSamples) {
    tracker.logLine("Testing \"/media/E/1.XXX\"");
    EXPECT_EQ(tracker.bytesPerSecond(), std::nullopt);
    at(0ms, "Testing block 0");
    at(400ms, "Testing block 2,048");
    EXPECT_EQ(tracker.bytesPerSecond(), std::nullopt);
    at(1000ms, "Testing block 4,096");
    EXPECT_EQ(tracker.bytesPerSecond(), 2 * MiB);
}

TEST_F(Tracker, SpeedCountsOnlyTheLastFewSeconds) {
    tracker.logLine("Testing \"/media/E/1.XXX\"");
    at(0ms, "Testing block 0");
    at(5000ms, "Testing block 0"); // the medium stalled for five seconds
    at(6000ms, "Testing block 2,048");
    EXPECT_EQ(tracker.bytesPerSecond(), MiB);
}

TEST_F(Tracker, SpeedGoesOnAcrossVerificationAndTheNextFile) {
    tracker.logLine("Testing \"/media/E/1.XXX\"");
    at(0ms, "Testing block 0");
    at(1000ms, "Testing block 2,048");
    // Verification starts again at block 0; the speed must not turn negative.
    at(2000ms, "Verifying block 1,024");
    EXPECT_EQ(tracker.bytesPerSecond(), 3 * MiB / 4);
    tracker.logLine("1,048,576 bytes tested");
    tracker.logLine("Testing \"/media/E/2.XXX\"");
    at(3000ms, "Testing block 2,048");
    EXPECT_EQ(tracker.bytesPerSecond(), 5 * MiB / 6);
}

TEST(GroupedNumbers, AreReadFromEitherEndOfAText) {
    EXPECT_EQ(leadingGroupedNumber("2,147,483,648 bytes tested"), 2147483648);
    EXPECT_EQ(trailingGroupedNumber("Testing block 12,345"), 12345);
    EXPECT_EQ(trailingGroupedNumber("Verifying block 0"), 0);
    EXPECT_EQ(trailingGroupedNumber("Delete all files to test the entire drive"), std::nullopt);
    EXPECT_EQ(leadingGroupedNumber(""), std::nullopt);
    EXPECT_EQ(leadingGroupedNumber("99,999,999,999,999,999,999 bytes tested"), std::nullopt);
}

struct LineCase {
    const char* name;
    ProgressFigures figures;
    const char* line;
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }
};

class ProgressLineText : public testing::TestWithParam<LineCase> {};

TEST_P(ProgressLineText, Reads) {
    EXPECT_EQ(progressLine(GetParam().figures), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressLineText,
    testing::Values(
        LineCase{"Running",
                 {"Testing block 12,345", "6 MB", 47500000, 6320640, 1234567890},
                 "Testing block 12,345 | 6 MB | 45.3 MB/s | 6,320,640 bytes tested | "
                 "1,234,567,890 bytes free"},
        LineCase{"SpeedNotKnownYet",
                 {"Testing block 0", "0 B", std::nullopt, 0, 4194304},
                 "Testing block 0 | 0 B | -- MB/s | 0 bytes tested | 4,194,304 bytes free"},
        LineCase{"SpeedRoundsToTenths",
                 {"Verifying block 128", "64 KB", 1101005, 0, 0},
                 "Verifying block 128 | 64 KB | 1.1 MB/s | 0 bytes tested | 0 bytes free"},
        LineCase{"FastDrive",
                 {"Testing block 1", "512 B", 1288490188800, 512, 0},
                 "Testing block 1 | 512 B | 1,228,800.0 MB/s | 512 bytes tested | 0 bytes free"},
        LineCase{"NoStatusYetAndTheDriveGone",
                 {"", "", std::nullopt, 0, -1},
                 "-- MB/s | 0 bytes tested | -1 bytes free"}),
    [](const testing::TestParamInfo<LineCase>& param) { return param.param.name; });

} // namespace
