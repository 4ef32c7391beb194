#include "ErrnoMap.h"

#include "ResultCodes.h"

#include <cerrno>

namespace {

// Any other error shows as the system's own number, unless that number is one the run acts on:
// only the errors above may read as a taken name, a short transfer or a full disk.
int passedThrough(int error) {
    switch (error) {
    case ResultCode::FileExists:
    case ResultCode::ShortRead:
    case ResultCode::ShortWrite:
    case ResultCode::DiskFull:
        return ResultCode::DeviceIoError;
    default:
        return error;
    }
}

} // namespace

int resultCodeFromErrno(int error) {
    switch (error) {
    case 0:
        return ResultCode::Success;
    case ENOSPC:
    case EDQUOT:
        return ResultCode::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ResultCode::AccessDenied;
    case ENOENT:
    case ENOTDIR:
        return ResultCode::FileNotFound;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return ResultCode::InvalidFilename;
    case EMFILE:
    case ENFILE:
        return ResultCode::TooManyOpenFiles;
    case EEXIST:
        return ResultCode::FileExists;
    case EIO:
        return ResultCode::DeviceIoError;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ENOTCONN:
    case ECONNABORTED:
    case ESHUTDOWN:
    // A network volume that cannot be reached. Their numbers would otherwise read as a short
    // read, a short write or a full disk, and a full disk ends a run without a word.
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
        return ResultCode::NotReady;
    default:
        return passedThrough(error);
    }
}
