#include "PosixFileService.h"
#include "PosixTestFile.h"

#include "IoException.h"
#include "ResultCodes.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::uint64_t deviceOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return static_cast<std::uint64_t>(info.st_dev);
}

// A drive E whose root is a fresh folder, on whatever file system holds /tmp.
class PosixFileServiceTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvalin files.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    PosixFileService serviceFor(std::uint64_t deviceId) const {
        Drive drive;
        drive.letter = 'E';
        drive.mountPath = root_.string();
        drive.deviceId = deviceId;
        return PosixFileService(DriveTable({drive}));
    }
    PosixFileService service() const { return serviceFor(deviceOf(root_)); }
    std::string pathOf(const char* leaf) const { return (root_ / leaf).string(); }

    fs::path root_;
};

TEST_F(PosixFileServiceTest, VolumeQueriesMeasureTheDrivesFileSystem) {
    PosixFileService files = service();
    struct statvfs info {};
    ASSERT_EQ(::statvfs(root_.c_str(), &info), 0);
    EXPECT_EQ(files.DiskSize(5), static_cast<std::int64_t>(info.f_blocks * info.f_frsize));
    EXPECT_GT(files.DiskFree(5), 0);
    EXPECT_LE(files.DiskFree(5), files.DiskSize(5));
}

TEST_F(PosixFileServiceTest, DriveNumbersWithoutADriveGiveMinusOne) {
    PosixFileService files = service();
    for (const int driveNum : {0, 1, 4, 6, 27, -1}) {
        EXPECT_EQ(files.DiskFree(driveNum), -1) << driveNum;
        EXPECT_EQ(files.DiskSize(driveNum), -1) << driveNum;
    }
}

TEST_F(PosixFileServiceTest, RootPathIsTheMountPathWithASlash) {
    PosixFileService files = service();
    EXPECT_EQ(files.rootPath('E'), root_.string() + "/");
    EXPECT_EQ(files.rootPath('e'), root_.string() + "/");
    EXPECT_EQ(files.rootPath('F'), "");
    PosixFileService rootDrive(DriveTable({Drive{'C', "/", "", "", "", 0}}));
    EXPECT_EQ(rootDrive.rootPath('C'), "/");
}

// The drive's path now leads to another file system: its medium is gone.
TEST_F(PosixFileServiceTest, GoneDriveIsNotMeasuredAndGetsNoFile) {
    PosixFileService files = serviceFor(deviceOf(root_) + 1);
    EXPECT_EQ(files.DiskFree(5), -1);
    EXPECT_EQ(files.DiskSize(5), -1);
    const CreateResult created = files.create('E', pathOf("1-00-00_PM.XXX"));
    EXPECT_EQ(created.code, ResultCode::NotReady);
    EXPECT_EQ(created.file, nullptr);
    EXPECT_TRUE(fs::is_empty(root_));
}

TEST_F(PosixFileServiceTest, CreateNeverReplacesAFile) {
    std::ofstream(root_ / "taken.XXX") << "earlier run";
    PosixFileService files = service();
    const CreateResult created = files.create('E', pathOf("taken.XXX"));
    EXPECT_EQ(created.code, ResultCode::FileExists);
    EXPECT_EQ(created.file, nullptr);
    EXPECT_EQ(contentOf(root_ / "taken.XXX"), "earlier run");
}

TEST_F(PosixFileServiceTest, CreateFailuresGiveTheirCodes) {
    PosixFileService files = service();
    EXPECT_EQ(files.create('E', pathOf("no folder/x.XXX")).code, ResultCode::FileNotFound);
    EXPECT_EQ(files.create('E', pathOf(std::string(300, 'n').c_str())).code,
              ResultCode::InvalidFilename);
    EXPECT_EQ(files.create('Q', pathOf("x.XXX")).code, ResultCode::NotReady);
    EXPECT_TRUE(fs::is_empty(root_));
}

