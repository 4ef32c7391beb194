#include "IoException.h"

#include <gtest/gtest.h>

namespace {

TEST(IoException, TextFollowsTheCode) {
    const std::pair<int, const char*> cases[] = {{2, "File not found"},
                                                 {3, "Invalid filename"},
                                                 {4, "Too many open files"},
                                                 {5, "File access denied"},
                                                 {100, "Read beyond end of file"},
                                                 {101, "Disk full"},
                                                 {106, "Invalid numeric input"},
                                                 {112, "I/O error 112"},
                                                 {1117, "I/O error 1117"},
                                                 {21, "I/O error 21"}};
    for (const auto& [code, text] : cases) {
        const IoException error(code);
        EXPECT_EQ(error.code(), code);
        EXPECT_STREQ(error.what(), text) << code;
    }
}

TEST(ErrorMessageText, ClosesWithAFullStopWhenTheLastCharacterSortsAfterIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"File access denied", "File access denied."},
        {"I/O error 1117", "I/O error 1117."},
        {"a/", "a/."},
        {"Done.", "Done."},
        {"a-", "a-"},
        {"Stop!", "Stop!"},
        {"caf\xC3\xA9", "caf\xC3\xA9."},
        {"", ""}};
    for (const auto& [what, shown] : cases) {
        EXPECT_EQ(errorMessageText(what), shown) << what;
    }
}

} // namespace
