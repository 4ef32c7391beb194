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
        return ResultCode::NotReady;
    default:
        return error;
    }
}
