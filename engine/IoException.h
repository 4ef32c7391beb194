#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Text the error box shows for a result code: the fixed texts of the common codes,
// "I/O error <code>" for the others.
std::string ioErrorText(int code);

// The text an error message shows for an exception's text: closed with "." unless it is empty
// or its last character sorts at or before '.' in character-code order.
std::string errorMessageText(std::string_view what);

// A file operation outside the block cycle failed (creating or closing a test file, entering a
// folder). Carries the result code; what() is ioErrorText(code).
class IoException : public std::runtime_error {
public:
    explicit IoException(int code);
    int code() const noexcept { return code_; }

private:
    int code_;
};
