#include "FakeDevice.h"
#include "IoException.h"
#include "RecordingWindow.h"
#include "ResultCodes.h"
#include "TestRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

constexpr const char* FirstFile = "/media/E/3-04-05_PM.XXX";

std::vector<std::string> closingLines(const std::string& errors, const std::string& bytes) {
    return {" ", "Finished Testing", errors + " errors", bytes + " bytes tested"};
}

std::vector<std::string> concat(std::vector<std::string> head,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

bool holdsBlocksOf(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to,
                   std::uint8_t value) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from * 512),
                       bytes.begin() + static_cast<std::ptrdiff_t>(to * 512),
                       [value](std::uint8_t b) { return b == value; });
}

class TestRunTest : public testing::Test {
protected:
    explicit TestRunTest(std::int64_t capacityBlocks = 5) : device(capacityBlocks * 512) {
        runner.settings().verifyFromMedium = false;
    }
    void setCapacityBlocks(std::int64_t blocks) { device.capacity = blocks * 512; }

    FakeDevice device{5 * 512};
    RecordingWindow window;
    TestRunner runner{window, device, [] { return std::string("3:04:05 PM"); }};
};

TEST_F(TestRunTest, FullVolumeEndsTheRunQuietlyWithEveryCompleteBlockCounted) {
    setCapacityBlocks(3000);
    runner.TestButtonClick();

    EXPECT_THAT(window.log, ElementsAreArray(concat(
                                {"Testing \"/media/E/3-04-05_PM.XXX\"", "1,536,000 bytes tested"},
                                closingLines("0", "1,536,000"))));
    const auto& bytes = device.file(FirstFile).cache;
    EXPECT_EQ(bytes.size(), 3000U * 512U);
    EXPECT_TRUE(holdsBlocksOf(bytes, 0, 3000, 0xFF));
    EXPECT_FALSE(window.abortEnabled);
    EXPECT_TRUE(window.stop);
    EXPECT_EQ(window.refreshes, 1);
}

TEST_F(TestRunTest, FullInTheMiddleOfABlockDoesNotCountIt) {
    // Room for 4 blocks and a half: the fifth block's first write finds the volume full.
    device.capacity = 4 * 512 + 256;
    runner.TestButtonClick();
    EXPECT_EQ(window.log[1], "2,048 bytes tested");
    EXPECT_EQ(device.file(FirstFile).cache.size(), 4U * 512U);
}

struct IoFaultCase {
    const char* name;
    FakeDevice::Fault fault;
    std::vector<std::string> errorLines;
    friend void PrintTo(const IoFaultCase& c, std::ostream* os) { *os << c.name; }
};

class IoFaults : public TestRunTest, public testing::WithParamInterface<IoFaultCase> {};

TEST_P(IoFaults, ReportOnlyTheFailingBlockAndGoOn) {
    device.faults.push_back(GetParam().fault);
    runner.TestButtonClick();

    std::vector<std::string> expected{std::string("Testing \"") + FirstFile + "\""};
    expected = concat(expected, GetParam().errorLines);
    expected.push_back("2,560 bytes tested");
    const std::string errors = std::to_string(
        std::count_if(GetParam().errorLines.begin(), GetParam().errorLines.end(),
                      [](const std::string& line) { return line.starts_with("Error in block"); }));
    EXPECT_THAT(window.log, ElementsAreArray(concat(expected, closingLines(errors, "2,560"))));
    EXPECT_EQ(window.scrolls, static_cast<int>(GetParam().errorLines.size()));
    // A failure touches its own block only: every other block holds its second pattern.
    const auto failed = static_cast<std::size_t>(GetParam().fault.block);
    EXPECT_TRUE(holdsBlocksOf(device.file(FirstFile).cache, 0, failed, 0xFF));
    EXPECT_TRUE(holdsBlocksOf(device.file(FirstFile).cache, failed + 1, 5, 0xFF));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IoFaults,
    testing::Values(IoFaultCase{"FirstReadFails",
                                {FakeDevice::Op::Read, 2, ResultCode::DeviceIoError, 0},
                                {"IO Error at Block 2: 1117", "Error in block 2"}},
                    IoFaultCase{"SecondReadFails",
                                {FakeDevice::Op::Read, 2, ResultCode::DeviceIoError, 1},
                                {"IO Error at Block 2: 1117", "Error in block 2"}},
                    IoFaultCase{"ShortRead",
                                {FakeDevice::Op::Read, 1, ResultCode::ShortRead, 0},
                                {"IO Error at Block 1: 100", "Error in block 1"}},
                    IoFaultCase{"SecondWriteFails",
                                {FakeDevice::Op::Write, 3, ResultCode::DeviceIoError, 1},
                                {"IO Error at Block 3: 1117", "Error in block 3"}},
                    IoFaultCase{"FirstWriteFails",
                                {FakeDevice::Op::Write, 4, ResultCode::AccessDenied, 0},
                                {"IO Error at Block 4: 5", "IO Error at Block 4: 100",
                                 "Error in block 4"}}),
    [](const testing::TestParamInfo<IoFaultCase>& param) { return param.param.name; });

