#include "DriveTable.h"
#include "MountInfo.h"
#include "VolumeLabels.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

std::string mountLine(int id, const std::string& device, const std::string& mountPath,
                      const std::string& fileSystem, const std::string& source) {
    return std::to_string(id) + " 1 " + device + " / " + mountPath + " rw,relatime shared:1 - " +
           fileSystem + " " + source + " rw\n";
}

const std::string RootLine = mountLine(20, "254:1", "/", "ext4", "/dev/sda2");

struct MountCase {
    const char* mountPath;
    const char* fileSystem;
    const char* source;
    bool drive;
};

class DriveSelectionTest : public testing::TestWithParam<MountCase> {};

TEST_P(DriveSelectionTest, KeepsRealVolumesAndLeavesOutTheSystemsOwn) {
    const MountCase& mount = GetParam();
    const DriveTable table = DriveTable::fromMountInfo(
        RootLine + mountLine(30, "0:40", mount.mountPath, mount.fileSystem, mount.source));
    EXPECT_EQ(table.findByMountPath(mount.mountPath) != nullptr, mount.drive)
        << mount.fileSystem << " on " << mount.mountPath;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DriveSelectionTest,
    testing::Values(
        MountCase{"/proc", "proc", "proc", false}, MountCase{"/sys", "sysfs", "sysfs", false},
        MountCase{"/sys/fs/cgroup", "cgroup2", "cgroup2", false},
        MountCase{"/dev/pts", "devpts", "devpts", false},
        MountCase{"/dev", "devtmpfs", "udev", false},
        MountCase{"/sys/kernel/debug", "debugfs", "debugfs", false},
        MountCase{"/sys/kernel/tracing", "tracefs", "tracefs", false},
        MountCase{"/sys/kernel/security", "securityfs", "securityfs", false},
        MountCase{"/sys/fs/bpf", "bpf", "bpf", false},
        MountCase{"/dev/mqueue", "mqueue", "mqueue", false},
        MountCase{"/sys/kernel/config", "configfs", "configfs", false},
        MountCase{"/sys/fs/fuse/connections", "fusectl", "fusectl", false},
        MountCase{"/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc", false},
        MountCase{"/proc/sys/fs/binfmt_misc", "autofs", "systemd-1", false},
        MountCase{"/net", "autofs", "auto.net", false},
        MountCase{"/dev/hugepages", "hugetlbfs", "hugetlbfs", false},
        MountCase{"/sys/fs/pstore", "pstore", "pstore", false},
        MountCase{"/run/snapd/ns/lxd.mnt", "nsfs", "nsfs", false},
        MountCase{"/snap/core22/1380", "squashfs", "/dev/loop3", false},
        MountCase{"/dev/shm", "tmpfs", "tmpfs", false}, MountCase{"/run", "tmpfs", "tmpfs", false},
        MountCase{"/run/lock", "tmpfs", "tmpfs", false},
        MountCase{"/run/user/1000", "tmpfs", "tmpfs", false},
        MountCase{"/run/user/1000/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse", false},
        MountCase{"/run/media/anna/STICK", "vfat", "/dev/sdb1", true},
        MountCase{"/run/media/anna/Backup", "fuseblk", "/dev/sdc1", true},
        MountCase{"/media/anna/CARD", "exfat", "/dev/mmcblk0p1", true},
        MountCase{"/boot/efi", "vfat", "/dev/sda1", true},
        MountCase{"/home", "btrfs", "/dev/sda3", true},
        MountCase{"/mnt/ram", "tmpfs", "ramdisk", true}, MountCase{"/tmp", "tmpfs", "tmpfs", true},
        MountCase{"/mnt/share", "nfs4", "server:/export", true},
        MountCase{"/mnt/smb", "cifs", "//server/share", true},
        MountCase{"/runner", "ext4", "/dev/sdd1", true},
        MountCase{"/devices", "ext4", "/dev/sdd2", true}));

std::string lettersOf(const DriveTable& table) {
    std::string letters;
    for (const Drive& drive : table.drives()) {
        letters += drive.letter;
    }
    return letters;
}

