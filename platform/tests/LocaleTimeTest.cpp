#include "LocaleTime.h"

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

struct FormatCase {
    const char* name;
    const char* timeFormat;
    const char* ampmFormat;
    std::optional<bool> twentyFourHourClock;
    std::optional<bool> hourLeadingZero;
    std::optional<std::string> separator;
    std::optional<bool> designatorFirst;
};

constexpr std::nullopt_t Unread = std::nullopt;

class LocaleFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(LocaleFormatTest, GivesTheSettingsTheNamingRulesNeed) {
    const FormatCase& c = GetParam();
    const LocaleTimeSettings settings =
        parseLocaleTimeFormat(c.timeFormat, c.ampmFormat, "AM", "PM");
    EXPECT_EQ(settings.twentyFourHourClock, c.twentyFourHourClock);
    EXPECT_EQ(settings.hourLeadingZero, c.hourLeadingZero);
    EXPECT_EQ(settings.separator, c.separator);
    EXPECT_EQ(settings.designatorFirst, c.designatorFirst);
    EXPECT_EQ(settings.amDesignator, "AM");
    EXPECT_EQ(settings.pmDesignator, "PM");
}

const char* const Ampm = "%I:%M:%S %p";

INSTANTIATE_TEST_SUITE_P(
    Table, LocaleFormatTest,
    testing::Values(FormatCase{"C", "%H:%M:%S", Ampm, true, true, ":", false},
                    FormatCase{"en_US", "%r", Ampm, false, true, ":", false},
                    FormatCase{"en_US_noZero", "%r", "%l:%M:%S %p", false, false, ":", false},
                    FormatCase{"glibcNoPadFlag", "%-I:%M:%S %p", Ampm, false, false, ":", false},
                    FormatCase{"glibcSpacePadFlag", "%_H:%M:%S", Ampm, true, false, ":", false},
                    FormatCase{"zeroPaddedK", "%0k:%M:%S", Ampm, true, true, ":", false},
                    FormatCase{"fi_FI", "%H.%M.%S", Ampm, true, true, ".", false},
                    FormatCase{"spacePaddedHour", "%k.%M.%S", Ampm, true, false, ".", false},
                    FormatCase{"composites", "%T", Ampm, true, true, ":", false},
                    FormatCase{"shortComposite", "%R", Ampm, true, true, ":", false},
                    FormatCase{"ko_KR", "%p %I:%M:%S", Ampm, false, true, ":", true},
                    FormatCase{"designatorViaR", "%r", "%p %l:%M:%S", false, false, ":", true},
                    FormatCase{"ko_KR_words", "%H시 %M분 %S초", Ampm, true, true, "시 ", false},
                    FormatCase{"letterSeparator", "%Hh%Mm%Ss", Ampm, true, true, "h", false},
                    FormatCase{"noSeparator", "%H%M%S", Ampm, true, true, "", false},
                    FormatCase{"alternativeDigits", "%OH:%OM:%OS", Ampm, true, true, ":", false},
                    FormatCase{"width", "%2H:%M:%S", Ampm, true, true, ":", false},
                    FormatCase{"secondsBeforeMinutes", "%H:%S:%M", Ampm, true, true, Unread, false},
                    FormatCase{"noHour", "%M:%S", Ampm, Unread, Unread, Unread, Unread},
                    FormatCase{"empty", "", Ampm, Unread, Unread, Unread, Unread},
                    FormatCase{"selfReference", "%X", Ampm, Unread, Unread, Unread, Unread},
                    FormatCase{"ampmSelfReference", "%r", "%r", Unread, Unread, Unread, Unread},
                    FormatCase{"percentLiteral", "%%H %H:%M", Ampm, true, true, ":", false}),
    [](const testing::TestParamInfo<FormatCase>& param) { return std::string(param.param.name); });

TEST(LocaleTime, DesignatorsAreTakenAsTheLocaleWritesThem) {
    const LocaleTimeSettings empty = parseLocaleTimeFormat("%H:%M:%S", "", "", "");
    EXPECT_EQ(empty.amDesignator, "");
    EXPECT_EQ(empty.pmDesignator, "");

    const LocaleTimeSettings lower = parseLocaleTimeFormat("%I:%M:%S %P", "", "AM", "PM");
    EXPECT_EQ(lower.amDesignator, "am");
    EXPECT_EQ(lower.pmDesignator, "pm");
}

// The naming rules fall back to ":" when the separator is longer than one character.
TEST(LocaleTime, MultiCharacterSeparatorFallsBackInTheName) {
    const TimeFormat format =
        composeTimeFormat(parseLocaleTimeFormat("%H시 %M분 %S초", Ampm, "오전", "오후"));
    EXPECT_EQ(formatTimeOfDay(format, {9, 4, 5}), "09:04:05");
}

class RealLocaleTest : public testing::TestWithParam<const char*> {
protected:
    void TearDown() override { std::setlocale(LC_TIME, "C"); }
};

TEST_P(RealLocaleTest, ReadsTheTwentyFourHourClockOfTheCLocale) {
    if (std::setlocale(LC_TIME, GetParam()) == nullptr) {
        GTEST_SKIP() << "locale " << GetParam() << " is not installed";
    }
    const LocaleTimeSettings settings = readLocaleTimeSettings();
    EXPECT_EQ(settings.twentyFourHourClock, true);
    EXPECT_EQ(settings.hourLeadingZero, true);
    EXPECT_EQ(settings.separator, ":");
    EXPECT_EQ(settings.amDesignator, "AM");
    EXPECT_EQ(settings.pmDesignator, "PM");
    EXPECT_EQ(formatTimeOfDay(composeTimeFormat(settings), {9, 4, 5}), "09:04:05");
}

INSTANTIATE_TEST_SUITE_P(Installed, RealLocaleTest, testing::Values("C", "C.UTF-8"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             return param.index == 0 ? std::string("C") : std::string("C_UTF8");
                         });

class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            saved_ = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> saved_;
};

int secondOfDay(const TimeOfDay& time) {
    return time.hour * 3600 + time.minute * 60 + time.second;
}

TEST(LocaleTime, CurrentTimeOfDayIsTheLocalTime) {
    struct Zone {
        const char* tz;
        int offsetSeconds;
    };
    for (const Zone zone : {Zone{"UTC0", 0}, Zone{"ABC-3:30", 3 * 3600 + 1800}}) {
        const TimeZone set(zone.tz);
        const std::time_t before = std::time(nullptr);
        const int seconds = secondOfDay(currentTimeOfDay());
        const std::time_t after = std::time(nullptr);
        const auto local = [&](std::time_t t) {
            return static_cast<int>((t + zone.offsetSeconds) % 86400);
        };
        EXPECT_TRUE(seconds == local(before) || seconds == local(after))
            << zone.tz << ": " << seconds << " not " << local(before);
    }
}

} // namespace
