#include "CliProcess.h"
#include "DriveTable.h"
#include "IntToStrWithCommas.h"
#include "ScratchVolume.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

constexpr std::int64_t MiB = 1024 * 1024;

// Mounts a tmpfs for the test, or marks the test skipped and leaves volume empty.
void mountTmpfs(std::unique_ptr<ScratchVolume>& volume, std::int64_t bytes, bool readOnly = false) {
    ScratchVolume::Options options;
    options.sizeBytes = bytes;
    options.readOnly = readOnly;
    std::string whyNot;
    volume = ScratchVolume::mount(options, whyNot);
    if (!volume) {
        GTEST_SKIP() << "no scratch volume: " << whyNot;
    }
}

char letterOf(const std::string& mountPath) {
    const DriveTable table = DriveTable::readSystem();
    const Drive* drive = table.findByMountPath(mountPath);
    return drive != nullptr ? drive->letter : '\0';
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().native());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int64_t bytesIn(const std::string& line) {
    std::string digits;
    std::copy_if(line.begin(), line.end(), std::back_inserter(digits),
                 [](char c) { return c >= '0' && c <= '9'; });
    return digits.empty() ? -1 : std::stoll(digits);
}

bool allBytesAre(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to,
                 std::uint8_t value) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(to),
                       [value](std::uint8_t b) { return b == value; });
}

// The log of a run on a volume that held nothing: one test file, its bytes and the summary.
// Gives the bytes the log reports for the file, -1 when the log has another shape.
std::int64_t checkOneFileLog(const std::vector<std::string>& lines, const std::string& mountPath,
                             const std::string& leaf) {
    EXPECT_EQ(lines.size(), 6U);
    if (lines.size() != 6) {
        return -1;
    }
    const std::int64_t bytes = bytesIn(lines[1]);
    const std::string tested = IntToStrWithCommas(bytes) + " bytes tested";
    EXPECT_THAT(lines, ElementsAre("Testing \"" + mountPath + "/" + leaf + "\"", tested, " ",
                                   "Finished Testing", "0 errors", tested));
    return bytes;
}

struct ArgumentForm {
    const char* name;
    std::function<std::string(const std::string& mountPath, char letter)> make;
    friend void PrintTo(const ArgumentForm& c, std::ostream* os) { *os << c.name; }
};

class HealthyVolume : public testing::TestWithParam<ArgumentForm> {};

TEST_P(HealthyVolume, FillsItWithCheckedBlocksAndExitsZero) {
    std::unique_ptr<ScratchVolume> volume;
    mountTmpfs(volume, 2 * MiB);
    if (!volume) {
        return;
    }
    const std::string& mount = volume->mountPath();
    const char letter = letterOf(mount);
    ASSERT_NE(letter, '\0') << "the drive table has no letter for " << mount;

    CliProcess cli({GetParam().make(mount, letter)});
    ASSERT_EQ(cli.finish(), 0) << cli.err();
    EXPECT_EQ(cli.err(), "") << "standard error is no terminal: errors only";

    const std::vector<std::string> files = entriesOf(mount);
    ASSERT_EQ(files.size(), 1U);
    EXPECT_THAT(files[0], testing::EndsWith(".XXX"));
    const std::int64_t bytes = checkOneFileLog(cli.outLines(), mount, files[0]);
    const std::vector<std::uint8_t> onDisk = contentsOf(mount + "/" + files[0]);
    EXPECT_EQ(static_cast<std::int64_t>(onDisk.size()), bytes);
    EXPECT_GT(bytes, 0);
    EXPECT_TRUE(allBytesAre(onDisk, 0, onDisk.size(), 0xFF));
    EXPECT_LE(fs::space(mount).available, 1024U) << "the free space was left untested";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HealthyVolume,
    testing::Values(ArgumentForm{"MountPath", [](const std::string& mount, char) { return mount; }},
                    ArgumentForm{"MountPathAndSlash",
                                 [](const std::string& mount, char) { return mount + "/"; }},
                    ArgumentForm{"Letter", [](const std::string&,
                                              char letter) { return std::string{letter}; }},
                    ArgumentForm{"LetterAndColon",
                                 [](const std::string&, char letter) {
                                     return std::string{letter, ':'};
                                 }},
                    ArgumentForm{"LowerCaseLetter",
                                 [](const std::string&, char letter) {
                                     return std::string{static_cast<char>(letter - 'A' + 'a')};
                                 }}),
    [](const testing::TestParamInfo<ArgumentForm>& param) { return param.param.name; });