TEST_F(TestRunTest, CreateFailureThrowsItsCodeAndLeavesNothingBehind) {
    device.createCode = ResultCode::AccessDenied;
    window.log = {"instructions"};
    try {
        runner.TestButtonClick();
        FAIL() << "no exception";
    } catch (const IoException& error) {
        EXPECT_EQ(error.code(), ResultCode::AccessDenied);
        EXPECT_STREQ(error.what(), "File access denied");
    }
    EXPECT_TRUE(window.log.empty());
    EXPECT_FALSE(window.abortEnabled);
    EXPECT_TRUE(device.files.empty());
    EXPECT_FALSE(runner.running());
}

TEST_F(TestRunTest, CloseFailureThrowsAfterTheBytesTestedLine) {
    device.closeCode = ResultCode::DeviceIoError;
    EXPECT_THROW(runner.TestButtonClick(), IoException);
    EXPECT_THAT(window.log,
                ElementsAre(std::string("Testing \"") + FirstFile + "\"", "2,560 bytes tested"));
    EXPECT_EQ(window.refreshes, 0);
    EXPECT_FALSE(window.abortEnabled);
}

TEST_F(TestRunTest, AbortDuringABlockStillWritesItsZerosButDoesNotCountIt) {
    setCapacityBlocks(100);
    window.onProcessEvents = [this] {
        EXPECT_TRUE(window.abortEnabled);
        if (window.eventPasses == 4) {
            window.stop = true;
        }
    };
    runner.TestButtonClick();
    EXPECT_THAT(window.log, ElementsAreArray(concat({std::string("Testing \"") + FirstFile + "\"",
                                                     "1,536 bytes tested"},
                                                    closingLines("0", "1,536"))));
    const auto& bytes = device.file(FirstFile).cache;
    ASSERT_EQ(bytes.size(), 4U * 512U);
    EXPECT_TRUE(holdsBlocksOf(bytes, 0, 3, 0xFF));
    EXPECT_TRUE(holdsBlocksOf(bytes, 3, 4, 0x00));
    EXPECT_EQ(device.files.size(), 1U);
}

TEST_F(TestRunTest, BlockLimitStartsANewFileWhileSpaceIsLeft) {
    runner.settings().maxBlocksPerFile = 4;
    setCapacityBlocks(11);
    int clock = 0;
    TestRunner named{window, device, [&clock] {
                         ++clock;
                         return "3:04:0" + std::to_string(clock) + " PM";
                     }};
    named.settings() = runner.settings();
    named.TestButtonClick();
    EXPECT_THAT(window.log, ElementsAreArray(concat(
                                {"Testing \"/media/E/3-04-01_PM.XXX\"", "2,048 bytes tested",
                                 "Testing \"/media/E/3-04-02_PM.XXX\"", "2,048 bytes tested",
                                 "Testing \"/media/E/3-04-03_PM.XXX\"", "1,536 bytes tested"},
                                closingLines("0", "5,632"))));
}

