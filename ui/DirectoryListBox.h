#pragma once

#include "DriveTable.h"

#include <QListWidget>

#include <string>
#include <vector>

// The folder list: the path of the folder shown, one level per entry from its drive's root
// down, then its visible sub-folders. Moving the highlight, Enter and a double-click open the
// highlighted folder at once.
class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    // Shows the process's current folder; a folder that cannot be read shows no sub-folders.
    DirectoryListBox(const DriveTable& drives, double scale, QWidget* parent = nullptr);

    const std::string& Directory() const { return directory_; }
    // Shows path, makes it the process's current folder and raises changed. Does nothing when
    // path is the folder shown. Throws IoException, keeping the folder and entries shown, when
    // path cannot be entered.
    void setDirectory(const std::string& path);

    // The letter of the drive that holds the folder shown; '\0' when no drive holds it.
    char Drive() const;
    // Opens the drive's root folder, unless the folder shown is on that drive already.
    void setDrive(char letter);

    static constexpr int PathRole = Qt::UserRole;

signals:
    void changed();

private:
    void openHighlighted();
    void showEntries(std::vector<std::string> subfolders);
    void addEntry(const std::string& path, const QString& name, int depth, const QIcon& icon);
    QString rootName(const std::string& root) const;

    const DriveTable& drives_;
    std::string directory_;
};
