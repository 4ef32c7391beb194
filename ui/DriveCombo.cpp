#include "DriveCombo.h"

#include <QStyle>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace {

constexpr int VisibleEntries = 8;
constexpr int IconSide = 16;

bool isOneOf(std::string_view fileSystem, const auto& kinds) {
    return std::find(kinds.begin(), kinds.end(), fileSystem) != kinds.end();
}

QStyle::StandardPixmap iconFor(const ::Drive& drive) {
    static constexpr std::array<std::string_view, 9> network{
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "afs", "ceph"};
    static constexpr std::array<std::string_view, 2> optical{"iso9660", "udf"};
    if (isOneOf(drive.fileSystem, network)) {
        return QStyle::SP_DriveNetIcon;
    }
    if (isOneOf(drive.fileSystem, optical)) {
        return QStyle::SP_DriveCDIcon;
    }
    return QStyle::SP_DriveHDIcon;
}

} // namespace

DriveCombo::DriveCombo(const DriveTable& drives, double scale, QWidget* parent)
    : QComboBox(parent) {
    const int side = static_cast<int>(std::lround(IconSide * scale));
    setIconSize(QSize(side, side));
    setMaxVisibleItems(VisibleEntries);
    for (const ::Drive& drive : drives.drives()) {
        addItem(style()->standardIcon(iconFor(drive)),
                QString::fromStdString(drive.displayName).trimmed(),
                QChar::fromLatin1(drive.letter));
        setItemData(count() - 1, QString::fromStdString(drive.mountPath), Qt::ToolTipRole);
    }
    setCurrentIndex(drives.drives().empty() ? -1 : 0);
    connect(this, &QComboBox::activated, this, &DriveCombo::pick);
}

void DriveCombo::pick(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    setCurrentIndex(index);
    drive_ = static_cast<char>(itemData(index).toChar().toLatin1());
    emit changed();
}
