#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ProgressFigures {
    std::string_view status1;
    std::string_view status2;
    std::optional<std::int64_t> bytesPerSecond;
    std::int64_t bytesTested = 0;
    std::int64_t freeBytes = 0; // -1 when the query fails, shown as such
};

// One line such as "Testing block 12,345 | 6 MB | 45.3 MB/s | 6,320,640 bytes tested |
// 1,234,567 bytes free". MB is 1,048,576 bytes, as in the position; the speed is "--" while it
// is not known. Empty status texts are left out. Independent of the locale.
std::string progressLine(const ProgressFigures& figures);
