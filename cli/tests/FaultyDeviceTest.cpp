#include "CliProcess.h"
#include "Devices.h"
#include "FaultyVolume.h"
#include "FileExtents.h"
#include "IntToStrWithCommas.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing::ElementsAreArray;

constexpr std::int64_t MiB = 1024 * 1024;
constexpr std::int64_t VolumeBytes = 32 * MiB;
// 37 sectors inside the volume's data, on no file-system block boundary: writes there are lost
// without an error, as on a stick that is worn out or fakes its capacity.
constexpr std::int64_t StuckFirst = 12 * MiB + 3 * 512;
constexpr std::int64_t StuckEnd = 12 * MiB + 40 * 512;

TEST(FaultyDevice, LostWritesAreReportedAndTheExitCodeSaysSo) {
    const std::string reason = FaultyVolume::unavailableReason();
    if (!reason.empty()) {
        GTEST_SKIP() << reason;
    }
    FaultyVolume volume([](const std::string& scratch) {
        return stuckSectorsDisk(scratch, VolumeBytes, StuckFirst, StuckEnd);
    });
    CliProcess cli({volume.mountPath()});
    EXPECT_EQ(cli.finish(std::chrono::seconds(120)), 1) << cli.err();
    EXPECT_EQ(cli.err(), "");

    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(volume.mountPath())) {
        if (entry.path().extension() == ".XXX") {
            files.push_back(entry.path().native());
        }
    }
    ASSERT_EQ(files.size(), 1U);
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(files[0]));
    const std::vector<std::int64_t> lost = blocksOnDevice(
        fileExtents(files[0]), static_cast<std::uint64_t>(bytes),
        static_cast<std::uint64_t>(StuckFirst), static_cast<std::uint64_t>(StuckEnd));
    ASSERT_EQ(lost.size(), static_cast<std::size_t>((StuckEnd - StuckFirst) / 512))
        << "the stuck sectors must lie wholly inside the test file";

    std::vector<std::string> expected{"Testing \"" + files[0] + "\""};
    for (std::int64_t block : lost) {
        expected.push_back("Error in block " + std::to_string(block));
    }
    const std::string tested = IntToStrWithCommas(bytes) + " bytes tested";
    for (const std::string& line : {tested, std::string(" "), std::string("Finished Testing"),
                                    std::to_string(lost.size()) + " errors", tested}) {
        expected.push_back(line);
    }
    EXPECT_THAT(cli.outLines(), ElementsAreArray(expected));
}

} // namespace
