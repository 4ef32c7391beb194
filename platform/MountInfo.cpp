#include "MountInfo.h"

#include <algorithm>
#include <charconv>
#include <sys/sysmacros.h>

namespace {

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        if (end > pos) {
            fields.push_back(line.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return fields;
}

bool parseDeviceNumber(std::string_view text, std::uint64_t& deviceId) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    unsigned major = 0;
    unsigned minor = 0;
    const char* end = text.data() + text.size();
    const auto majorParsed = std::from_chars(text.data(), text.data() + colon, major);
    const auto minorParsed = std::from_chars(text.data() + colon + 1, end, minor);
    if (majorParsed.ec != std::errc() || minorParsed.ec != std::errc() || minorParsed.ptr != end) {
        return false;
    }
    deviceId = makedev(major, minor);
    return true;
}

// Fields: id, parent, major:minor, root, mount point, options, optional fields..., "-",
// file system type, source, super options.
bool parseLine(std::string_view line, MountEntry& entry) {
    const std::vector<std::string_view> fields = splitFields(line);
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") {
        ++dash;
    }
    if (dash + 2 >= fields.size() || !parseDeviceNumber(fields[2], entry.deviceId)) {
        return false;
    }
    entry.mountPath = decodeMountField(fields[4]);
    entry.fileSystem = decodeMountField(fields[dash + 1]);
    entry.source = decodeMountField(fields[dash + 2]);
    return true;
}

} // namespace

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        MountEntry entry;
        if (parseLine(text.substr(pos, end - pos), entry)) {
            entries.push_back(std::move(entry));
        }
        pos = end + 1;
    }
    return entries;
}

std::string decodeMountField(std::string_view field) {
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) &&
            isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            decoded += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                         (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}
