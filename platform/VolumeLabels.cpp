#include "VolumeLabels.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <memory>

namespace {

constexpr const char* LabelFolder = "/dev/disk/by-label";

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

std::string decodeLabelLinkName(const std::string& name) {
    std::string decoded;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            hexValue(name[i + 2]) >= 0 && hexValue(name[i + 3]) >= 0) {
            decoded += static_cast<char>(hexValue(name[i + 2]) * 16 + hexValue(name[i + 3]));
            i += 3;
        } else {
            decoded += name[i];
        }
    }
    return decoded;
}

std::string volumeLabelOf(const std::string& source) {
    if (source.empty() || source[0] != '/') {
        return {};
    }
    const std::string device = resolved(source);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(LabelFolder));
    if (device.empty() || !dir) {
        return {};
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name[0] != '.' && resolved(std::string(LabelFolder) + "/" + name) == device) {
            return decodeLabelLinkName(name);
        }
    }
    return {};
}
