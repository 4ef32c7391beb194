#pragma once

#include "DriveTable.h"
#include "EventPacer.h"
#include "FileService.h"
#include "RunWindow.h"
#include "StatusLine.h"
#include "TestRunner.h"

#include <QWidget>

class DirectoryListBox;
class DriveCombo;
class FileListBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The program's one window: the drive panel, the Test, Abort and Quit buttons, the status
// labels and the log. It is the window the test run reports to.
class TForm1 : public QWidget, public RunWindow {
    Q_OBJECT
public:
    // scale: the screen's resolution over the 96 dots per inch the layout is drawn for.
    TForm1(DriveTable drives, FileService& files, TimeTextSource timeText,
           double scale = screenScale(), QWidget* parent = nullptr);

    static double screenScale();

    DriveCombo* DriveCB = nullptr;
    QPushButton* TestButton = nullptr;
    QLabel* lStatus1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* QuitButton = nullptr;
    QLabel* lFree = nullptr;
    QLabel* lSize = nullptr;
    QPushButton* AbortButton = nullptr;
    QLabel* lStatus2 = nullptr;
    DirectoryListBox* DirLB = nullptr;
    FileListBox* FileLB = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;

    // Handlers; those that can fail throw IoException.
    void FormShow();
    void TestButtonClick();
    void AbortButtonClick();
    void QuitButtonClick();
    void DriveCBChange();
    void DirLBChange();

    void clearLog() override;
    void addLogLine(std::string_view line) override;
    void scrollLogToEnd() override;
    void setStatus1(std::string_view text) override;
    void setStatus2(std::string_view text) override;
    void setAbortEnabled(bool enabled) override;
    void processEvents() override;
    void refreshFileList() override;
    char drive() const override;
    bool stopFlag() const override { return StopFlag; }
    void setStopFlag(bool value) override { StopFlag = value; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void nameControls();
    void placeControls();
    void setWindowSettings();
    void centreOnScreen();
    void connectHandlers();
    void place(QWidget* control, int left, int top, int width, int height) const;
    int scaled(int value) const;
    template <typename Sender, typename Signal>
    void connectHandler(Sender* sender, Signal signal, void (TForm1::*handler)());
    void showStatusNow();

    DriveTable drives_;
    FileService& files_;
    TestRunner runner_;
    double scale_;
    StatusLine status1_;
    StatusLine status2_;
    EventPacer pacer_;
    bool centred_ = false;
    bool StopFlag = false;
};
