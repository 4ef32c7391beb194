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

namespace {

constexpr std::int64_t WritebackChunk = 4 * 1024 * 1024;

// When a write starts a new chunk, the chunk before it is finished: the kernel is asked to start
// writing it to the medium while the run goes on. Left to itself it writes 512-byte appends back
// in bursts, and the medium idles in between. This only starts the writeback; it waits for nothing.
void startWriteback(int fd, std::int64_t offset) {
    if (offset % WritebackChunk == 0 && offset >= WritebackChunk) {
        ::sync_file_range(fd, offset - WritebackChunk, WritebackChunk, SYNC_FILE_RANGE_WRITE);
    }
}

} // namespace

// A short count is reported as it is, not completed: completing it could meet a full volume and
// end the run quietly with part of a block in the file.
int PosixTestFile::write(std::int64_t offset, const std::uint8_t* data, std::size_t size) {
    startWriteback(fd_, offset);
    ssize_t written = 0;
    do {
        written = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        return resultCodeFromErrno(errno);
    }
    return static_cast<std::size_t>(written) == size ? ResultCode::Success : ResultCode::ShortWrite;
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
