#include "DriveArgument.h"

#include <filesystem>
#include <system_error>

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isLetterArgument(std::string_view argument) {
    return (argument.size() == 1 && isAsciiLetter(argument[0])) ||
           (argument.size() == 2 && isAsciiLetter(argument[0]) && argument[1] == ':');
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return path;
}

const Drive* findByPath(const DriveTable& table, std::string_view argument) {
    if (const Drive* drive = table.findByMountPath(withoutTrailingSlashes(argument))) {
        return drive;
    }
    std::error_code error;
    const std::filesystem::path resolved =
        std::filesystem::canonical(std::filesystem::path(argument), error);
    return error ? nullptr : table.findByMountPath(resolved.native());
}

} // namespace

DriveChoice chooseDrive(const DriveTable& table, std::string_view argument) {
    if (isLetterArgument(argument)) {
        const char letter = upper(argument[0]);
        if (const Drive* drive = table.find(letter)) {
            return {drive, {}};
        }
        return {nullptr, std::string("no drive ") + letter + ": on this system"};
    }
    if (const Drive* drive = findByPath(table, argument)) {
        return {drive, {}};
    }
    return {nullptr, "'" + std::string(argument) + "' is not the root folder of a drive"};
}
