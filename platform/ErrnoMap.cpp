#include "ErrnoMap.h"

#include "ResultCodes.h"

#include <cerrno>

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
        return error;
    }
}
