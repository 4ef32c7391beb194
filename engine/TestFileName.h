#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the user's locale says about the long time format; nullopt where it cannot be read.
struct LocaleTimeSettings {
    std::optional<bool> twentyFourHourClock;
    std::optional<bool> hourLeadingZero;
    std::optional<std::string> separator;
    std::optional<bool> designatorFirst;
    std::optional<std::string> amDesignator;
    std::optional<std::string> pmDesignator;
};

// The long time format composed from the locale, every fallback applied.
struct TimeFormat {
    bool twentyFourHourClock = false;
    bool hourLeadingZero = false;
    std::string separator = ":"; // empty or one character
    bool designatorFirst = false;
    std::string amDesignator = "am";
    std::string pmDesignator = "pm";
};

struct TimeOfDay {
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
};

TimeFormat composeTimeFormat(const LocaleTimeSettings& locale);

// The time of day written in format, e.g. "3:04:05 PM".
std::string formatTimeOfDay(const TimeFormat& format, TimeOfDay time);

// The file name made from a time text: ':' becomes '-', ' ' becomes '_', then ".XXX". From the
// second name on (clash 2, 3, ...) "_<clash>" stands before ".XXX", so no file is ever replaced.
std::string testFileLeafName(std::string_view timeText, int clash = 1);
