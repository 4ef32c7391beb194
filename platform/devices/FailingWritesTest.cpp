#include "DeviceTest.h"
#include "Devices.h"
#include "IntToStrWithCommas.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <set>
#include <sys/mount.h>
#include <sys/stat.h>

using testing::Contains;
using testing::ElementsAreArray;

namespace {

constexpr std::int64_t VolumeBytes = 16 * 1024 * 1024;
// Once this file exists, every write that reaches the medium fails with EIO.
constexpr const char* WritesFail = "writes-fail";
constexpr std::int64_t FirstFailingBlock = 2000;

std::unique_ptr<FaultyVolume> makeVolumeWhoseWritesCanFail(unsigned long mountFlags) {
    return makeVolume([mountFlags](const std::string& scratch) {
        DeviceSetup setup =
            ramDisk(VolumeBytes,
                    {"error-pwrite-rate=100%", "error-pwrite-file=" + scratch + "/" + WritesFail});
        setup.mountFlags = mountFlags;
        return setup;
    });
}

// Switches the write errors on when the cycle reaches failFrom, and clicks Abort at abortAt.
void failWrites(VolumeRun& run, FaultyVolume& volume, std::int64_t failFrom,
                std::int64_t abortAt = -1) {
    run.window.onProcessEvents = [&run, &volume, failFrom, abortAt] {
        if (run.window.status1 == testingStatus(failFrom)) {
            volume.createScratchFile(WritesFail);
        }
        if (run.window.status1 == testingStatus(abortAt)) {
            run.window.stop = true;
        }
    };
}

std::vector<std::string> tail(const std::vector<std::string>& log, std::size_t count) {
    return {log.end() - static_cast<std::ptrdiff_t>(std::min(count, log.size())), log.end()};
}

using FailingWritesTest = DeviceTest;

// Mounted to write through (the sync option): each write reaches the medium before it returns,
// so each failure shows at once.
TEST_F(FailingWritesTest, EachFailureIsReportedTheRunGoesOnAndAbortEndsIt) {
    const auto volume = makeVolumeWhoseWritesCanFail(MS_SYNCHRONOUS);
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    const std::int64_t abortBlock = FirstFailingBlock + 200;
    failWrites(run, *volume, FirstFailingBlock, abortBlock);

    run.run();

    const std::vector<std::string>& log = run.window.log;
    ASSERT_GE(log.size(), 6U);
    const std::vector<std::string> between(log.begin() + 1, log.end() - 5);
    EXPECT_EQ(linesStartingWith(between, "IO Error at Block ").size(), between.size())
        << "only write failures are reported while the cycle reads back through the cache";
    const std::vector<std::int64_t> failed = blocksOf(log, "IO Error at Block ");
    const std::set<std::int64_t> failedBlocks(failed.begin(), failed.end());
    std::vector<std::int64_t> expectedBlocks;
    for (std::int64_t block = FirstFailingBlock; block <= abortBlock; ++block) {
        expectedBlocks.push_back(block);
    }
    EXPECT_THAT(failedBlocks, ElementsAreArray(expectedBlocks));
    const std::int64_t bytes = abortBlock * 512;
    std::vector<std::string> closing = {IntToStrWithCommas(bytes) + " bytes tested"};
    const std::vector<std::string> summary = closingLines(0, bytes);
    closing.insert(closing.end(), summary.begin(), summary.end());
    EXPECT_THAT(tail(log, 5), ElementsAreArray(closing));
    EXPECT_FALSE(run.window.abortEnabled);
}

// Buffered, the writes reach the medium only when the file is flushed before the verification;
// that flush fails, and the run says so at the block where the cycle ended.
// The file system keeps the pages it could not write in the cache, so the verification then
// reads them from there and finds them matching: the failed flush is the only sign, and it
// counts as an error so that the summary cannot read "0 errors".
TEST_F(FailingWritesTest, TheFlushBeforeTheVerificationReportsTheFailure) {
    const auto volume = makeVolumeWhoseWritesCanFail(0);
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    failWrites(run, *volume, FirstFailingBlock);

    run.run();

    struct stat file {};
    ASSERT_EQ(::stat(run.firstFilePath().c_str(), &file), 0);
    const std::int64_t blocks = file.st_size / 512;
    EXPECT_THAT(run.window.log, Contains("IO Error at Block " + std::to_string(blocks) + ": 1117"));
    const std::int64_t errors =
        static_cast<std::int64_t>(linesStartingWith(run.window.log, "Error in block ").size());
    EXPECT_THAT(tail(run.window.log, 4), ElementsAreArray(closingLines(errors + 1, blocks * 512)));
}

} // namespace
