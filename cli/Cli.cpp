#include "Cli.h"

#include "Arguments.h"
#include "DriveArgument.h"
#include "DriveList.h"
#include "ExitCode.h"
#include "LocaleTime.h"
#include "PosixFileService.h"
#include "StopSignals.h"
#include "TerminalProgress.h"
#include "TestCommand.h"
#include "TestFileName.h"
#include "TestRunner.h"
#include "TextWindow.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "orvalin-cli: %s (see orvalin-cli --help)\n", message.c_str());
    return ExitCode::CouldNotTest;
}

int listDrives() {
    const DriveTable table = DriveTable::readSystem();
    PosixFileService files(table);
    for (const std::string& line : driveListLines(table.drives(), files)) {
        std::printf("%s\n", line.c_str());
    }
    return ExitCode::NoErrors;
}

int testDrive(const std::string& driveArgument) {
    const DriveTable table = DriveTable::readSystem();
    const DriveChoice choice = chooseDrive(table, driveArgument);
    if (choice.drive == nullptr) {
        std::fprintf(stderr, "orvalin-cli: %s (see orvalin-cli --list)\n", choice.error.c_str());
        return ExitCode::CouldNotTest;
    }
    const char letter = choice.drive->letter;
    PosixFileService files(table);
    const TimeFormat format = composeTimeFormat(readLocaleTimeSettings());
    const std::unique_ptr<ProgressDisplay> progress = TerminalProgress::onStandardErrorIfTerminal();

    installStopSignals();
    TextWindow window(
        {.drive = letter,
         .log = stdout,
         .progress = progress.get(),
         .logOnProgressTerminal = TerminalProgress::standardOutputIsTerminal(),
         .pendingSignal = receivedStopSignal,
         .freeSpace = [&files, letter] { return files.DiskFree(driveNumber(letter)); }});
    TestRunner runner(window, files,
                      [format] { return formatTimeOfDay(format, currentTimeOfDay()); });
    return runTest(runner, window, files, stderr);
}

std::string helpText() {
    return "Usage: orvalin-cli DRIVE\n"
           "       orvalin-cli --list | --help | --version\n"
           "\n"
           "Fills the free space of DRIVE with test files of 512-byte blocks, writes every\n"
           "block with 0x00 and 0xFF, reads each back and compares it, and prints the test\n"
           "log on standard output. Only free space is tested, so empty the drive first.\n"
           "The test files stay on the drive for you to remove.\n"
           "DRIVE is a drive letter (E or E:) from --list, or the mount path of a drive.\n"
           "\n"
           "  --list     show the drives: letter, name, mount path, size and free bytes\n"
           "  --help     show this help\n"
           "  --version  show the version\n"
           "\n"
           "On a terminal, standard error shows a progress line. Ctrl-C or SIGTERM stops\n"
           "the test at its next block; the closing lines are still printed.\n"
           "\n"
           "Exit status: 0 no errors found, 1 errors found, 2 could not test,\n"
           "130 stopped by Ctrl-C (SIGINT), 143 stopped by SIGTERM.\n";
}

} // namespace

int runCli(const std::vector<std::string>& args) {
    const CliArguments arguments = parseArguments(args);
    if (!arguments.error.empty()) {
        return usageError(arguments.error);
    }
    switch (arguments.action) {
    case CliAction::Help:
        std::fputs(helpText().c_str(), stdout);
        return ExitCode::NoErrors;
    case CliAction::Version:
        std::printf("orvalin-cli %s\n", ORVALIN_VERSION);
        return ExitCode::NoErrors;
    case CliAction::List:
        return listDrives();
    case CliAction::Test:
        break;
    }
    return testDrive(arguments.drive);
}
