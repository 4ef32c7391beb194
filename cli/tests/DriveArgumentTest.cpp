#include "DriveArgument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct DriveCase {
    const char* name;
    std::string argument;
    char letter; // '\0' when no drive may be chosen
    std::string error;
    friend void PrintTo(const DriveCase& c, std::ostream* os) { *os << c.name; }
};

DriveTable table() {
    return DriveTable({{'C', "/", "vda (C:)", "ext4", "/dev/vda", 1},
                       {'E', "/media/stick", "stick (E:)", "vfat", "/dev/sdb1", 2}});
}

class ChooseDrive : public testing::TestWithParam<DriveCase> {};

TEST_P(ChooseDrive, NamesADriveOrTellsWhyNot) {
    const DriveTable drives = table();
    const DriveChoice choice = chooseDrive(drives, GetParam().argument);
    if (GetParam().letter == '\0') {
        EXPECT_EQ(choice.drive, nullptr);
        EXPECT_EQ(choice.error, GetParam().error);
    } else {
        ASSERT_NE(choice.drive, nullptr) << choice.error;
        EXPECT_EQ(choice.drive->letter, GetParam().letter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseDrive,
    testing::Values(
        DriveCase{"Letter", "E", 'E', ""}, DriveCase{"LowerCaseLetter", "e", 'E', ""},
        DriveCase{"LetterAndColon", "E:", 'E', ""}, DriveCase{"LowerCaseWithColon", "e:", 'E', ""},
        DriveCase{"RootLetter", "C", 'C', ""}, DriveCase{"MountPath", "/media/stick", 'E', ""},
        DriveCase{"MountPathWithTrailingSlashes", "/media/stick//", 'E', ""},
        DriveCase{"Root", "/", 'C', ""},
        DriveCase{"UnknownLetter", "Q:", '\0', "no drive Q: on this system"},
        DriveCase{"FolderBelowAMountPath", "/media/stick/photos", '\0',
                  "'/media/stick/photos' is not the root folder of a drive"},
        DriveCase{"LongerThanALetter", "EF", '\0', "'EF' is not the root folder of a drive"},
        DriveCase{"LetterWithBackslash", "E:\\", '\0', "'E:\\' is not the root folder of a drive"},
        DriveCase{"NotALetter", "5:", '\0', "'5:' is not the root folder of a drive"}),
    [](const testing::TestParamInfo<DriveCase>& param) { return param.param.name; });

class ChooseDriveOnDisk : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvalin-drive-arg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base = fs::canonical(pattern);
        fs::create_directory(base / "mount");
        fs::create_directory_symlink(base / "mount", base / "link");
        drives = DriveTable({{'F', (base / "mount").native(), "mount (F:)", "tmpfs", "tmpfs", 3}});
    }
    void TearDown() override { fs::remove_all(base); }

    fs::path base;
    DriveTable drives;
};

TEST_F(ChooseDriveOnDisk, PathsThatLeadToTheMountRootNameTheDrive) {
    for (const fs::path& path :
         {base / "link", base / "link" / ".", base / "mount" / ".." / "mount"}) {
        const DriveChoice choice = chooseDrive(drives, path.native());
        ASSERT_NE(choice.drive, nullptr) << path;
        EXPECT_EQ(choice.drive->letter, 'F');
    }
}

TEST_F(ChooseDriveOnDisk, AFolderInsideTheDriveIsNotItsRoot) {
    fs::create_directory(base / "mount" / "sub");
    EXPECT_EQ(chooseDrive(drives, (base / "link" / "sub").native()).drive, nullptr);
}

} // namespace
