#include "FolderPaths.h"

#include <QString>

#include <algorithm>

namespace {

bool holds(std::string_view root, std::string_view path) {
    if (root == "/" || root == path) {
        return true;
    }
    return path.size() > root.size() && path.starts_with(root) && path[root.size()] == '/';
}

} // namespace

const Drive* driveHolding(const DriveTable& drives, std::string_view path) {
    const Drive* deepest = nullptr;
    for (const Drive& drive : drives.drives()) {
        if (holds(drive.mountPath, path) &&
            (deepest == nullptr || drive.mountPath.size() > deepest->mountPath.size())) {
            deepest = &drive;
        }
    }
    return deepest;
}

std::vector<std::string> folderChain(std::string_view root, std::string_view path) {
    std::vector<std::string> chain{std::string(root)};
    std::size_t at = root == "/" ? 1 : root.size() + 1;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        if (end > at) {
            chain.emplace_back(path.substr(0, end));
        }
        at = end + 1;
    }
    return chain;
}

std::string childPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

void sortIgnoringCase(std::vector<std::string>& names) {
    struct Keyed {
        QString key;
        std::string name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) {
        keyed.push_back({QString::fromStdString(name), std::move(name)});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int order = QString::compare(a.key, b.key, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = std::move(keyed[i].name);
    }
}
