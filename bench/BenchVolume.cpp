#include "BenchVolume.h"

#include <dirent.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

BenchVolume::BenchVolume(std::int64_t bytes) {
    char folder[] = "/tmp/orvalin-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        throw std::runtime_error("cannot make a folder in /tmp");
    }
    path_ = folder;
    const std::string options = "size=" + std::to_string(bytes);
    if (mount("tmpfs", folder, "tmpfs", 0, options.c_str()) != 0) {
        rmdir(folder);
        throw std::runtime_error("cannot mount a tmpfs volume (benchmarks run as root)");
    }
}

BenchVolume::~BenchVolume() {
    empty();
    umount2(path_.c_str(), MNT_DETACH);
    rmdir(path_.c_str());
}

DriveTable BenchVolume::table() const {
    struct stat root {};
    stat(path_.c_str(), &root);
    Drive drive;
    drive.letter = 'E';
    drive.mountPath = path_;
    drive.displayName = "bench (E:)";
    drive.fileSystem = "tmpfs";
    drive.source = "tmpfs";
    drive.deviceId = static_cast<std::uint64_t>(root.st_dev);
    return DriveTable({drive});
}

std::int64_t BenchVolume::fileBytes(const std::string& name) const {
    struct stat info {};
    if (stat((path_ + "/" + name).c_str(), &info) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>(info.st_size);
}

void BenchVolume::empty() const {
    DIR* folder = opendir(path_.c_str());
    if (folder == nullptr) {
        return;
    }
    while (dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            unlink((path_ + "/" + name).c_str());
        }
    }
    closedir(folder);
}
