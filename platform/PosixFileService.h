#pragma once

#include "DriveTable.h"
#include "FileService.h"

// The file and volume services on POSIX. Every query first checks that the drive's mount path
// still leads to the drive's file system; when it does not, the drive is gone: the queries give
// -1 and nothing is created there (create gives NotReady).
class PosixFileService : public FileService {
public:
    explicit PosixFileService(DriveTable table) : table_(std::move(table)) {}

    std::int64_t DiskFree(int driveNum) override;
    std::int64_t DiskSize(int driveNum) override;
    std::string rootPath(char driveLetter) override;
    CreateResult create(char driveLetter, const std::string& path) override;

    const DriveTable& table() const { return table_; }

private:
    const Drive* driveOfNumber(int driveNum) const;

    DriveTable table_;
};
