#include "DeviceTest.h"
#include "Devices.h"
#include "IntToStrWithCommas.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testing::ElementsAreArray;

namespace {

constexpr std::int64_t VolumeBytes = 16 * 1024 * 1024;
// Once this file exists, every read that reaches the medium fails with EIO.
constexpr const char* ReadsFail = "reads-fail";

class MediumReadTest : public DeviceTest {
protected:
    std::unique_ptr<FaultyVolume> volumeWhoseReadsCanFail() {
        return makeVolume([](const std::string& scratch) {
            return ramDisk(VolumeBytes, {"error-pread-rate=100%",
                                         "error-pread-file=" + scratch + "/" + ReadsFail});
        });
    }

    // Switches the read errors on once the run starts verifying: by then every block has been
    // written and read back through the cache.
    static void failReadsOnceVerifying(VolumeRun& run, FaultyVolume& volume) {
        run.window.onProcessEvents = [&run, &volume] {
            if (run.window.status1.starts_with("Verifying")) {
                volume.createScratchFile(ReadsFail);
            }
        };
    }
};

std::int64_t sizeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

TEST_F(MediumReadTest, EveryBlockTheMediumCannotGiveBackIsAnErrorAndCounted) {
    const auto volume = volumeWhoseReadsCanFail();
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    failReadsOnceVerifying(run, *volume);

    run.run();

    const std::int64_t bytes = sizeOf(run.firstFilePath());
    ASSERT_GT(bytes, 0);
    std::vector<std::string> expected = {"Testing \"" + run.firstFilePath() + "\""};
    for (std::int64_t block = 0; block < bytes / 512; ++block) {
        expected.push_back("IO Error at Block " + std::to_string(block) + ": 1117");
        expected.push_back("Error in block " + std::to_string(block));
    }
    expected.push_back(IntToStrWithCommas(bytes) + " bytes tested");
    const std::vector<std::string> closing = closingLines(bytes / 512, bytes);
    expected.insert(expected.end(), closing.begin(), closing.end());
    EXPECT_THAT(run.window.log, ElementsAreArray(expected));
}

// The control: the same fault, and a run that reads back only through the cache passes it.
TEST_F(MediumReadTest, ReadBackThroughTheCacheAloneReportsTheSameDriveAsSound) {
    const auto volume = volumeWhoseReadsCanFail();
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    run.settings().verifyFromMedium = false;
    failReadsOnceVerifying(run, *volume);

    run.run();

    const std::int64_t bytes = sizeOf(run.firstFilePath());
    ASSERT_GT(bytes, 0);
    std::vector<std::string> expected = {"Testing \"" + run.firstFilePath() + "\"",
                                         IntToStrWithCommas(bytes) + " bytes tested"};
    const std::vector<std::string> closing = closingLines(0, bytes);
    expected.insert(expected.end(), closing.begin(), closing.end());
    EXPECT_THAT(run.window.log, ElementsAreArray(expected));

    // Yet none of what it wrote can be read from the medium.
    volume->createScratchFile(ReadsFail);
    const int fd = ::open(run.firstFilePath().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::fdatasync(fd), 0);
    ASSERT_EQ(::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED), 0);
    char block[512];
    const ssize_t got = ::pread(fd, block, sizeof block, 0);
    const int error = errno;
    ::close(fd);
    EXPECT_EQ(got, -1);
    EXPECT_EQ(error, EIO);
}

} // namespace
