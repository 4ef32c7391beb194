#include "DriveTable.h"

#include "MountInfo.h"
#include "VolumeLabels.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

namespace {

// Letters for the drives after "/", in the order they are given out.
constexpr std::string_view OtherLetters = "DEFGHIJKLMNOPQRSTUVWXYZAB";

constexpr std::string_view PseudoFileSystems[] = {
    "proc",       "sysfs",  "cgroup", "cgroup2",  "devpts",   "debugfs",     "tracefs",
    "securityfs", "bpf",    "mqueue", "configfs", "fusectl",  "binfmt_misc", "autofs",
    "hugetlbfs",  "pstore", "nsfs",   "squashfs", "devtmpfs", "efivarfs",    "selinuxfs",
    "rpc_pipefs", "nfsd",   "sockfs", "pipefs"};

bool isUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/');
}

// Mounts the system makes for itself: nothing under /dev, /sys and /proc is a drive, and under
// /run only removable media mounted by the desktop are.
bool isSystemPath(std::string_view path) {
    if (isUnder(path, "/run")) {
        return !isUnder(path, "/run/media");
    }
    return isUnder(path, "/dev") || isUnder(path, "/sys") || isUnder(path, "/proc");
}

bool isDrive(const MountEntry& entry) {
    const bool pseudo = std::find(std::begin(PseudoFileSystems), std::end(PseudoFileSystems),
                                  entry.fileSystem) != std::end(PseudoFileSystems);
    return !pseudo && !entry.mountPath.empty() && entry.mountPath[0] == '/' &&
           !isSystemPath(entry.mountPath);
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string baseName(const std::string& mountPath) {
    if (mountPath == "/") {
        return "File System";
    }
    return trimmed(mountPath.substr(mountPath.find_last_of('/') + 1));
}

// A later mount on the same path hides the earlier one, so only the later one is a drive.
std::vector<MountEntry> visibleDrives(std::vector<MountEntry> entries) {
    std::vector<MountEntry> drives;
    for (MountEntry& entry : entries) {
        if (!isDrive(entry)) {
            continue;
        }
        auto hidden = std::find_if(drives.begin(), drives.end(), [&](const MountEntry& d) {
            return d.mountPath == entry.mountPath;
        });
        if (hidden != drives.end()) {
            *hidden = std::move(entry);
        } else {
            drives.push_back(std::move(entry));
        }
    }
    return drives;
}

Drive makeDrive(const MountEntry& entry, char letter, const MountLookups& lookups) {
    Drive drive;
    drive.letter = letter;
    drive.mountPath = entry.mountPath;
    drive.fileSystem = entry.fileSystem;
    drive.source = entry.source;
    drive.deviceId = entry.deviceId;
    if (lookups.deviceId) {
        drive.deviceId = lookups.deviceId(entry.mountPath).value_or(entry.deviceId);
    }
    std::string name = lookups.volumeLabel ? trimmed(lookups.volumeLabel(entry.source)) : "";
    if (name.empty()) {
        name = baseName(entry.mountPath);
    }
    drive.displayName = name + " (" + letter + ":)";
    return drive;
}

std::optional<std::uint64_t> mountRootDevice(const std::string& mountPath) {
    struct stat info {};
    if (::stat(mountPath.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_dev);
}

} // namespace

DriveTable DriveTable::readSystem() {
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    return fromMountInfo(text.str(), MountLookups{mountRootDevice, volumeLabelOf});
}

DriveTable DriveTable::fromMountInfo(std::string_view mountInfo, const MountLookups& lookups) {
    std::vector<Drive> drives;
    std::size_t nextLetter = 0;
    for (const MountEntry& entry : visibleDrives(parseMountInfo(mountInfo))) {
        if (entry.mountPath == "/") {
            drives.push_back(makeDrive(entry, 'C', lookups));
        } else if (nextLetter < OtherLetters.size()) {
            drives.push_back(makeDrive(entry, OtherLetters[nextLetter++], lookups));
        }
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return DriveTable(std::move(drives));
}

const Drive* DriveTable::find(char letter) const {
    const char upper =
        (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
    for (const Drive& drive : drives_) {
        if (drive.letter == upper) {
            return &drive;
        }
    }
    return nullptr;
}

const Drive* DriveTable::findByMountPath(std::string_view path) const {
    for (const Drive& drive : drives_) {
        if (drive.mountPath == path) {
            return &drive;
        }
    }
    return nullptr;
}
