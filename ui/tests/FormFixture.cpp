#include "FormFixture.h"

#include "DirectoryListBox.h"
#include "DriveCombo.h"
#include "FileListBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

FormFixture::FormFixture(std::int64_t capacity)
    : device(capacity), previousFolder_(QDir::currentPath()) {
    QDir(root_.path()).mkpath("E");
    QDir(root_.path()).mkpath("F");
    std::vector<Drive> drives;
    for (const char letter : {'E', 'F', 'G'}) {
        Drive drive;
        drive.letter = letter;
        drive.mountPath = folder(letter);
        drive.displayName = std::string(1, letter) + "-drive (" + letter + ":)";
        drive.fileSystem = "tmpfs";
        drives.push_back(drive);
    }
    form = std::make_unique<TForm1>(
        DriveTable(std::move(drives)), device, [] { return std::string("3:04:05 PM"); }, 1.0);
}

FormFixture::~FormFixture() {
    form.reset();
    QDir::setCurrent(previousFolder_);
}

std::string FormFixture::folder(char letter, const std::string& below) const {
    std::string path = root_.path().toStdString() + "/" + letter;
    return below.empty() ? path : path + "/" + below;
}

void FormFixture::makeFolder(char letter, const std::string& below) const {
    QDir().mkpath(QString::fromStdString(folder(letter, below)));
}

void FormFixture::makeFile(char letter, const std::string& below) const {
    QFile file(QString::fromStdString(folder(letter, below)));
    file.open(QIODevice::WriteOnly);
}

void FormFixture::pick(char letter) {
    form->DriveCB->pick(form->DriveCB->findData(QChar::fromLatin1(letter)));
}

QStringList FormFixture::log() const {
    return form->Memo1->toPlainText().split('\n');
}

QStringList FormFixture::folderEntries() const {
    QStringList entries;
    for (int row = 0; row < form->DirLB->count(); ++row) {
        entries << form->DirLB->item(row)->text();
    }
    return entries;
}

QStringList FormFixture::fileEntries() const {
    QStringList entries;
    for (int row = 0; row < form->FileLB->count(); ++row) {
        entries << form->FileLB->item(row)->text();
    }
    return entries;
}

QStringList closingLines(const QString& bytes, int errors) {
    return {" ", "Finished Testing", QString::number(errors) + " errors", bytes + " bytes tested"};
}

int execWithWatchdog() {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(10000);
    return QApplication::exec();
}
