#include "ExitCode.h"

int exitCodeFor(const RunOutcome& outcome) {
    if (outcome.abandoned || outcome.logLost) {
        return ExitCode::CouldNotTest;
    }
    if (outcome.stopSignal != 0) {
        return 128 + outcome.stopSignal;
    }
    if (outcome.errorLines > 0) {
        return ExitCode::ErrorsFound;
    }
    // A drive that went away ends the run as if it were full; what was tested passed, but the
    // rest of its free space was never tested, so this is no clean bill of health.
    if (outcome.driveGone) {
        return ExitCode::CouldNotTest;
    }
    return ExitCode::NoErrors;
}
