#include "PosixFileService.h"

#include "ErrnoMap.h"
#include "PosixTestFile.h"
#include "ResultCodes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// An open folder descriptor, closed on every way out.
class FolderHandle {
public:
    explicit FolderHandle(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~FolderHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool onDevice(int fd, std::uint64_t deviceId) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_dev) == deviceId;
}

enum class VolumeQuery { Free, Size };

// The query runs on the opened mount root, so the file system checked is the one measured.
std::int64_t queryVolume(const Drive* drive, VolumeQuery query) {
    if (drive == nullptr) {
        return -1;
    }
    const FolderHandle root(drive->mountPath);
    struct statvfs info {};
    if (root.fd() < 0 || !onDevice(root.fd(), drive->deviceId) ||
        ::fstatvfs(root.fd(), &info) != 0) {
        return -1;
    }
    const auto blocks = query == VolumeQuery::Free ? info.f_bavail : info.f_blocks;
    return static_cast<std::int64_t>(blocks * info.f_frsize);
}

} // namespace

const Drive* PosixFileService::driveOfNumber(int driveNum) const {
    if (driveNum < 1 || driveNum > 26) {
        return nullptr;
    }
    return table_.find(static_cast<char>('A' + driveNum - 1));
}

std::int64_t PosixFileService::DiskFree(int driveNum) {
    return queryVolume(driveOfNumber(driveNum), VolumeQuery::Free);
}

std::int64_t PosixFileService::DiskSize(int driveNum) {
    return queryVolume(driveOfNumber(driveNum), VolumeQuery::Size);
}

std::string PosixFileService::rootPath(char driveLetter) {
    const Drive* drive = table_.find(driveLetter);
    if (drive == nullptr) {
        return {};
    }
    return drive->mountPath.ends_with('/') ? drive->mountPath : drive->mountPath + "/";
}

// The file is made relative to its folder opened beforehand, and both are checked to be on the
// drive: when the medium has gone, the path leads to the disk underneath, which must stay clean.
CreateResult PosixFileService::create(char driveLetter, const std::string& path) {
    const Drive* drive = table_.find(driveLetter);
    const std::size_t slash = path.find_last_of('/');
    if (drive == nullptr || slash == std::string::npos) {
        return {ResultCode::NotReady, nullptr};
    }
    const FolderHandle folder(slash == 0 ? "/" : path.substr(0, slash));
    if (folder.fd() < 0) {
        return {resultCodeFromErrno(errno), nullptr};
    }
    if (!onDevice(folder.fd(), drive->deviceId)) {
        return {ResultCode::NotReady, nullptr};
    }
    const std::string leaf = path.substr(slash + 1);
    const int fd = ::openat(folder.fd(), leaf.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0) {
        return {resultCodeFromErrno(errno), nullptr};
    }
    if (!onDevice(fd, drive->deviceId)) {
        ::unlinkat(folder.fd(), leaf.c_str(), 0);
        ::close(fd);
        return {ResultCode::NotReady, nullptr};
    }
    return {ResultCode::Success, std::make_unique<PosixTestFile>(fd)};
}
