#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One open test file. Offsets and sizes are in bytes. Results are codes (ResultCodes.h):
// 0 on success, the platform's error mapped to a code otherwise.
class TestFile {
public:
    virtual ~TestFile() = default;
    // Writes size bytes at offset; ShortWrite when fewer were written, DiskFull when full.
    virtual int write(std::int64_t offset, const std::uint8_t* data, std::size_t size) = 0;
    // Reads size bytes at offset; ShortRead when fewer arrived, end of file included.
    virtual int read(std::int64_t offset, std::uint8_t* data, std::size_t size) = 0;
    // Puts everything written on the medium and drops it from the cache, so that later reads
    // come from the medium.
    virtual int dropCache() = 0;
    // Throws IoException when the close fails; the file is released either way.
    virtual void close() = 0;
};

struct CreateResult {
    int code = 0;                   // FileExists when the name is taken
    std::unique_ptr<TestFile> file; // set when code is 0
};

// The number the volume queries take for a drive letter: 1 for 'A', 2 for 'B', ...
constexpr int driveNumber(char letter) {
    return letter - 'A' + 1;
}

// The volume and file services of the drives, named by letter ('A' to 'Z') or number (1 = A).
class FileService {
public:
    virtual ~FileService() = default;
    // Bytes available to the user on the drive; -1 when the query fails or the drive is gone.
    virtual std::int64_t DiskFree(int driveNum) = 0;
    // Total bytes of the drive; -1 when the query fails or the drive is gone.
    virtual std::int64_t DiskSize(int driveNum) = 0;
    // The drive's root folder with a trailing separator; empty when the letter names no drive.
    virtual std::string rootPath(char driveLetter) = 0;
    // Creates path for reading and writing, never replacing an existing file, and only on the
    // file system of the drive.
    virtual CreateResult create(char driveLetter, const std::string& path) = 0;
};
