#include "IntToStrWithCommas.h"

#include <array>

void appendIntWithCommas(std::string& out, std::int64_t value) {
    // Work on the magnitude as unsigned so that INT64_MIN has a magnitude too.
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(value) + 1U : static_cast<std::uint64_t>(value);

    std::array<char, 32> text{};
    std::size_t start = text.size();
    int digitsInGroup = 0;
    do {
        if (digitsInGroup == 3) {
            text[--start] = ',';
            digitsInGroup = 0;
        }
        text[--start] = static_cast<char>('0' + magnitude % 10U);
        magnitude /= 10U;
        ++digitsInGroup;
    } while (magnitude != 0U);
    if (negative) {
        text[--start] = '-';
    }
    out.append(text.data() + start, text.size() - start);
}

std::string IntToStrWithCommas(std::int64_t value) {
    std::string text;
    appendIntWithCommas(text, value);
    return text;
}
