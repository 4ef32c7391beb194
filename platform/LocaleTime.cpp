#include "LocaleTime.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// "%X" inside the time format, or "%r" inside the 12-hour format, would expand forever.
constexpr int MaxExpansionDepth = 4;

// One piece of a format: a conversion such as 'H' with its glibc flag ('-', '_', '0', ...), or
// literal text (conversion '\0').
struct Piece {
    char conversion = '\0';
    char flag = '\0';
    std::string text;
};

struct Formats {
    std::string_view time;
    std::string_view ampm;
};

void appendLiteral(std::vector<Piece>& pieces, std::string_view text) {
    if (pieces.empty() || pieces.back().conversion != '\0') {
        pieces.push_back(Piece{});
    }
    pieces.back().text += text;
}

void tokenize(std::string_view format, const Formats& formats, int depth,
              std::vector<Piece>& pieces);

void expandConversion(char conversion, char flag, const Formats& formats, int depth,
                      std::vector<Piece>& pieces) {
    switch (conversion) {
    case 'T':
        tokenize("%H:%M:%S", formats, depth, pieces);
        break;
    case 'R':
        tokenize("%H:%M", formats, depth, pieces);
        break;
    case 'r':
        tokenize(formats.ampm, formats, depth + 1, pieces);
        break;
    case 'X':
        tokenize(formats.time, formats, depth + 1, pieces);
        break;
    case '%':
        appendLiteral(pieces, "%");
        break;
    case 'n':
        appendLiteral(pieces, "\n");
        break;
    case 't':
        appendLiteral(pieces, "\t");
        break;
    default:
        pieces.push_back(Piece{conversion, flag, {}});
    }
}

// Splits a strftime format into conversions and literal text, expanding the composite
// conversions. Field widths and the E and O modifiers do not change which field is written.
void tokenize(std::string_view format, const Formats& formats, int depth,
              std::vector<Piece>& pieces) {
    if (depth > MaxExpansionDepth) {
        return;
    }
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            const std::size_t next = std::min(format.find('%', i), format.size());
            appendLiteral(pieces, format.substr(i, next - i));
            i = next;
            continue;
        }
        ++i;
        char flag = '\0';
        while (i < format.size() &&
               std::string_view("-_0^#").find(format[i]) != std::string_view::npos) {
            flag = format[i++];
        }
        while (i < format.size() && (std::isdigit(static_cast<unsigned char>(format[i])) != 0 ||
                                     format[i] == 'E' || format[i] == 'O')) {
            ++i;
        }
        if (i < format.size()) {
            expandConversion(format[i++], flag, formats, depth, pieces);
        }
    }
}

bool isHour(char conversion) {
    return conversion == 'H' || conversion == 'k' || conversion == 'I' || conversion == 'l';
}

bool isDesignator(char conversion) {
    return conversion == 'p' || conversion == 'P';
}

bool hasLeadingZero(const Piece& hour) {
    if (hour.conversion == 'H' || hour.conversion == 'I') {
        return hour.flag != '-' && hour.flag != '_';
    }
    return hour.flag == '0';
}

// The text between the hour and the minutes; nullopt when the minutes do not follow the hour.
std::optional<std::string> separatorAfter(const std::vector<Piece>& pieces, std::size_t hour) {
    std::size_t next = hour + 1;
    std::string separator;
    if (next < pieces.size() && pieces[next].conversion == '\0') {
        separator = pieces[next].text;
        ++next;
    }
    if (next < pieces.size() && pieces[next].conversion == 'M') {
        return separator;
    }
    return std::nullopt;
}

std::string lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

} // namespace

LocaleTimeSettings parseLocaleTimeFormat(std::string_view timeFormat, std::string_view ampmFormat,
                                         std::string_view am, std::string_view pm) {
    std::vector<Piece> pieces;
    tokenize(timeFormat, Formats{timeFormat, ampmFormat}, 0, pieces);

    LocaleTimeSettings settings;
    std::size_t hour = 0;
    bool designatorSeen = false;
    while (hour < pieces.size() && !isHour(pieces[hour].conversion)) {
        designatorSeen = designatorSeen || isDesignator(pieces[hour].conversion);
        ++hour;
    }
    const bool lowerCaseDesignator = std::any_of(
        pieces.begin(), pieces.end(), [](const Piece& piece) { return piece.conversion == 'P'; });
    if (hour < pieces.size()) {
        const char conversion = pieces[hour].conversion;
        settings.twentyFourHourClock = conversion == 'H' || conversion == 'k';
        settings.hourLeadingZero = hasLeadingZero(pieces[hour]);
        settings.separator = separatorAfter(pieces, hour);
        settings.designatorFirst = designatorSeen;
    }
    // "%P" writes the designators in lower case.
    settings.amDesignator = lowerCaseDesignator ? lowered(am) : std::string(am);
    settings.pmDesignator = lowerCaseDesignator ? lowered(pm) : std::string(pm);
    return settings;
}

LocaleTimeSettings readUserLocaleTimeSettings() {
    std::setlocale(LC_TIME, "");
    return readLocaleTimeSettings();
}

LocaleTimeSettings readLocaleTimeSettings() {
    return parseLocaleTimeFormat(::nl_langinfo(T_FMT), ::nl_langinfo(T_FMT_AMPM),
                                 ::nl_langinfo(AM_STR), ::nl_langinfo(PM_STR));
}

TimeOfDay currentTimeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return {};
    }
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec};
}
