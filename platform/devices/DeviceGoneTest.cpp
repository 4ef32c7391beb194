#include "DeviceTest.h"
#include "Devices.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <sys/mount.h>

using testing::IsEmpty;
using testing::IsSupersetOf;

namespace {

constexpr std::int64_t VolumeBytes = 16 * 1024 * 1024;
constexpr std::int64_t BlocksPerFile = 4096;
constexpr std::int64_t PulledAt = 2000;

struct GoneCase {
    const char* name;
    unsigned long mountFlags;
    // The desktop unmounts the volume as the stick goes, and its path leads to the folder below.
    bool unmounted;
    // Abort is clicked this many blocks after the stick went; -1 for never.
    std::int64_t abortAfter;
    // The blocks the run counts.
    std::int64_t countedBlocks;
    // What shows the loss: the cycle's own write failures, or else the verification.
    bool writeFailuresShow;
};

void PrintTo(const GoneCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<std::int64_t> range(std::int64_t first, std::int64_t end) {
    std::vector<std::int64_t> blocks;
    for (std::int64_t block = first; block < end; ++block) {
        blocks.push_back(block);
    }
    return blocks;
}

std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename());
    }
    return names;
}

class DeviceGoneTest : public DeviceTest, public testing::WithParamInterface<GoneCase> {};

TEST_P(DeviceGoneTest, TheRunEndsWithItsSummaryAndLeavesNothingElsewhere) {
    const GoneCase& c = GetParam();
    const auto volume = makeVolume([&c](const std::string&) {
        DeviceSetup setup = ramDisk(VolumeBytes);
        setup.mountFlags = c.mountFlags;
        return setup;
    });
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    run.settings().maxBlocksPerFile = BlocksPerFile;
    run.window.onProcessEvents = [&] {
        if (run.window.status1 == testingStatus(PulledAt)) {
            volume->pullOut();
            if (c.unmounted) {
                ASSERT_TRUE(volume->detach());
            }
        }
        if (c.abortAfter >= 0 && run.window.status1 == testingStatus(PulledAt + c.abortAfter)) {
            run.window.stop = true;
        }
        // A second test file would be the disk below filling up: stop that at once.
        if (linesStartingWith(run.window.log, "Testing ").size() > 1) {
            run.window.stop = true;
        }
    };

    run.run();

    ASSERT_FALSE(run.hung);
    ASSERT_FALSE(run.exceptionCode.has_value()) << "I/O exception " << *run.exceptionCode;
    const std::vector<std::string>& log = run.window.log;
    EXPECT_EQ(linesStartingWith(log, "Testing ").size(), 1U);
    EXPECT_THAT(linesStartingWith(log, "IO Error at Block "), testing::Not(IsEmpty()));
    const std::vector<std::int64_t> mismatches = blocksOf(log, "Error in block ");
    const std::vector<std::int64_t> failed = blocksOf(log, "IO Error at Block ");
    if (c.writeFailuresShow) {
        EXPECT_THAT(std::set<std::int64_t>(failed.begin(), failed.end()),
                    IsSupersetOf(range(PulledAt, c.countedBlocks)));
    } else {
        // Nothing written after the stick went reached a medium.
        EXPECT_THAT(mismatches, IsSupersetOf(range(PulledAt, c.countedBlocks)));
    }
    ASSERT_GE(log.size(), 4U);
    // The flush before the verification fails at the block where the cycle ended, and counts
    // as an error of its own; an aborted run is not verified.
    const auto flushFailures =
        c.abortAfter < 0 ? std::count(failed.begin(), failed.end(), c.countedBlocks) : 0;
    EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
              closingLines(static_cast<std::int64_t>(mismatches.size()) + flushFailures,
                           c.countedBlocks * 512));
    EXPECT_FALSE(run.window.abortEnabled);

    volume->detach();
    EXPECT_THAT(folderEntries(volume->mountPath()), IsEmpty())
        << "the folder below the volume must stay clean";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceGoneTest,
    testing::Values(
        // The file system notices at the flush before the verification, and reports no free
        // space from then on, which ends the run.
        GoneCase{"StillMounted", 0, false, -1, BlocksPerFile, false},
        // The path leads to the folder below; the free-space query gives -1 and ends the run.
        GoneCase{"UnmountedByTheDesktop", 0, true, -1, BlocksPerFile, false},
        GoneCase{"WritingThroughThenAborted", MS_SYNCHRONOUS, false, 200, PulledAt + 200, true}),
    [](const testing::TestParamInfo<GoneCase>& param) { return std::string(param.param.name); });

} // namespace
