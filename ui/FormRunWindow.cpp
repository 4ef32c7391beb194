// What a test run does to the window.
#include "DriveCombo.h"
#include "FileListBox.h"
#include "TForm1.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>

void TForm1::clearLog() {
    Memo1->clear();
}

void TForm1::addLogLine(std::string_view line) {
    Memo1->appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void TForm1::scrollLogToEnd() {
    QTextCursor caret = Memo1->textCursor();
    caret.movePosition(QTextCursor::End);
    Memo1->setTextCursor(caret);
    Memo1->ensureCursorVisible();
}

void TForm1::setStatus1(std::string_view text) {
    status1_.set(text);
}

void TForm1::setStatus2(std::string_view text) {
    status2_.set(text);
}

void TForm1::setAbortEnabled(bool enabled) {
    AbortButton->setEnabled(enabled);
}

void TForm1::processEvents() {
    const EventPacer::Clock::time_point now = EventPacer::Clock::now();
    if (pacer_.labelsDue(now)) {
        showStatusNow();
    }
    if (pacer_.eventsDue(now)) {
        QCoreApplication::processEvents();
    }
}

void TForm1::showStatusNow() {
    status1_.flush();
    status2_.flush();
}

void TForm1::refreshFileList() {
    FileLB->Refresh();
}

char TForm1::drive() const {
    return DriveCB->Drive();
}
