// The window's controls, their places at 96 dots per inch and their fixed texts.
#include "AutoSizeLabel.h"
#include "DirectoryListBox.h"
#include "DriveCombo.h"
#include "FileListBox.h"
#include "FormTexts.h"
#include "TForm1.h"
#include "WindowFont.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <utility>

namespace {

// The window is 723 x 508 pixels outside with the frame the layout was drawn for (4 pixel
// sizing borders and a 19 pixel caption); its client area keeps that size whatever frame the
// window manager draws.
constexpr int OuterWidth = 723;
constexpr int OuterHeight = 508;
constexpr int ClientWidth = OuterWidth - 2 * 4;
constexpr int ClientHeight = OuterHeight - 2 * 4 - 19;

QLabel* newLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

void TForm1::setWindowSettings() {
    setWindowTitle("Orvalin");
    setFont(windowFont(scale_));
    resize(scaled(ClientWidth), scaled(ClientHeight));
}

void TForm1::centreOnScreen() {
    if (const QScreen* display = screen()) {
        const QPoint centre = display->availableGeometry().center();
        move(centre.x() - scaled(OuterWidth) / 2, centre.y() - scaled(OuterHeight) / 2);
    }
}

void TForm1::createControls() {
    lStatus1 = newLabel("lStatus1", this);
    lFree = newLabel("lFree", this);
    lSize = newLabel("lSize", this);
    lStatus2 = newLabel("lStatus2", this);
    Label2 = newLabel("Select a Drive:", this);
    Label3 = newLabel("Drive Contents", this);
    Label4 = newLabel("Folder Contents", this);
    Label5 = newLabel("Status/Error Messages", this);
    Label6 = newLabel(donationText(), this);
    DriveCB = new DriveCombo(drives_, scale_, this);
    TestButton = new QPushButton("Test", this);
    Memo1 = new QPlainTextEdit(instructionLines().join('\n'), this);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QuitButton = new QPushButton("&Quit", this);
    AbortButton = new QPushButton("Abort", this);
    AbortButton->setEnabled(false);
    QPalette black = AbortButton->palette();
    black.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
    black.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
    AbortButton->setPalette(black);
    DirLB = new DirectoryListBox(drives_, scale_, this);
    FileLB = new FileListBox(scale_, this);
    nameControls();
    status1_.attach(lStatus1);
    status2_.attach(lStatus2);
}

void TForm1::nameControls() {
    const std::pair<QWidget*, const char*> names[] = {
        {DriveCB, "DriveCB"}, {TestButton, "TestButton"},   {lStatus1, "lStatus1"},
        {Memo1, "Memo1"},     {QuitButton, "QuitButton"},   {lFree, "lFree"},
        {lSize, "lSize"},     {AbortButton, "AbortButton"}, {lStatus2, "lStatus2"},
        {DirLB, "DirLB"},     {FileLB, "FileLB"},           {Label2, "Label2"},
        {Label3, "Label3"},   {Label4, "Label4"},           {Label5, "Label5"},
        {Label6, "Label6"}};
    for (const auto& [control, name] : names) {
        control->setObjectName(name);
    }
}

void TForm1::placeControls() {
    place(lStatus1, 328, 24, 38, 13);
    place(lFree, 168, 40, 23, 13);
    place(lSize, 168, 24, 22, 13);
    place(lStatus2, 328, 40, 38, 13);
    place(Label2, 8, 8, 70, 13);
    place(Label3, 144, 64, 70, 13);
    place(Label4, 328, 64, 74, 13);
    place(Label5, 536, 64, 108, 13);
    place(Label6, 24, 456, 556, 13);
    place(DriveCB, 8, 24, 145, 22);
    place(TestButton, 8, 88, 75, 25);
    place(Memo1, 464, 80, 241, 361);
    place(QuitButton, 8, 168, 75, 25);
    place(AbortButton, 8, 128, 75, 25);
    place(DirLB, 88, 80, 209, 361);
    place(FileLB, 304, 80, 145, 361);
    // Labels size themselves to their text, as they do whenever it changes.
    for (QLabel* label :
         {lStatus1, lFree, lSize, lStatus2, Label2, Label3, Label4, Label5, Label6}) {
        setAutoSizedText(label, label->text());
    }
    setTabOrder(DriveCB, TestButton);
    setTabOrder(TestButton, Memo1);
    setTabOrder(Memo1, QuitButton);
    setTabOrder(QuitButton, AbortButton);
    setTabOrder(AbortButton, DirLB);
    setTabOrder(DirLB, FileLB);
    DriveCB->setFocus();
}

void TForm1::place(QWidget* control, int left, int top, int width, int height) const {
    control->setGeometry(scaled(left), scaled(top), scaled(width), scaled(height));
}

int TForm1::scaled(int value) const {
    return static_cast<int>(std::lround(value * scale_));
}
