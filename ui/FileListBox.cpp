#include "FileListBox.h"

#include "FolderPaths.h"
#include "Folders.h"
#include "IoException.h"
#include "ListItemDelegate.h"

#include <cmath>

namespace {

constexpr int ItemHeight = 13;

} // namespace

FileListBox::FileListBox(double scale, QWidget* parent) : QListWidget(parent) {
    setItemDelegate(
        new ListItemDelegate(static_cast<int>(std::lround(ItemHeight * scale)), 0, this));
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    directory_ = currentFolder();
    std::vector<std::string> names;
    if (!directory_.empty() && listFiles(directory_, names) == 0) {
        showFiles(std::move(names));
    }
}

void FileListBox::setDirectory(const std::string& path) {
    if (path == directory_) {
        return;
    }
    std::vector<std::string> names;
    if (const int code = listFiles(path, names)) {
        throw IoException(code);
    }
    if (const int code = changeCurrentFolder(path)) {
        throw IoException(code);
    }
    directory_ = path;
    showFiles(std::move(names));
}

void FileListBox::Refresh() {
    viewport()->update();
}

void FileListBox::showFiles(std::vector<std::string> names) {
    clear();
    sortIgnoringCase(names);
    for (const std::string& name : names) {
        addItem(QString::fromStdString(name));
    }
}
