#include "DeviceTest.h"
#include "Devices.h"
#include "IntToStrWithCommas.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

using testing::ElementsAreArray;

namespace {

constexpr std::int64_t VolumeBytes = 32 * 1024 * 1024;

using HealthyDeviceTest = DeviceTest;

TEST_F(HealthyDeviceTest, FillsTheFreeSpaceAndReadsBackWithoutAWord) {
    const auto volume = makeVolume([](const std::string&) { return ramDisk(VolumeBytes); });
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    const std::int64_t freeBefore = PosixFileService(volume->table()).DiskFree(5);

    run.run();

    struct stat file {};
    ASSERT_EQ(::stat(run.firstFilePath().c_str(), &file), 0);
    const std::int64_t bytes = file.st_size;
    std::vector<std::string> expected = {"Testing \"" + run.firstFilePath() + "\"",
                                         IntToStrWithCommas(bytes) + " bytes tested"};
    const std::vector<std::string> closing = closingLines(0, bytes);
    expected.insert(expected.end(), closing.begin(), closing.end());
    EXPECT_THAT(run.window.log, ElementsAreArray(expected));
    EXPECT_GE(bytes, freeBefore);
    EXPECT_FALSE(run.window.abortEnabled);
}

} // namespace
