#pragma once

#include "FileService.h"

// A test file open on a POSIX file descriptor, read and written at explicit offsets. Owns the
// descriptor: the destructor closes it when close() was not called.
class PosixTestFile : public TestFile {
public:
    explicit PosixTestFile(int fd) : fd_(fd) {}
    ~PosixTestFile() override;
    PosixTestFile(const PosixTestFile&) = delete;
    PosixTestFile& operator=(const PosixTestFile&) = delete;

    int write(std::int64_t offset, const std::uint8_t* data, std::size_t size) override;
    int read(std::int64_t offset, std::uint8_t* data, std::size_t size) override;
    int dropCache() override;
    void close() override;

private:
    int fd_;
};
