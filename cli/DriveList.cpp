#include "DriveList.h"

#include "IntToStrWithCommas.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr std::size_t ColumnCount = 5;
using Row = std::array<std::string, ColumnCount>;
// Numbers are right-aligned so that their digit groups line up.
constexpr std::array<bool, ColumnCount> RightAligned{false, false, false, true, true};
constexpr const char* ColumnGap = "  ";

// Characters of UTF-8 text: every byte except continuation bytes starts one.
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
}

Row rowFor(const Drive& drive, FileService& files) {
    const int driveNum = driveNumber(drive.letter);
    return {std::string{drive.letter, ':'}, drive.displayName, drive.mountPath,
            IntToStrWithCommas(files.DiskSize(driveNum)),
            IntToStrWithCommas(files.DiskFree(driveNum))};
}

std::string layOut(const Row& row, const std::array<std::size_t, ColumnCount>& widths) {
    std::string line;
    for (std::size_t column = 0; column < ColumnCount; ++column) {
        const std::string padding(widths[column] - displayWidth(row[column]), ' ');
        if (column > 0) {
            line += ColumnGap;
        }
        if (RightAligned[column]) {
            line += padding + row[column];
        } else {
            line += row[column];
            if (column + 1 < ColumnCount) {
                line += padding;
            }
        }
    }
    return line;
}

} // namespace

std::vector<std::string> driveListLines(const std::vector<Drive>& drives, FileService& files) {
    std::vector<Row> rows{{"Drive", "Name", "Mount path", "Size (bytes)", "Free (bytes)"}};
    for (const Drive& drive : drives) {
        rows.push_back(rowFor(drive, files));
    }
    std::array<std::size_t, ColumnCount> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < ColumnCount; ++column) {
            widths[column] = std::max(widths[column], displayWidth(row[column]));
        }
    }
    std::vector<std::string> lines;
    for (const Row& row : rows) {
        lines.push_back(layOut(row, widths));
    }
    return lines;
}
