#include "DeviceTest.h"
#include "Devices.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

namespace {

constexpr std::int64_t MiB = 1024 * 1024;
constexpr std::int64_t RealBytes = 64 * MiB;
constexpr int Copies = 4;

using FakeCapacityTest = DeviceTest;

// Constant patterns cannot tell a block from its alias: every block of the file ends as 0xFF,
// so a block whose address wraps onto another block reads back what it should. The run still
// flags this device, but only because the wrapped writes overwrite the file system's own data
// and the damage shows. Observed here, with writeback started during the run: the run believes
// the claim and fills 2 GiB on 64 MiB of storage, with about 3.7 million "Error in block" lines.
// Without early writeback it was 232,718,336 bytes and 12,312 errors: how much shows depends on
// when the damage reaches the medium, so only its presence is asserted.
TEST_F(FakeCapacityTest, BlocksWithoutStorageOfTheirOwnPass) {
    const auto volume = makeVolume(
        [](const std::string& scratch) { return wrappingDisk(scratch, RealBytes, Copies); });
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);

    run.run();

    ASSERT_FALSE(run.hung);
    ASSERT_FALSE(run.exceptionCode.has_value());
    struct stat file {};
    ASSERT_EQ(::stat(run.firstFilePath().c_str(), &file), 0);
    const auto bytes = static_cast<std::uint64_t>(file.st_size);
    EXPECT_GT(bytes, 3 * static_cast<std::uint64_t>(RealBytes)) << "the run believes the claim";

    // At least this many blocks share their storage with another block.
    const std::uint64_t withoutStorage = (bytes - static_cast<std::uint64_t>(RealBytes)) / 512;
    const std::vector<std::int64_t> mismatches = blocksOf(run.window.log, "Error in block ");
    EXPECT_GT(mismatches.size(), 0U) << "the file system's damage no longer shows";
    RecordProperty("BytesTested", std::to_string(bytes));
    RecordProperty("BlocksWithoutStorage", std::to_string(withoutStorage));
    RecordProperty("Mismatches", std::to_string(mismatches.size()));
}

} // namespace
