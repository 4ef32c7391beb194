#include "TextWindow.h"
#include "ExitCode.h"
#include "FakeDevice.h"
#include "IoException.h"
#include "RecordingWindow.h"
#include "ResultCodes.h"
#include "TestCommand.h"
#include "TestRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing::ElementsAreArray;

constexpr std::int64_t Capacity = 40 * 512;
constexpr const char* FirstFile = "/media/E/3-04-05_PM.XXX";

std::string fixedTime() {
    return "3:04:05 PM";
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    return text;
}

std::string asText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

using DeviceSetup = std::function<void(FakeDevice&, RunSettings&)>;

// The log the window holds after the same run.
std::vector<std::string> windowLog(const DeviceSetup& setup,
                                   const std::function<void(RecordingWindow&)>& onEvents = {}) {
    FakeDevice device(Capacity);
    RecordingWindow window;
    TestRunner runner(window, device, fixedTime);
    setup(device, runner.settings());
    if (onEvents) {
        window.onProcessEvents = [&window, &onEvents] { onEvents(window); };
    }
    try {
        runner.TestButtonClick();
    } catch (const IoException&) {
    }
    return window.log;
}

struct TextRun {
    std::string out;
    std::string errors;
    int exitCode = -1;
    std::shared_ptr<FakeDevice::File> firstFile;
};

TextRun textRun(
    const DeviceSetup& setup, std::function<int()> pendingSignal = [] { return 0; },
    std::FILE* log = nullptr) {
    FakeDevice device(Capacity);
    File out(std::tmpfile());
    File errors(std::tmpfile());
    TextWindow window({.drive = 'E',
                       .log = log != nullptr ? log : out.get(),
                       .pendingSignal = std::move(pendingSignal),
                       .freeSpace = [&device] { return device.DiskFree(5); }});
    TestRunner runner(window, device, fixedTime);
    setup(device, runner.settings());
    TextRun run;
    run.exitCode = runTest(runner, window, device, errors.get());
    run.out = contents(out.get());
    run.errors = contents(errors.get());
    if (device.files.contains(FirstFile)) {
        run.firstFile = device.files.at(FirstFile);
    }
    return run;
}

struct RunCase {
    const char* name;
    DeviceSetup setup;
    int exitCode;
    std::string errors;
    friend void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }
};

class SameRunAsTheWindow : public testing::TestWithParam<RunCase> {};

TEST_P(SameRunAsTheWindow, PrintsExactlyTheWindowsLogAndExitsWithItsVerdict) {
    const std::vector<std::string> expected = windowLog(GetParam().setup);
    const TextRun run = textRun(GetParam().setup);
    EXPECT_EQ(run.out, asText(expected));
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.errors, GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SameRunAsTheWindow,
    testing::Values(
        RunCase{"Healthy", [](FakeDevice&, RunSettings&) {}, ExitCode::NoErrors, ""},
        RunCase{"SeveralFiles",
                [](FakeDevice& device, RunSettings& settings) {
                    settings.maxBlocksPerFile = 4;
                    device.capacity = 11 * 512;
                },
                ExitCode::NoErrors, ""},
        RunCase{"NothingFree", [](FakeDevice& device, RunSettings&) { device.freeOverride = 1024; },
                ExitCode::NoErrors, ""},
        RunCase{
            "WriteFails",
            [](FakeDevice& device, RunSettings&) {
                device.faults.push_back({FakeDevice::Op::Write, 3, ResultCode::DeviceIoError, 0});
            },
            ExitCode::ErrorsFound, ""},
        RunCase{"IoErrorWithoutAMismatch",
                [](FakeDevice& device, RunSettings&) {
                    // Every block compares well; only an I/O error line tells of the fault.
                    device.dropCacheCode = ResultCode::DeviceIoError;
                },
                ExitCode::ErrorsFound, ""},
        RunCase{"ShortRead",
                [](FakeDevice& device, RunSettings&) {
                    device.faults.push_back({FakeDevice::Op::Read, 1, ResultCode::ShortRead, 0});
                },
                ExitCode::ErrorsFound, ""},
        RunCase{"MediumLosesAWrite",
                [](FakeDevice& device, RunSettings&) { device.mediumLosesWrites.insert(5); },
                ExitCode::ErrorsFound, ""},
        RunCase{"MediumCannotGiveABlockBack",
                [](FakeDevice& device, RunSettings&) { device.mediumReadFails.insert(6); },
                ExitCode::ErrorsFound, ""},
        RunCase{
            "CreateDenied",
            [](FakeDevice& device, RunSettings&) { device.createCode = ResultCode::AccessDenied; },
            ExitCode::CouldNotTest, "orvalin-cli: File access denied.\n"},
        RunCase{
            "CloseFails",
            [](FakeDevice& device, RunSettings&) { device.closeCode = ResultCode::DeviceIoError; },
            ExitCode::CouldNotTest, "orvalin-cli: I/O error 1117.\n"},
        RunCase{"CloseFailsAfterErrors",
                [](FakeDevice& device, RunSettings&) {
                    device.faults.push_back({FakeDevice::Op::Read, 2, ResultCode::ShortRead, 0});
                    device.closeCode = ResultCode::NotReady;
                },
                ExitCode::CouldNotTest, "orvalin-cli: I/O error 21.\n"},
        RunCase{"DriveCannotBeReached",
                [](FakeDevice& device, RunSettings&) { device.freeOverride = -1; },
                ExitCode::CouldNotTest,
                "orvalin-cli: drive E: cannot be reached; its free space was not tested\n"}),
    [](const testing::TestParamInfo<RunCase>& param) { return param.param.name; });

