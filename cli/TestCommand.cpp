#include "TestCommand.h"

#include "ExitCode.h"
#include "IoException.h"

#include <exception>
#include <string>

namespace {

void reportError(std::FILE* errors, const std::string& message) {
    std::fprintf(errors, "orvalin-cli: %s\n", message.c_str());
    std::fflush(errors);
}

} // namespace

int runTest(TestRunner& runner, TextWindow& window, FileService& files, std::FILE* errors) {
    RunOutcome outcome;
    std::string failure;
    try {
        runner.TestButtonClick();
    } catch (const std::exception& error) {
        outcome.abandoned = true;
        failure = errorMessageText(error.what());
    }
    window.endProgress();
    outcome.errorLines = window.errorLines();
    outcome.logLost = window.logLost();
    outcome.stopSignal = window.pendingSignal();
    const char letter = window.drive();
    outcome.driveGone = !outcome.abandoned && files.DiskFree(driveNumber(letter)) < 0;

    const int code = exitCodeFor(outcome);
    if (outcome.abandoned) {
        reportError(errors, failure);
    } else if (outcome.logLost) {
        reportError(errors, "the log could not be written in full");
    } else if (code == ExitCode::CouldNotTest && outcome.driveGone) {
        reportError(errors, std::string("drive ") + letter +
                                ": cannot be reached; its free space was not tested");
    }
    return code;
}
