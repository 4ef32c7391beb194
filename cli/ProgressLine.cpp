#include "ProgressLine.h"

#include "IntToStrWithCommas.h"

namespace {

constexpr std::int64_t MB = 1024 * 1024;
constexpr std::string_view Separator = " | ";

std::string speedText(std::optional<std::int64_t> bytesPerSecond) {
    if (!bytesPerSecond || *bytesPerSecond < 0) {
        return "-- MB/s";
    }
    const std::int64_t tenths = (*bytesPerSecond * 10 + MB / 2) / MB;
    return IntToStrWithCommas(tenths / 10) + "." + std::to_string(tenths % 10) + " MB/s";
}

void appendPart(std::string& line, std::string_view part) {
    if (part.empty()) {
        return;
    }
    if (!line.empty()) {
        line += Separator;
    }
    line += part;
}

} // namespace

std::string progressLine(const ProgressFigures& figures) {
    std::string line;
    appendPart(line, figures.status1);
    appendPart(line, figures.status2);
    appendPart(line, speedText(figures.bytesPerSecond));
    appendPart(line, IntToStrWithCommas(figures.bytesTested) + " bytes tested");
    appendPart(line, IntToStrWithCommas(figures.freeBytes) + " bytes free");
    return line;
}
