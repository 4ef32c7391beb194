#include "ErrnoMap.h"

#include "ResultCodes.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct ErrnoCase {
    int error;
    int code;
};

class ErrnoMapTest : public testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrnoMapTest, MapsToTheCodeTheLogAndErrorBoxShow) {
    EXPECT_EQ(resultCodeFromErrno(GetParam().error), GetParam().code)
        << "errno " << GetParam().error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrnoMapTest,
    testing::Values(
        ErrnoCase{0, ResultCode::Success}, ErrnoCase{ENOSPC, ResultCode::DiskFull},
        ErrnoCase{EDQUOT, ResultCode::DiskFull}, ErrnoCase{EACCES, ResultCode::AccessDenied},
        ErrnoCase{EPERM, ResultCode::AccessDenied}, ErrnoCase{EROFS, ResultCode::AccessDenied},
        ErrnoCase{ENOENT, ResultCode::FileNotFound}, ErrnoCase{ENOTDIR, ResultCode::FileNotFound},
        ErrnoCase{ENAMETOOLONG, ResultCode::InvalidFilename},
        ErrnoCase{EINVAL, ResultCode::InvalidFilename},
        ErrnoCase{EILSEQ, ResultCode::InvalidFilename},
        ErrnoCase{EMFILE, ResultCode::TooManyOpenFiles},
        ErrnoCase{ENFILE, ResultCode::TooManyOpenFiles}, ErrnoCase{EEXIST, ResultCode::FileExists},
        ErrnoCase{EIO, ResultCode::DeviceIoError}, ErrnoCase{ENXIO, ResultCode::NotReady},
        ErrnoCase{ENODEV, ResultCode::NotReady}, ErrnoCase{ENOMEDIUM, ResultCode::NotReady},
        ErrnoCase{ENOTCONN, ResultCode::NotReady}, ErrnoCase{ECONNABORTED, ResultCode::NotReady},
        ErrnoCase{ESHUTDOWN, ResultCode::NotReady}, ErrnoCase{ENETDOWN, ResultCode::NotReady},
        ErrnoCase{ENETUNREACH, ResultCode::NotReady}, ErrnoCase{EHOSTDOWN, ResultCode::NotReady},
        ErrnoCase{EHOSTUNREACH, ResultCode::NotReady}, ErrnoCase{EISDIR, ResultCode::AccessDenied},
        // Anything else is shown as the system's own number.
        ErrnoCase{EBUSY, EBUSY}, ErrnoCase{EFBIG, EFBIG}, ErrnoCase{EBADF, EBADF}));

// Linux numbers some network errors 100, 101 and 112, and another 80; passed through they would
// pass for a short read, a short write, a full disk (which ends a run silently) or a taken name.
TEST(ErrnoMap, OnlyTheirOwnErrorsGiveTheCodesTheRunActsOn) {
    for (int error = 1; error < 4096; ++error) {
        const int code = resultCodeFromErrno(error);
        if (code == ResultCode::DiskFull) {
            EXPECT_TRUE(error == ENOSPC || error == EDQUOT) << "errno " << error;
        }
        if (code == ResultCode::FileExists) {
            EXPECT_EQ(error, EEXIST);
        }
        EXPECT_NE(code, ResultCode::ShortRead) << "errno " << error;
        EXPECT_NE(code, ResultCode::ShortWrite) << "errno " << error;
    }
}

} // namespace
