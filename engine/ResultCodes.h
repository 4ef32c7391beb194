#pragma once

// Result codes of file operations, in one number space across every platform: the codes the
// error texts and the log show. 0 is success.
namespace ResultCode {
constexpr int Success = 0;
constexpr int FileNotFound = 2;
constexpr int InvalidFilename = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int NotReady = 21; // the medium or its driver is gone
constexpr int FileExists = 80;
constexpr int ShortRead = 100;
constexpr int ShortWrite = 101;
constexpr int InvalidNumericInput = 106;
constexpr int DiskFull = 112;
constexpr int DeviceIoError = 1117;
} // namespace ResultCode
