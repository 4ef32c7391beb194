#pragma once

#include "HookedDevice.h"
#include "TForm1.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>

// A window over drives E: and F:, two folders in a temporary folder, with a fake volume behind
// every drive and a fixed time of day. G: is listed but its folder does not exist. The process's
// current folder is restored afterwards.
class FormFixture {
public:
    static constexpr std::int64_t DefaultCapacity = 64 * 1024 * 1024;

    explicit FormFixture(std::int64_t capacity = DefaultCapacity);
    ~FormFixture();
    FormFixture(const FormFixture&) = delete;
    FormFixture& operator=(const FormFixture&) = delete;

    std::string folder(char letter, const std::string& below = {}) const;
    void makeFolder(char letter, const std::string& below) const;
    void makeFile(char letter, const std::string& below) const;
    // Picks the drive in the selector, as the user does.
    void pick(char letter);
    QStringList log() const;
    QStringList folderEntries() const;
    QStringList fileEntries() const;

    HookedDevice device;
    std::unique_ptr<TForm1> form;

private:
    QString previousFolder_;
    QTemporaryDir root_;
};

// The closing lines of a run that tested bytes (grouped) with errors.
QStringList closingLines(const QString& bytes, int errors = 0);

// Runs the application's event loop until something ends it; a watchdog ends it with 1 after
// ten seconds.
int execWithWatchdog();
