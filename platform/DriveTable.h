#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A drive: a mounted file system with a letter of its own.
struct Drive {
    char letter = '\0';         // 'C' for "/", then 'D' to 'Z', then 'A' and 'B'
    std::string mountPath;      // the drive's root folder
    std::string displayName;    // volume label or last part of the mount path, then " (E:)"
    std::string fileSystem;     // e.g. "ext4", "tmpfs", "fuseblk"
    std::string source;         // e.g. "/dev/sdb1"
    std::uint64_t deviceId = 0; // st_dev of the mount root when the table was read
};

// What building the table asks of the system about each mounted file system. An empty function
// asks nothing: the device number of the mount table and no label are used.
struct MountLookups {
    // st_dev of the mount root; nullopt when it cannot be read.
    std::function<std::optional<std::uint64_t>(const std::string& mountPath)> deviceId;
    // The volume label of a source device; empty when it has none.
    std::function<std::string(const std::string& source)> volumeLabel;
};

// The drives of the system, read once. A drive is identified by its file system, not its path.
class DriveTable {
public:
    DriveTable() = default;
    explicit DriveTable(std::vector<Drive> drives) : drives_(std::move(drives)) {}

    // Reads /proc/self/mountinfo, the mount roots and the volume labels; an unreadable table
    // gives no drives.
    static DriveTable readSystem();
    // Builds the table from mountinfo text; kernel pseudo file systems and the system's own
    // mounts are left out. Drives are ordered by letter.
    static DriveTable fromMountInfo(std::string_view mountInfo, const MountLookups& lookups = {});

    const std::vector<Drive>& drives() const { return drives_; }
    // The drive with that letter (either case), or nullptr.
    const Drive* find(char letter) const;
    // The drive whose mount path is exactly path, or nullptr.
    const Drive* findByMountPath(std::string_view path) const;

private:
    std::vector<Drive> drives_;
};
