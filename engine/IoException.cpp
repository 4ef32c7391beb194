#include "IoException.h"

#include "ResultCodes.h"

std::string ioErrorText(int code) {
    switch (code) {
    case ResultCode::FileNotFound:
        return "File not found";
    case ResultCode::InvalidFilename:
        return "Invalid filename";
    case ResultCode::TooManyOpenFiles:
        return "Too many open files";
    case ResultCode::AccessDenied:
        return "File access denied";
    case ResultCode::ShortRead:
        return "Read beyond end of file";
    case ResultCode::ShortWrite:
        return "Disk full";
    case ResultCode::InvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

std::string errorMessageText(std::string_view what) {
    std::string text(what);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

IoException::IoException(int code) : std::runtime_error(ioErrorText(code)), code_(code) {}
