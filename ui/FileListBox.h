#pragma once

#include <QListWidget>

#include <string>
#include <vector>

// The file list: the ordinary visible files of one folder, sorted, as text without icons.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    // Lists the process's current folder; a folder that cannot be read lists nothing.
    explicit FileListBox(double scale, QWidget* parent = nullptr);

    const std::string& Directory() const { return directory_; }
    // Lists path and makes it the process's current folder. Does nothing when path is the
    // folder listed. Throws IoException, keeping what is listed, when path cannot be entered.
    void setDirectory(const std::string& path);

    // Repaints the list; the folder is not read again.
    void Refresh();

private:
    void showFiles(std::vector<std::string> names);

    std::string directory_;
};
