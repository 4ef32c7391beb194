#include "DirectoryListBox.h"

#include "FolderPaths.h"
#include "Folders.h"
#include "HandlerExceptions.h"
#include "IoException.h"
#include "ListItemDelegate.h"
#include "ResultCodes.h"

#include <QSignalBlocker>
#include <QStyle>

#include <cctype>
#include <cmath>

namespace {

constexpr int ItemHeight = 17;
constexpr int IndentStep = 8;

int scaled(int value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

std::string rootOf(const DriveTable& drives, const std::string& path) {
    const ::Drive* drive = driveHolding(drives, path);
    return drive != nullptr ? drive->mountPath : std::string("/");
}

} // namespace

DirectoryListBox::DirectoryListBox(const DriveTable& drives, double scale, QWidget* parent)
    : QListWidget(parent), drives_(drives) {
    setItemDelegate(
        new ListItemDelegate(scaled(ItemHeight, scale), scaled(IndentStep, scale), this));
    setIconSize(QSize(scaled(16, scale), scaled(16, scale)));
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Opening re-reads the list, which must not happen inside the view's own input handling.
    connect(this, &QListWidget::currentRowChanged, this, &DirectoryListBox::openHighlighted,
            Qt::QueuedConnection);
    connect(this, &QListWidget::activated, this, &DirectoryListBox::openHighlighted,
            Qt::QueuedConnection);

    directory_ = currentFolder();
    if (directory_.empty()) {
        directory_ = "/";
    }
    std::vector<std::string> subfolders;
    listSubfolders(directory_, subfolders);
    showEntries(std::move(subfolders));
}

void DirectoryListBox::setDirectory(const std::string& path) {
    if (path == directory_) {
        return;
    }
    std::vector<std::string> subfolders;
    if (const int code = listSubfolders(path, subfolders)) {
        throw IoException(code);
    }
    if (const int code = changeCurrentFolder(path)) {
        throw IoException(code);
    }
    directory_ = path;
    showEntries(std::move(subfolders));
    emit changed();
}

char DirectoryListBox::Drive() const {
    const ::Drive* drive = driveHolding(drives_, directory_);
    return drive != nullptr ? drive->letter : '\0';
}

void DirectoryListBox::setDrive(char letter) {
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (wanted == Drive()) {
        return;
    }
    const ::Drive* drive = drives_.find(wanted);
    if (drive == nullptr) {
        throw IoException(ResultCode::FileNotFound);
    }
    setDirectory(drive->mountPath);
}

void DirectoryListBox::openHighlighted() {
    const QListWidgetItem* highlighted = currentItem();
    if (highlighted == nullptr) {
        return;
    }
    const std::string path = highlighted->data(PathRole).toByteArray().toStdString();
    runHandler([this, &path] { setDirectory(path); });
}

void DirectoryListBox::showEntries(std::vector<std::string> subfolders) {
    const QSignalBlocker quiet(this);
    clear();
    const std::string root = rootOf(drives_, directory_);
    const std::vector<std::string> chain = folderChain(root, directory_);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    for (const std::string& folder : chain) {
        const QString name = depth == 0
                                 ? rootName(root)
                                 : QString::fromStdString(folder.substr(folder.rfind('/') + 1));
        addEntry(folder, name, depth++, open);
    }
    sortIgnoringCase(subfolders);
    for (const std::string& name : subfolders) {
        addEntry(childPath(directory_, name), QString::fromStdString(name), depth, closed);
    }
    setCurrentRow(static_cast<int>(chain.size()) - 1);
}

void DirectoryListBox::addEntry(const std::string& path, const QString& name, int depth,
                                const QIcon& icon) {
    auto* item = new QListWidgetItem(icon, name, this);
    item->setData(PathRole, QByteArray::fromStdString(path));
    item->setData(ListItemDelegate::IndentRole, depth);
}

QString DirectoryListBox::rootName(const std::string& root) const {
    const ::Drive* drive = drives_.findByMountPath(root);
    return QString::fromStdString(drive != nullptr ? drive->displayName : root).trimmed();
}
