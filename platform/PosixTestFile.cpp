#include "PosixTestFile.h"

#include "ErrnoMap.h"
#include "IoException.h"
#include "ResultCodes.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

PosixTestFile::~PosixTestFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int PosixTestFile::write(std::int64_t offset, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::pwrite(fd_, data + done, size - done,
                                         static_cast<off_t>(offset + static_cast<off_t>(done)));
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written == 0) {
            return ResultCode::ShortWrite;
        } else if (errno != EINTR) {
            return resultCodeFromErrno(errno);
        }
    }
    return ResultCode::Success;
}

int PosixTestFile::read(std::int64_t offset, std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd_, data + done, size - done,
                                    static_cast<off_t>(offset + static_cast<off_t>(done)));
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got == 0) {
            return ResultCode::ShortRead;
        } else if (errno != EINTR) {
            return resultCodeFromErrno(errno);
        }
    }
    return ResultCode::Success;
}

int PosixTestFile::dropCache() {
    if (::fdatasync(fd_) != 0) {
        return resultCodeFromErrno(errno);
    }
    // posix_fadvise gives its error as the result, not in errno.
    return resultCodeFromErrno(::posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED));
}

void PosixTestFile::close() {
    if (fd_ < 0) {
        return;
    }
    const int result = ::close(fd_);
    const int error = errno;
    fd_ = -1;
    if (result != 0) {
        throw IoException(resultCodeFromErrno(error));
    }
}