TEST_F(PosixFileServiceTest, BlocksWrittenAtOffsetsReadBackAndLandInTheFile) {
    PosixFileService files = service();
    CreateResult created = files.create('E', pathOf("a.XXX"));
    ASSERT_EQ(created.code, ResultCode::Success);
    std::array<std::uint8_t, 512> ones{};
    ones.fill(0xFF);
    std::array<std::uint8_t, 512> zeros{};
    TestFile& file = *created.file;
    EXPECT_EQ(file.write(512, ones.data(), ones.size()), ResultCode::Success);
    EXPECT_EQ(file.write(0, zeros.data(), zeros.size()), ResultCode::Success);
    std::array<std::uint8_t, 1024> back{};
    back.fill(0x80);
    EXPECT_EQ(file.read(0, back.data(), back.size()), ResultCode::Success);
    EXPECT_TRUE(std::equal(zeros.begin(), zeros.end(), back.begin()));
    EXPECT_TRUE(std::equal(ones.begin(), ones.end(), back.begin() + 512));
    EXPECT_EQ(file.dropCache(), ResultCode::Success);
    file.close();
    EXPECT_EQ(fs::file_size(root_ / "a.XXX"), 1024U);
    EXPECT_EQ(contentOf(root_ / "a.XXX"), std::string(512, '\0') + std::string(512, '\xFF'));
}

TEST_F(PosixFileServiceTest, ReadPastTheEndIsAShortRead) {
    PosixFileService files = service();
    CreateResult created = files.create('E', pathOf("b.XXX"));
    ASSERT_EQ(created.code, ResultCode::Success);
    std::array<std::uint8_t, 512> block{};
    ASSERT_EQ(created.file->write(0, block.data(), 256), ResultCode::Success);
    EXPECT_EQ(created.file->read(0, block.data(), block.size()), ResultCode::ShortRead);
    EXPECT_EQ(created.file->read(512, block.data(), block.size()), ResultCode::ShortRead);
    created.file->close();
}

TEST_F(PosixFileServiceTest, NewFileFollowsTheUmask) {
    const mode_t saved = ::umask(027);
    PosixFileService files = service();
    CreateResult created = files.create('E', pathOf("c.XXX"));
    ::umask(saved);
    ASSERT_EQ(created.code, ResultCode::Success);
    created.file->close();
    struct stat info {};
    ASSERT_EQ(::stat(pathOf("c.XXX").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
}

TEST(PosixTestFile, FailedCloseThrowsItsCodeAndReleasesTheFile) {
    const int fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    PosixTestFile file(fd);
    ::close(fd); // closed behind the file's back, so its own close fails
    try {
        file.close();
        FAIL() << "close did not throw";
    } catch (const IoException& error) {
        EXPECT_EQ(error.code(), EBADF);
        EXPECT_STREQ(error.what(), "I/O error 9");
    }
    EXPECT_NO_THROW(file.close());
}

TEST(PosixTestFile, FailedOperationsGiveMappedCodes) {
    const int fd = ::open("/dev/full", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    PosixTestFile file(fd);
    std::array<std::uint8_t, 512> block{};
    EXPECT_EQ(file.write(0, block.data(), block.size()), ResultCode::DiskFull);
    file.close();
}

// A file size limit cuts a write short; the short count must be reported as it is, since
// completing it would meet the limit and leave part of a block behind under another code.
TEST(PosixTestFile, ShortWriteIsReportedNotCompleted) {
    char path[] = "/tmp/orvalin-short-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::unlink(path);
    PosixTestFile file(fd);
    std::array<std::uint8_t, 512> block{};
    block.fill(0xFF);

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 700;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const int first = file.write(0, block.data(), block.size());
    const int second = file.write(512, block.data(), block.size());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(first, ResultCode::Success);
    EXPECT_EQ(second, ResultCode::ShortWrite);
    file.close();
}

} // namespace
