#include "TForm1.h"

#include "AutoSizeLabel.h"
#include "DirectoryListBox.h"
#include "DriveCombo.h"
#include "FileListBox.h"
#include "HandlerExceptions.h"
#include "IntToStrWithCommas.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <utility>

namespace {

constexpr std::int64_t UsedSpaceHintAbove = 8192;

} // namespace

TForm1::TForm1(DriveTable drives, FileService& files, TimeTextSource timeText, double scale,
               QWidget* parent)
    : QWidget(parent), drives_(std::move(drives)), files_(files),
      runner_(*this, files, std::move(timeText)), scale_(scale) {
    setWindowSettings();
    createControls();
    placeControls();
    connectHandlers();
}

double TForm1::screenScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() / 96.0 : 1.0;
}

template <typename Sender, typename Signal>
void TForm1::connectHandler(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { runHandler([this, handler] { (this->*handler)(); }); });
}

void TForm1::connectHandlers() {
    connectHandler(TestButton, &QPushButton::clicked, &TForm1::TestButtonClick);
    connectHandler(AbortButton, &QPushButton::clicked, &TForm1::AbortButtonClick);
    connectHandler(QuitButton, &QPushButton::clicked, &TForm1::QuitButtonClick);
    connectHandler(DriveCB, &DriveCombo::changed, &TForm1::DriveCBChange);
    connectHandler(DirLB, &DirectoryListBox::changed, &TForm1::DirLBChange);
}

void TForm1::showEvent(QShowEvent* event) {
    if (!centred_) {
        centred_ = true;
        centreOnScreen();
    }
    if (!event->spontaneous()) {
        FormShow();
    }
    QWidget::showEvent(event);
}

void TForm1::FormShow() {
    status1_.show("");
    status2_.show("");
    setAutoSizedText(lFree, {});
    setAutoSizedText(lSize, {});
}

void TForm1::TestButtonClick() {
    // However the run ends, the labels show its last status.
    struct ShowLastStatus {
        TForm1& form;
        ~ShowLastStatus() { form.showStatusNow(); }
    } showLastStatus{*this};
    runner_.TestButtonClick();
}

void TForm1::AbortButtonClick() {
    StopFlag = true;
}

void TForm1::QuitButtonClick() {
    StopFlag = true;
    // exit() rather than quit(): quit() first asks the window to close, which it refuses while
    // a run is in progress. The event loop ends once the running handler has returned.
    QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (runner_.running()) {
        // Acts as Quit: otherwise the close would go unanswered until the run ends by itself,
        // which on a large drive takes hours.
        event->ignore();
        QuitButtonClick();
        return;
    }
    event->accept();
}

void TForm1::DriveCBChange() {
    const char letter = DriveCB->Drive();
    const int driveNum = driveNumber(letter);
    const std::int64_t freeBytes = files_.DiskFree(driveNum);
    const std::int64_t sizeBytes = files_.DiskSize(driveNum);
    const std::string onDrive = std::string(1, letter) + ":";
    setAutoSizedText(
        lFree, QString::fromStdString(IntToStrWithCommas(freeBytes) + " bytes free on " + onDrive));
    setAutoSizedText(
        lSize, QString::fromStdString(IntToStrWithCommas(sizeBytes) + " bytes on " + onDrive));
    status1_.show("");
    status2_.show("");
    if (sizeBytes - freeBytes > UsedSpaceHintAbove) {
        status1_.show("Delete all files to test the entire drive");
    }
    DirLB->setDrive(letter);
}

void TForm1::DirLBChange() {
    FileLB->setDirectory(DirLB->Directory());
}