TEST_F(TestRunTest, SeparatorInTheLocaleTimeTextIsAnInvalidName) {
    for (const char* timeText : {"3:04:05 p/m", "3:04:05 p\\m"}) {
        TestRunner named{window, device, [timeText] { return std::string(timeText); }};
        try {
            named.TestButtonClick();
            FAIL() << "no exception for " << timeText;
        } catch (const IoException& error) {
            EXPECT_STREQ(error.what(), "Invalid filename");
        }
        EXPECT_TRUE(device.files.empty());
        EXPECT_FALSE(window.abortEnabled);
    }
}

TEST_F(TestRunTest, NameTakenByAnEarlierFileGetsANumberInsteadOfReplacingIt) {
    device.files[FirstFile] = std::make_shared<FakeDevice::File>();
    device.files[FirstFile]->cache.assign(512, 0x42);
    setCapacityBlocks(4);
    runner.TestButtonClick();
    EXPECT_EQ(window.log[0], "Testing \"/media/E/3-04-05_PM_2.XXX\"");
    EXPECT_EQ(device.file(FirstFile).cache, std::vector<std::uint8_t>(512, 0x42));
}

class LowFreeSpace : public TestRunTest, public testing::WithParamInterface<std::int64_t> {};

TEST_P(LowFreeSpace, WritesOnlyTheClosingLines) {
    device.freeOverride = GetParam();
    runner.TestButtonClick();
    EXPECT_THAT(window.log, ElementsAreArray(closingLines("0", "0")));
    EXPECT_TRUE(device.files.empty());
    EXPECT_FALSE(window.abortEnabled);
}

INSTANTIATE_TEST_SUITE_P(Values, LowFreeSpace, testing::Values(1024, 512, 0, -1));

TEST_F(TestRunTest, StatusShowsGroupedBlockAndScaledPosition) {
    setCapacityBlocks(12346);
    std::map<std::int64_t, std::pair<std::string, std::string>> seen;
    std::int64_t block = 0;
    window.onProcessEvents = [&] { seen[block++] = {window.status1, window.status2}; };
    device.faults.push_back({FakeDevice::Op::Read, 12345, ResultCode::DeviceIoError, 0});
    runner.TestButtonClick();

    const std::map<std::int64_t, std::string> positions{
        {0, "0 B"}, {2, "1,024 B"}, {3, "1 KB"}, {2048, "1,024 KB"}, {2049, "1 MB"}};
    for (const auto& [index, text] : positions) {
        EXPECT_EQ(seen[index].second, text) << "block " << index;
    }
    EXPECT_EQ(seen[12345].first, "Testing block 12,345");
    EXPECT_EQ(window.log[1], "IO Error at Block 12345: 1117");
    EXPECT_EQ(window.log[2], "Error in block 12345");
    EXPECT_EQ(window.log[6], "1 errors");
}

TEST_F(TestRunTest, TestBeforeADriveIsChosenCreatesNothing) {
    window.driveLetter = '\0';
    runner.TestButtonClick();
    EXPECT_THAT(window.log, ElementsAre("Select a drive first"));
    EXPECT_TRUE(device.files.empty());
    EXPECT_FALSE(window.abortEnabled);
}

TEST_F(TestRunTest, SecondClickDuringARunDoesNothing) {
    setCapacityBlocks(20);
    int nestedLogSize = -1;
    window.onProcessEvents = [&] {
        if (window.eventPasses == 3) {
            runner.TestButtonClick();
            nestedLogSize = static_cast<int>(window.log.size());
        }
    };
    runner.TestButtonClick();
    EXPECT_EQ(nestedLogSize, 1);
    EXPECT_EQ(device.files.size(), 1U);
    EXPECT_THAT(window.log, ElementsAreArray(concat({std::string("Testing \"") + FirstFile + "\"",
                                                     "10,240 bytes tested"},
                                                    closingLines("0", "10,240"))));
}

TEST_F(TestRunTest, RunClearsAStopFlagLeftFromBefore) {
    window.stop = true;
    runner.TestButtonClick();
    EXPECT_EQ(window.log[1], "2,560 bytes tested");
}

} // namespace
