#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One line of /proc/self/mountinfo, with its escaped fields decoded.
struct MountEntry {
    std::string mountPath;
    std::string fileSystem;
    std::string source;
    std::uint64_t deviceId = 0; // the line's major:minor, as st_dev encodes it
};

// The entries of mountinfo text in table order; malformed lines are left out.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// A mountinfo field with its octal escapes ("\040" for a space) turned back into characters.
std::string decodeMountField(std::string_view field);