TEST(EndToEnd, ListShowsTheVolumeWithItsGroupedSizes) {
    std::unique_ptr<ScratchVolume> volume;
    mountTmpfs(volume, 2 * MiB);
    if (!volume) {
        return;
    }
    const CliResult listed = runCli({"--list"});
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.err, "");
    EXPECT_THAT(listed.out, StartsWith("Drive  Name"));
    const std::string mount = volume->mountPath();
    const std::string row = std::string{letterOf(mount), ':'} + "  ";
    std::size_t at = listed.out.find("\n" + row);
    ASSERT_NE(at, std::string::npos) << listed.out;
    const std::string line = listed.out.substr(at + 1, listed.out.find('\n', at + 1) - at - 1);
    EXPECT_THAT(line, HasSubstr("  " + mount + "  "));
    EXPECT_THAT(line, testing::ContainsRegex(" 2,097,152 +2,097,152$"));
}

TEST(EndToEnd, ReadOnlyVolumeCannotBeTestedAndNothingIsWritten) {
    std::unique_ptr<ScratchVolume> volume;
    mountTmpfs(volume, 2 * MiB, true);
    if (!volume) {
        return;
    }
    const CliResult run = runCli({volume->mountPath()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "") << "no line of a log that the window would not hold either";
    EXPECT_EQ(run.err, "orvalin-cli: File access denied.\n");
    EXPECT_TRUE(entriesOf(volume->mountPath()).empty());
}

TEST(EndToEnd, VersionAndHelpGoToStandardOutput) {
    const CliResult version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "orvalin-cli " ORVALIN_VERSION "\n");
    const CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: orvalin-cli DRIVE\n"));
    EXPECT_EQ(help.err, "");
}

struct BadArguments {
    const char* name;
    std::function<std::vector<std::string>(const std::string& mountPath)> args;
    std::string reason;
    friend void PrintTo(const BadArguments& c, std::ostream* os) { *os << c.name; }
};

char unusedLetter() {
    const DriveTable table = DriveTable::readSystem();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (table.find(letter) == nullptr) {
            return letter;
        }
    }
    return '\0';
}

class RefusedArguments : public testing::TestWithParam<BadArguments> {};

TEST_P(RefusedArguments, GiveOneLineOnStandardErrorExitTwoAndWriteNothing) {
    std::unique_ptr<ScratchVolume> volume;
    mountTmpfs(volume, 2 * MiB);
    if (!volume) {
        return;
    }
    const std::string& mount = volume->mountPath();
    fs::create_directory(mount + "/sub");
    const std::vector<std::string> args = GetParam().args(mount);
    if (std::find(args.begin(), args.end(), std::string(1, '\0')) != args.end()) {
        GTEST_SKIP() << "every letter is in use here";
    }
    const CliResult run = runCli(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, StartsWith("orvalin-cli: "));
    EXPECT_THAT(run.err, HasSubstr(GetParam().reason));
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_THAT(entriesOf(mount), ElementsAre("sub"));
    EXPECT_TRUE(entriesOf(mount + "/sub").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedArguments,
    testing::Values(
        BadArguments{"UnknownOption",
                     [](const std::string& mount) {
                         return std::vector<std::string>{"--fast", mount};
                     },
                     "unknown option '--fast'"},
        BadArguments{"NoDrive", [](const std::string&) { return std::vector<std::string>{}; },
                     "no drive given"},
        BadArguments{"TwoDrives",
                     [](const std::string& mount) {
                         return std::vector<std::string>{mount, mount};
                     },
                     "one drive at a time"},
        BadArguments{"ListAndADrive",
                     [](const std::string& mount) {
                         return std::vector<std::string>{"--list", mount};
                     },
                     "cannot be given together"},
        BadArguments{"UnknownLetter",
                     [](const std::string&) {
                         return std::vector<std::string>{std::string{unusedLetter(), ':'}};
                     },
                     "on this system"},
        BadArguments{
            "FolderInsideTheVolume",
            [](const std::string& mount) { return std::vector<std::string>{mount + "/sub"}; },
            "is not the root folder of a drive"},
        BadArguments{
            "MissingFolder",
            [](const std::string& mount) { return std::vector<std::string>{mount + "/missing"}; },
            "is not the root folder of a drive"}),
    [](const testing::TestParamInfo<BadArguments>& param) { return param.param.name; });

struct SignalCase {
    const char* name;
    int signal;
    int repeatedSignal; // sent over and over after the first until the program ends; 0: none
    int exitCode;
    friend void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.name; }
};