struct SignalCase {
    const char* name;
    int signal;
    DeviceSetup setup;
    int exitCode;
    friend void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.name; }
};

class StopSignal : public testing::TestWithParam<SignalCase> {};

// The signal arrives while the run handles its fourth block's events, as a click would.
TEST_P(StopSignal, ActsAsAbortAndWinsTheExitCode) {
    const std::vector<std::string> expected =
        windowLog(GetParam().setup, [](RecordingWindow& window) {
            if (window.eventPasses >= 4) {
                window.stop = true;
            }
        });
    int passes = 0;
    const int signal = GetParam().signal;
    const TextRun run =
        textRun(GetParam().setup, [&passes, signal] { return ++passes >= 4 ? signal : 0; });
    EXPECT_EQ(run.out, asText(expected));
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.errors, "");
    // Three whole blocks, then the zeros of the block whose cycle the signal cut short.
    ASSERT_TRUE(run.firstFile);
    std::vector<std::uint8_t> onDisk(3 * 512, 0xFF);
    onDisk.resize(4 * 512, 0x00);
    EXPECT_EQ(run.firstFile->cache, onDisk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StopSignal,
    testing::Values(
        SignalCase{"Interrupt", SIGINT, [](FakeDevice&, RunSettings&) {}, 130},
        SignalCase{"TerminateAfterErrors", SIGTERM,
                   [](FakeDevice& device, RunSettings&) {
                       device.faults.push_back({FakeDevice::Op::Read, 1, ResultCode::ShortRead, 1});
                   },
                   143}),
    [](const testing::TestParamInfo<SignalCase>& param) { return param.param.name; });

TEST(TextWindowLog, ALogThatCannotBeWrittenFailsAndStopsTheRun) {
    File full(std::fopen("/dev/full", "w"));
    ASSERT_TRUE(full) << "no /dev/full";
    const TextRun run = textRun([](FakeDevice&, RunSettings&) {}, [] { return 0; }, full.get());
    EXPECT_EQ(run.exitCode, ExitCode::CouldNotTest);
    EXPECT_EQ(run.errors, "orvalin-cli: the log could not be written in full\n");
    // The Testing line is lost at once, and the run stops at its next block: the first block's
    // first write, the one a stop cannot take back, is all it leaves.
    ASSERT_TRUE(run.firstFile);
    EXPECT_EQ(run.firstFile->cache.size(), 512U);
}

} // namespace
