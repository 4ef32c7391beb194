#include "StopSignals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {

// In a child process of its own, since the signals' handling is the whole process's.
TEST(StopSignalsDeathTest, AreRecordedEveryTimeAndTheFirstIsKept) {
    EXPECT_EXIT(
        {
            installStopSignals();
            const int before = receivedStopSignal();
            std::raise(SIGTERM);
            std::raise(SIGINT);
            std::raise(SIGTERM);
            std::raise(SIGINT);
            std::exit(before == 0 && receivedStopSignal() == SIGTERM ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
