#include "FakeDevice.h"
#include "RecordingWindow.h"
#include "ResultCodes.h"
#include "TestRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing::ElementsAreArray;

namespace {

constexpr const char* Testing = "Testing \"/media/E/09-04-05.XXX\"";

class VerifyTest : public testing::Test {
protected:
    FakeDevice device{300 * 512};
    RecordingWindow window;
    TestRunner runner{window, device, [] { return std::string("09:04:05"); }};
};

TEST_F(VerifyTest, HealthyDriveLogsExactlyAsWithoutVerification) {
    runner.TestButtonClick();
    EXPECT_THAT(window.log,
                ElementsAreArray({Testing, "153,600 bytes tested", " ", "Finished Testing",
                                  "0 errors", "153,600 bytes tested"}));
}

TEST_F(VerifyTest, WritesTheMediumLostAreFoundAfterTheCacheIsDropped) {
    device.mediumLosesWrites = {7, 8, 200};
    runner.TestButtonClick();
    EXPECT_THAT(window.log,
                ElementsAreArray({Testing, "Error in block 7", "Error in block 8",
                                  "Error in block 200", "153,600 bytes tested", " ",
                                  "Finished Testing", "3 errors", "153,600 bytes tested"}));
}

TEST_F(VerifyTest, WithoutVerificationTheSameDrivePasses) {
    device.mediumLosesWrites = {7, 8, 200};
    runner.settings().verifyFromMedium = false;
    runner.TestButtonClick();
    EXPECT_EQ(window.log[4], "0 errors");
}

TEST_F(VerifyTest, MediumReadFailuresAreReportedPerBlock) {
    device.mediumReadFails = {130};
    runner.TestButtonClick();
    EXPECT_THAT(window.log,
                ElementsAreArray({Testing, "IO Error at Block 130: 1117", "Error in block 130",
                                  "153,600 bytes tested", " ", "Finished Testing", "1 errors",
                                  "153,600 bytes tested"}));
}

TEST_F(VerifyTest, FlushFailureCountsAsAnErrorEvenWhenTheCacheStillMatches) {
    device.dropCacheCode = ResultCode::DeviceIoError;
    runner.TestButtonClick();
    EXPECT_THAT(window.log,
                ElementsAreArray({Testing, "IO Error at Block 300: 1117", "153,600 bytes tested",
                                  " ", "Finished Testing", "1 errors", "153,600 bytes tested"}));
}

TEST_F(VerifyTest, AbortEndsTheVerification) {
    device.mediumLosesWrites = {290};
    std::vector<std::string> statuses;
    window.onProcessEvents = [&] {
        if (window.status1.starts_with("Verifying")) {
            statuses.push_back(window.status1 + " / " + window.status2);
            window.stop = true;
        }
    };
    runner.TestButtonClick();
    EXPECT_THAT(statuses, ElementsAreArray({"Verifying block 0 / 0 B"}));
    EXPECT_EQ(window.log[4], "0 errors");
}

TEST_F(VerifyTest, AbortIsHeardBetweenTheReadsOfAFailedChunk) {
    for (std::int64_t block = 0; block < 128; ++block) {
        device.mediumReadFails.insert(block);
    }
    window.onProcessEvents = [&] {
        if (window.status1 == "Verifying block 3") {
            window.stop = true;
        }
    };
    runner.TestButtonClick();
    EXPECT_THAT(
        window.log,
        ElementsAreArray({Testing, "IO Error at Block 0: 1117", "Error in block 0",
                          "IO Error at Block 1: 1117", "Error in block 1",
                          "IO Error at Block 2: 1117", "Error in block 2", "153,600 bytes tested",
                          " ", "Finished Testing", "3 errors", "153,600 bytes tested"}));
}

TEST_F(VerifyTest, AbortDuringVerificationStartsNoFurtherFile) {
    runner.settings().maxBlocksPerFile = 200;
    window.onProcessEvents = [&] {
        if (window.status1.starts_with("Verifying")) {
            window.stop = true;
        }
    };
    runner.TestButtonClick();
    EXPECT_EQ(device.files.size(), 1U);
    EXPECT_THAT(window.log,
                ElementsAreArray({Testing, "102,400 bytes tested", " ", "Finished Testing",
                                  "0 errors", "102,400 bytes tested"}));
}

TEST_F(VerifyTest, NoVerificationAfterAbort) {
    device.mediumLosesWrites = {1};
    window.onProcessEvents = [&] {
        EXPECT_FALSE(window.status1.starts_with("Verifying"));
        if (window.eventPasses == 10) {
            window.stop = true;
        }
    };
    runner.TestButtonClick();
    EXPECT_EQ(window.log[1], "4,608 bytes tested");
    EXPECT_EQ(window.log[4], "0 errors");
}

TEST_F(VerifyTest, EventsAreHandledAtLeastEvery64KiB) {
    std::vector<std::string> statuses;
    window.onProcessEvents = [&] {
        if (window.status1.starts_with("Verifying")) {
            statuses.push_back(window.status1 + " / " + window.status2);
        }
    };
    runner.TestButtonClick();
    EXPECT_THAT(statuses,
                ElementsAreArray({"Verifying block 0 / 0 B", "Verifying block 128 / 64 KB",
                                  "Verifying block 256 / 128 KB"}));
}

} // namespace
