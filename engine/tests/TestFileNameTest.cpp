#include "TestFileName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NamingCase {
    const char* name;
    LocaleTimeSettings locale;
    TimeOfDay time;
    const char* fileName;
    friend void PrintTo(const NamingCase& c, std::ostream* os) { *os << c.name; }
};

LocaleTimeSettings english12() {
    return {false, false, ":", false, "AM", "PM"};
}

LocaleTimeSettings with(LocaleTimeSettings locale, void (*change)(LocaleTimeSettings&)) {
    change(locale);
    return locale;
}

class Naming : public testing::TestWithParam<NamingCase> {};

TEST_P(Naming, ComposesTheLocaleTimeAndReplacesColonsAndSpaces) {
    const TimeFormat format = composeTimeFormat(GetParam().locale);
    EXPECT_EQ(testFileLeafName(formatTimeOfDay(format, GetParam().time)), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, Naming,
    testing::Values(
        NamingCase{"TwelveHourAfternoon", english12(), {15, 4, 5}, "3-04-05_PM.XXX"},
        NamingCase{"TwelveHourMidnight", english12(), {0, 0, 9}, "12-00-09_AM.XXX"},
        NamingCase{"TwelveHourNoon", english12(), {12, 30, 0}, "12-30-00_PM.XXX"},
        NamingCase{"TwelveHourMorningLeadingZero",
                   with(english12(), [](LocaleTimeSettings& l) { l.hourLeadingZero = true; }),
                   {9, 4, 5},
                   "09-04-05_AM.XXX"},
        NamingCase{"TwentyFourHourLeadingZero",
                   {true, true, ":", false, "", ""},
                   {9, 4, 5},
                   "09-04-05.XXX"},
        NamingCase{"TwentyFourHourNoLeadingZero",
                   {true, false, ":", false, "", ""},
                   {9, 4, 5},
                   "9-04-05.XXX"},
        NamingCase{"TwentyFourHourEvening",
                   {true, false, ":", false, "", ""},
                   {23, 59, 58},
                   "23-59-58.XXX"},
        NamingCase{"DotSeparator", {true, true, ".", false, "", ""}, {15, 4, 5}, "15.04.05.XXX"},
        NamingCase{"EmptySeparator", {true, true, "", false, "", ""}, {15, 4, 5}, "150405.XXX"},
        NamingCase{"LongSeparatorFallsBackToColon",
                   {true, true, "::", false, "", ""},
                   {15, 4, 5},
                   "15-04-05.XXX"},
        NamingCase{"EmptyDesignatorKeepsTheSpace",
                   with(english12(), [](LocaleTimeSettings& l) { l.pmDesignator = ""; }),
                   {15, 4, 5},
                   "3-04-05_.XXX"},
        NamingCase{"DesignatorFirst",
                   with(english12(), [](LocaleTimeSettings& l) { l.designatorFirst = true; }),
                   {15, 4, 5},
                   "PM_3-04-05.XXX"},
        NamingCase{"OtherCharactersPassThrough",
                   with(english12(), [](LocaleTimeSettings& l) { l.pmDesignator = "p.m./x"; }),
                   {15, 4, 5},
                   "3-04-05_p.m./x.XXX"},
        NamingCase{"UnreadableLocale", {}, {15, 4, 5}, "3-04-05_pm.XXX"},
        NamingCase{"UnreadableClockIsTwelveHour",
                   {std::nullopt, true, ":", false, "AM", "PM"},
                   {21, 4, 5},
                   "09-04-05_PM.XXX"},
        NamingCase{"UnreadableSeparatorIsColon",
                   {true, true, std::nullopt, false, "", ""},
                   {21, 4, 5},
                   "21-04-05.XXX"}),
    [](const testing::TestParamInfo<NamingCase>& param) { return param.param.name; });

TEST(Naming, ClashNumberStandsBeforeTheExtension) {
    EXPECT_EQ(testFileLeafName("3:04:05 PM", 2), "3-04-05_PM_2.XXX");
    EXPECT_EQ(testFileLeafName("15.04.05", 17), "15.04.05_17.XXX");
}

} // namespace
