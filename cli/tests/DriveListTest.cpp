#include "DriveList.h"
#include "FakeDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::ElementsAre;

// Answers the volume queries per drive number, as a real system would.
class Volumes : public FakeDevice {
public:
    Volumes() : FakeDevice(0) {}
    std::int64_t DiskFree(int driveNum) override { return driveNum == 5 ? 1536 : -1; }
    std::int64_t DiskSize(int driveNum) override { return driveNum == 5 ? 4194304 : -1; }
};

TEST(DriveList, ShowsEveryDriveWithGroupedSizesInAlignedColumns) {
    Volumes volumes;
    const std::vector<Drive> drives{
        {'C', "/", "vda (C:)", "ext4", "/dev/vda", 1},
        {'E', "/media/Sch\xC3\xBCler", "Sch\xC3\xBCler (E:)", "vfat", "/dev/sdb1", 2}};
    EXPECT_THAT(
        driveListLines(drives, volumes),
        ElementsAre(
            "Drive  Name          Mount path      Size (bytes)  Free (bytes)",
            "C:     vda (C:)      /                         -1            -1",
            "E:     Sch\xC3\xBCler (E:)  /media/Sch\xC3\xBCler     4,194,304         1,536"));
}

TEST(DriveList, NoDrivesGiveTheHeadingOnly) {
    Volumes volumes;
    EXPECT_THAT(driveListLines({}, volumes),
                ElementsAre("Drive  Name  Mount path  Size (bytes)  Free (bytes)"));
}

} // namespace