std::string manyMounts(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += mountLine(100 + i, "8:" + std::to_string(i), "/mnt/d" + std::to_string(i), "ext4",
                          "/dev/sdx" + std::to_string(i));
    }
    return text;
}

TEST(DriveTable, RootIsCAndTheOthersFollowFromDInTableOrder) {
    const std::string text = mountLine(30, "8:17", "/media/a", "vfat", "/dev/sdb1") +
                             mountLine(31, "0:5", "/proc", "proc", "proc") + RootLine +
                             mountLine(32, "8:33", "/media/b", "vfat", "/dev/sdc1");
    const DriveTable table = DriveTable::fromMountInfo(text);
    EXPECT_EQ(lettersOf(table), "CDE");
    EXPECT_EQ(table.find('C')->mountPath, "/");
    EXPECT_EQ(table.find('D')->mountPath, "/media/a");
    EXPECT_EQ(table.find('E')->mountPath, "/media/b");
}

TEST(DriveTable, AfterZComeAAndBThenNoMoreDrives) {
    const DriveTable table = DriveTable::fromMountInfo(RootLine + manyMounts(30));
    ASSERT_EQ(table.drives().size(), 26U);
    EXPECT_EQ(lettersOf(table), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(table.find('Z')->mountPath, "/mnt/d22");
    EXPECT_EQ(table.find('A')->mountPath, "/mnt/d23");
    EXPECT_EQ(table.find('B')->mountPath, "/mnt/d24");
    EXPECT_EQ(table.findByMountPath("/mnt/d25"), nullptr);
}

TEST(DriveTable, WithoutRootTheLetterCStaysFree) {
    const DriveTable table = DriveTable::fromMountInfo(manyMounts(2));
    EXPECT_EQ(lettersOf(table), "DE");
}

TEST(DriveTable, FindTakesEitherCaseAndUnknownLettersGiveNothing) {
    const DriveTable table = DriveTable::fromMountInfo(RootLine + manyMounts(1));
    ASSERT_NE(table.find('d'), nullptr);
    EXPECT_EQ(table.find('d'), table.find('D'));
    EXPECT_EQ(table.find('Q'), nullptr);
    EXPECT_EQ(table.find('\0'), nullptr);
}

TEST(DriveTable, EscapedMountPathsAreDecoded) {
    const DriveTable table = DriveTable::fromMountInfo(
        RootLine +
        mountLine(30, "8:17", "/run/media/anna/My\\040Stick\\011x\\134y", "vfat", "/dev/sdb1"));
    ASSERT_EQ(table.drives().size(), 2U);
    EXPECT_EQ(table.find('D')->mountPath, "/run/media/anna/My Stick\tx\\y");
    EXPECT_EQ(table.find('D')->displayName, "My Stick\tx\\y (D:)");
}

TEST(DriveTable, DisplayNameIsTheLabelOrTheLastPartOfThePath) {
    const std::map<std::string, std::string> labels = {{"/dev/sdb1", "  HOLIDAY  "},
                                                       {"/dev/sda2", "debian"}};
    MountLookups lookups;
    lookups.volumeLabel = [&](const std::string& source) {
        const auto found = labels.find(source);
        return found == labels.end() ? std::string() : found->second;
    };
    const std::string text =
        RootLine + mountLine(30, "8:17", "/media/x", "vfat", "/dev/sdb1") +
        mountLine(31, "8:33", "/media/anna/Work\\040Files", "ext4", "/dev/sdc1") +
        mountLine(32, "0:50", "/mnt/ram", "tmpfs", "tmpfs");
    const DriveTable labelled = DriveTable::fromMountInfo(text, lookups);
    EXPECT_EQ(labelled.find('C')->displayName, "debian (C:)");
    EXPECT_EQ(labelled.find('D')->displayName, "HOLIDAY (D:)");
    EXPECT_EQ(labelled.find('E')->displayName, "Work Files (E:)");
    EXPECT_EQ(labelled.find('F')->displayName, "ram (F:)");

    const DriveTable unlabelled = DriveTable::fromMountInfo(text);
    EXPECT_EQ(unlabelled.find('C')->displayName, "File System (C:)");
    EXPECT_EQ(unlabelled.find('D')->displayName, "x (D:)");
}

TEST(DriveTable, DeviceIdComesFromTheMountRootOrElseTheTable) {
    const std::string text = RootLine + mountLine(30, "8:17", "/media/x", "vfat", "/dev/sdb1");
    EXPECT_EQ(DriveTable::fromMountInfo(text).find('D')->deviceId, makedev(8, 17));

    MountLookups lookups;
    lookups.deviceId = [](const std::string& path) -> std::optional<std::uint64_t> {
        if (path == "/media/x") {
            return 4242;
        }
        return std::nullopt;
    };
    const DriveTable table = DriveTable::fromMountInfo(text, lookups);
    EXPECT_EQ(table.find('D')->deviceId, 4242U);
    EXPECT_EQ(table.find('C')->deviceId, makedev(254, 1));
}

TEST(DriveTable, KeepsTypeAndSourceOfTheEntry) {
    const DriveTable table = DriveTable::fromMountInfo(
        RootLine + mountLine(30, "7:0", "/tmp/stick", "fuseblk", "/dev/loop0"));
    EXPECT_EQ(table.find('D')->fileSystem, "fuseblk");
    EXPECT_EQ(table.find('D')->source, "/dev/loop0");
}

// A mount on top of another hides it; the path leads to the upper file system only.
TEST(DriveTable, AMountOnTheSamePathReplacesTheHiddenOne) {
    const std::string text = RootLine + mountLine(30, "8:17", "/media/x", "vfat", "/dev/sdb1") +
                             mountLine(31, "8:33", "/media/y", "vfat", "/dev/sdc1") +
                             mountLine(32, "8:49", "/media/x", "ext4", "/dev/sdd1");
    const DriveTable table = DriveTable::fromMountInfo(text);
    EXPECT_EQ(lettersOf(table), "CDE");
    EXPECT_EQ(table.find('D')->source, "/dev/sdd1");
    EXPECT_EQ(table.find('D')->deviceId, makedev(8, 49));
}

TEST(DriveTable, MalformedLinesAreLeftOut) {
    const std::string text = "garbage\n" + RootLine + "31 1 8:1 / /media/cut rw -\n" +
                             "32 1 nodevice / /media/bad rw - ext4 /dev/sdz rw\n\n" +
                             mountLine(33, "8:2", "/media/good", "ext4", "/dev/sdy");
    const DriveTable table = DriveTable::fromMountInfo(text);
    EXPECT_EQ(lettersOf(table), "CD");
    EXPECT_EQ(table.find('D')->mountPath, "/media/good");
}

TEST(MountInfo, OptionalFieldsBeforeTheSeparatorAreSkipped) {
    const std::vector<MountEntry> entries = parseMountInfo(
        "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 shared:7 - ext3 /dev/root rw,errors=continue");
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].mountPath, "/mnt2");
    EXPECT_EQ(entries[0].fileSystem, "ext3");
    EXPECT_EQ(entries[0].source, "/dev/root");
}

TEST(VolumeLabels, LinkNamesAreDecoded) {
    EXPECT_EQ(decodeLabelLinkName("My\\x20Stick"), "My Stick");
    EXPECT_EQ(decodeLabelLinkName("a\\x2fb"), "a/b");
    EXPECT_EQ(decodeLabelLinkName("plain\\x2"), "plain\\x2");
}

TEST(VolumeLabels, ANonDeviceSourceHasNoLabel) {
    EXPECT_EQ(volumeLabelOf("tmpfs"), "");
    EXPECT_EQ(volumeLabelOf(""), "");
}

TEST(DriveTable, ReadSystemMakesRootDriveCWithTheRootsDevice) {
    const DriveTable table = DriveTable::readSystem();
    const Drive* root = table.find('C');
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->mountPath, "/");
    struct stat info {};
    ASSERT_EQ(::stat("/", &info), 0);
    EXPECT_EQ(root->deviceId, static_cast<std::uint64_t>(info.st_dev));
    EXPECT_EQ(table.findByMountPath("/proc"), nullptr);
}

} // namespace
