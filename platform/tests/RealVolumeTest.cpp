#include "DriveTable.h"
#include "PosixFileService.h"
#include "RecordingWindow.h"
#include "ScratchVolume.h"
#include "TestRunner.h"

#include "IoException.h"
#include "ResultCodes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using Kind = ScratchVolume::Kind;

constexpr std::int64_t VolumeBytes = 8 * 1024 * 1024;
// The time text every test file of a run is named from, so that names clash.
const std::string TimeText = "3:04:05 PM";

std::string contentOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::map<std::string, std::string> filesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? contentOf(entry.path()) : "<folder>";
    }
    return files;
}

std::int64_t groupedNumber(const std::string& text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](char c) { return c != ','; });
    return std::stoll(digits);
}

// What a run's log says: the file of each "Testing" line with the bytes of its own
// "bytes tested" line, and the total of the summary.
struct RunLog {
    std::vector<std::pair<std::string, std::int64_t>> files;
    std::int64_t totalBytes = -1;
    std::int64_t errors = -1;
    std::vector<std::string> otherLines;
};

RunLog readLog(const std::vector<std::string>& log) {
    RunLog run;
    const std::string testing = "Testing \"";
    const std::string tested = " bytes tested";
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string& line = log[i];
        if (line.starts_with(testing) && line.ends_with("\"")) {
            run.files.emplace_back(line.substr(testing.size(), line.size() - testing.size() - 1),
                                   -1);
        } else if (line.ends_with(tested) && i + 1 == log.size()) {
            run.totalBytes = groupedNumber(line.substr(0, line.size() - tested.size()));
        } else if (line.ends_with(tested) && !run.files.empty() && run.files.back().second < 0) {
            run.files.back().second = groupedNumber(line.substr(0, line.size() - tested.size()));
        } else if (line.ends_with(" errors")) {
            run.errors = std::stoll(line);
        } else if (line != " " && line != "Finished Testing") {
            run.otherLines.push_back(line);
        }
    }
    return run;
}

std::string randomBytes(std::size_t size) {
    std::mt19937 generator(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

class RealVolumeTest : public testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        std::string whyNot;
        volume_ = ScratchVolume::mount({GetParam(), VolumeBytes, false, {}}, whyNot);
        if (!volume_) {
            GTEST_SKIP() << ScratchVolume::kindName(GetParam()) << " volume: " << whyNot;
        }
        root_ = volume_->mountPath();
    }

    // The service and a window on the volume's drive, from the system's own drive table.
    void openDrive() {
        files_ = std::make_unique<PosixFileService>(DriveTable::readSystem());
        const Drive* drive = files_->table().findByMountPath(root_.string());
        ASSERT_NE(drive, nullptr) << "the scratch volume got no drive letter";
        window_.driveLetter = drive->letter;
        driveNum_ = drive->letter - 'A' + 1;
        runner_ = std::make_unique<TestRunner>(window_, *files_, [] { return TimeText; });
    }

    std::unique_ptr<ScratchVolume> volume_;
    fs::path root_;
    std::unique_ptr<PosixFileService> files_;
    std::unique_ptr<TestRunner> runner_;
    RecordingWindow window_;
    int driveNum_ = 0;
};

TEST_P(RealVolumeTest, DriveTableKnowsTheVolumeByItsDevice) {
    ASSERT_NO_FATAL_FAILURE(openDrive());
    const Drive& drive = *files_->table().findByMountPath(root_.string());
    struct stat info {};
    ASSERT_EQ(::stat(root_.c_str(), &info), 0);
    EXPECT_EQ(drive.deviceId, static_cast<std::uint64_t>(info.st_dev));
    EXPECT_EQ(drive.displayName, std::string("volume (") + drive.letter + ":)");
    EXPECT_EQ(drive.fileSystem,
              GetParam() == Kind::Exfat ? "fuseblk" : ScratchVolume::kindName(GetParam()));
    EXPECT_EQ(files_->rootPath(drive.letter), root_.string() + "/");
    EXPECT_GT(files_->DiskSize(driveNum_), VolumeBytes / 2);
    EXPECT_LE(files_->DiskSize(driveNum_), VolumeBytes);
}

