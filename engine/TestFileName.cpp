#include "TestFileName.h"

namespace {

void appendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

std::string resolveSeparator(const std::optional<std::string>& separator) {
    if (!separator || separator->size() > 1) {
        return ":";
    }
    return *separator;
}

} // namespace

TimeFormat composeTimeFormat(const LocaleTimeSettings& locale) {
    TimeFormat format;
    format.twentyFourHourClock = locale.twentyFourHourClock.value_or(false);
    format.hourLeadingZero = locale.hourLeadingZero.value_or(false);
    format.separator = resolveSeparator(locale.separator);
    format.designatorFirst = locale.designatorFirst.value_or(false);
    // An empty designator is the locale's word and stays empty; only an unreadable one falls back.
    format.amDesignator = locale.amDesignator.value_or("am");
    format.pmDesignator = locale.pmDesignator.value_or("pm");
    return format;
}

std::string formatTimeOfDay(const TimeFormat& format, TimeOfDay time) {
    int hour = time.hour;
    if (!format.twentyFourHourClock) {
        hour = hour % 12 == 0 ? 12 : hour % 12;
    }
    std::string text;
    if (format.hourLeadingZero || hour >= 10) {
        appendTwoDigits(text, hour);
    } else {
        text += static_cast<char>('0' + hour);
    }
    text += format.separator;
    appendTwoDigits(text, time.minute);
    text += format.separator;
    appendTwoDigits(text, time.second);
    if (format.twentyFourHourClock) {
        return text;
    }
    const std::string& designator = time.hour < 12 ? format.amDesignator : format.pmDesignator;
    if (format.designatorFirst) {
        return std::string(designator).append(" ").append(text);
    }
    return text.append(" ").append(designator);
}

std::string testFileLeafName(std::string_view timeText, int clash) {
    std::string name(timeText);
    if (clash > 1) {
        name.append("_").append(std::to_string(clash));
    }
    name += ".XXX";
    for (char& c : name) {
        if (c == ':') {
            c = '-';
        } else if (c == ' ') {
            c = '_';
        }
    }
    return name;
}
