#include "IntToStrWithCommas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

struct Case {
    std::int64_t value;
    const char* text;
};

class Grouping : public testing::TestWithParam<Case> {};

TEST_P(Grouping, PutsCommaBetweenGroupsOfThree) {
    EXPECT_EQ(IntToStrWithCommas(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Grouping,
    testing::Values(Case{0, "0"}, Case{7, "7"}, Case{512, "512"}, Case{999, "999"},
                    Case{1000, "1,000"}, Case{1024, "1,024"}, Case{8192, "8,192"},
                    Case{100000, "100,000"}, Case{1048576, "1,048,576"}, Case{4194304, "4,194,304"},
                    Case{2147483648, "2,147,483,648"}, Case{-1, "-1"}, Case{-100, "-100"},
                    Case{-1024, "-1,024"},
                    Case{std::numeric_limits<std::int64_t>::max(), "9,223,372,036,854,775,807"},
                    Case{std::numeric_limits<std::int64_t>::min(), "-9,223,372,036,854,775,808"}));

TEST(Grouping, AppendKeepsWhatWasThere) {
    std::string text = "Testing block ";
    appendIntWithCommas(text, 12345);
    EXPECT_EQ(text, "Testing block 12,345");
}

} // namespace