TEST_P(RealVolumeTest, RunFillsTheVolumeWithWholeBlocksAndLogsWhatIsOnDisk) {
    const std::string keep = randomBytes(10000);
    std::ofstream(root_ / "keep.bin", std::ios::binary) << keep;
    std::ofstream(root_ / "3-04-05_PM.XXX") << "earlier run";
    const std::map<std::string, std::string> before = filesIn(root_);
    ASSERT_NO_FATAL_FAILURE(openDrive());
    // Files of 2 MiB, so that the run goes through several of them.
    runner_->settings().maxBlocksPerFile = 4096;

    runner_->TestButtonClick();

    const RunLog run = readLog(window_.log);
    EXPECT_EQ(run.otherLines, std::vector<std::string>{});
    EXPECT_EQ(run.errors, 0);
    ASSERT_GE(run.files.size(), 2U);
    EXPECT_EQ(run.files[0].first, (root_ / "3-04-05_PM_2.XXX").string());
    std::int64_t sum = 0;
    for (const auto& [path, bytes] : run.files) {
        const std::string content = contentOf(path);
        EXPECT_EQ(static_cast<std::int64_t>(content.size()), bytes) << path;
        EXPECT_EQ(content.size() % 512, 0U) << path;
        EXPECT_EQ(content.find_first_not_of('\xFF'), std::string::npos) << path;
        sum += bytes;
    }
    EXPECT_EQ(run.totalBytes, sum);
    const std::map<std::string, std::string> after = filesIn(root_);
    EXPECT_EQ(after.size(), before.size() + run.files.size());
    for (const auto& [name, content] : before) {
        EXPECT_EQ(after.at(name), content) << name << " changed";
    }
    const std::int64_t freeAfter = files_->DiskFree(driveNum_);
    EXPECT_TRUE(window_.stop || freeAfter <= 1024) << freeAfter << " bytes left free";
    EXPECT_LT(freeAfter, 16384);
}

TEST_P(RealVolumeTest, ReadOnlyVolumeEndsWithAccessDeniedAndNoFile) {
    std::ofstream(root_ / "photo.jpg") << "picture";
    ASSERT_TRUE(volume_->remountReadOnly());
    const std::map<std::string, std::string> before = filesIn(root_);
    ASSERT_NO_FATAL_FAILURE(openDrive());

    try {
        runner_->TestButtonClick();
        FAIL() << "the run did not fail";
    } catch (const IoException& error) {
        EXPECT_STREQ(error.what(), "File access denied");
    }
    EXPECT_EQ(filesIn(root_), before);
    EXPECT_EQ(window_.log, std::vector<std::string>{});
}

// A stick pulled out during a run: the path leads to the folder underneath, on the system disk,
// which must get no test file.
TEST_P(RealVolumeTest, VolumeDetachedDuringARunGetsNoFileUnderneath) {
    ASSERT_NO_FATAL_FAILURE(openDrive());
    runner_->settings().maxBlocksPerFile = 256;
    bool detached = false;
    window_.onProcessEvents = [&] {
        if (window_.eventPasses == 100) {
            detached = volume_->detachLazily();
        }
    };

    runner_->TestButtonClick();

    ASSERT_TRUE(detached);
    EXPECT_TRUE(fs::is_empty(root_));
    const RunLog run = readLog(window_.log);
    ASSERT_EQ(run.files.size(), 1U);
    EXPECT_EQ(run.files[0].second, 256 * 512);
    EXPECT_EQ(run.totalBytes, 256 * 512);
    EXPECT_EQ(files_->DiskFree(driveNum_), -1);
    EXPECT_EQ(files_->DiskSize(driveNum_), -1);
    const CreateResult late = files_->create(window_.driveLetter, (root_ / "late.XXX").string());
    EXPECT_EQ(late.code, ResultCode::NotReady);
    EXPECT_TRUE(fs::is_empty(root_));
}

INSTANTIATE_TEST_SUITE_P(Volumes, RealVolumeTest,
                         testing::Values(Kind::Tmpfs, Kind::Ext4, Kind::Exfat),
                         [](const testing::TestParamInfo<Kind>& param) {
                             return std::string(ScratchVolume::kindName(param.param));
                         });

} // namespace