class StopSignals : public testing::TestWithParam<SignalCase> {};

TEST_P(StopSignals, EndTheRunWithItsClosingLinesAndAConsistentFile) {
    // Big enough that the run is still writing when the signal comes.
    std::unique_ptr<ScratchVolume> volume;
    mountTmpfs(volume, 256 * MiB);
    if (!volume) {
        return;
    }
    const std::string& mount = volume->mountPath();
    CliProcess cli({mount});
    ASSERT_TRUE(cli.waitForLine("Testing \"", 10s)) << cli.err();
    cli.signal(GetParam().signal);
    if (GetParam().repeatedSignal != 0) {
        // They keep coming while the run closes its file and writes its last lines.
        cli.signalUntilEnd(GetParam().repeatedSignal, 10s);
    }
    EXPECT_EQ(cli.finish(), GetParam().exitCode) << cli.err();
    EXPECT_EQ(cli.err(), "");

    const std::vector<std::string> files = entriesOf(mount);
    ASSERT_EQ(files.size(), 1U);
    const std::int64_t bytes = checkOneFileLog(cli.outLines(), mount, files[0]);
    EXPECT_LT(bytes, 256 * MiB) << "the run was not stopped";
    // The counted blocks hold 0xFF; the block whose cycle was cut short may follow as zeros.
    const std::vector<std::uint8_t> onDisk = contentsOf(mount + "/" + files[0]);
    const auto counted = static_cast<std::size_t>(bytes);
    ASSERT_TRUE(onDisk.size() == counted || onDisk.size() == counted + 512) << onDisk.size();
    EXPECT_TRUE(allBytesAre(onDisk, 0, counted, 0xFF));
    EXPECT_TRUE(allBytesAre(onDisk, counted, onDisk.size(), 0x00));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StopSignals,
    testing::Values(SignalCase{"Interrupt", SIGINT, 0, 130},
                    SignalCase{"Terminate", SIGTERM, 0, 143},
                    SignalCase{"InterruptRepeatedly", SIGINT, SIGINT, 130},
                    SignalCase{"TerminateAfterInterrupt", SIGINT, SIGTERM, 130}),
    [](const testing::TestParamInfo<SignalCase>& param) { return param.param.name; });

TEST(EndToEnd, ProgressGoesToATerminalAndLeavesTheLogClean) {
    std::unique_ptr<ScratchVolume> volume;
    mountTmpfs(volume, 8 * MiB);
    if (!volume) {
        return;
    }
    const std::string& mount = volume->mountPath();
    CliProcess cli({mount}, CliProcess::ErrorOutput::Terminal);
    ASSERT_EQ(cli.finish(), 0) << cli.err();

    const std::vector<std::string> files = entriesOf(mount);
    ASSERT_EQ(files.size(), 1U);
    const std::int64_t bytes = checkOneFileLog(cli.outLines(), mount, files[0]);
    const std::string& terminal = cli.err();
    EXPECT_THAT(terminal, StartsWith("\rTesting block 0 | 0 B | -- MB/s | 0 bytes tested | "));
    EXPECT_THAT(terminal, HasSubstr(" | " + IntToStrWithCommas(bytes) +
                                    " bytes tested | 0 bytes free\x1b[K"));
    EXPECT_THAT(terminal, testing::EndsWith("\x1b[K\r\n")) << "the line is left on its own";
    EXPECT_THAT(terminal, testing::Not(HasSubstr("Finished Testing")));
}

} // namespace
