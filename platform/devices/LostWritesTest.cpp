#include "DeviceTest.h"
#include "Devices.h"
#include "FileExtents.h"
#include "IntToStrWithCommas.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

constexpr std::int64_t MiB = 1024 * 1024;
constexpr std::int64_t VolumeBytes = 32 * MiB;
// 37 sectors in the volume's first run of data blocks, on no file-system block boundary, so
// that the blocks found must be exactly the sectors that were lost.
constexpr std::int64_t StuckFirst = 12 * MiB + 3 * 512;
constexpr std::int64_t StuckEnd = 12 * MiB + 40 * 512;

using LostWritesTest = DeviceTest;

TEST_F(LostWritesTest, ExactlyTheBlocksOnTheSectorsThatKeptOldDataAreErrors) {
    const auto volume = makeVolume([](const std::string& scratch) {
        return stuckSectorsDisk(scratch, VolumeBytes, StuckFirst, StuckEnd);
    });
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);

    run.run();

    struct stat file {};
    ASSERT_EQ(::stat(run.firstFilePath().c_str(), &file), 0);
    const auto bytes = static_cast<std::uint64_t>(file.st_size);
    const std::vector<std::int64_t> lost =
        blocksOnDevice(fileExtents(run.firstFilePath()), bytes, StuckFirst, StuckEnd);
    ASSERT_EQ(lost.size(), (StuckEnd - StuckFirst) / 512)
        << "the stuck sectors must lie wholly inside the test file";
    EXPECT_THAT(blocksOf(run.window.log, "Error in block "), ElementsAreArray(lost));
    EXPECT_THAT(linesStartingWith(run.window.log, "IO Error"), IsEmpty());
    const std::vector<std::string> closing =
        closingLines(static_cast<std::int64_t>(lost.size()), static_cast<std::int64_t>(bytes));
    ASSERT_GE(run.window.log.size(), closing.size());
    EXPECT_THAT(std::vector<std::string>(run.window.log.end() - 4, run.window.log.end()),
                ElementsAreArray(closing));
}

} // namespace
