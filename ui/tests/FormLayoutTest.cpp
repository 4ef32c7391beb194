#include "DriveCombo.h"
#include "FormFixture.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class FormLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void controlsSitWhereTheLayoutPutsThem_data();
    void controlsSitWhereTheLayoutPutsThem();
    void labelsShowTheirWholeText_data();
    void labelsShowTheirWholeText();
    void showingTheWindowClearsTheValueLabels();
    void tabOrderStartsAtTheDriveSelector();
    void logPaneHoldsTheInstructions();
    void abortStartsDisabledInBlack();
    void windowKeepsItsSizeFontAndTitle();
    void layoutAndFontScaleWithTheScreen();
};

void FormLayoutTest::controlsSitWhereTheLayoutPutsThem_data() {
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("DriveCB") << QRect(8, 24, 145, 22) << QString();
    QTest::newRow("TestButton") << QRect(8, 88, 75, 25) << "Test";
    QTest::newRow("Memo1") << QRect(464, 80, 241, 361) << QString();
    QTest::newRow("QuitButton") << QRect(8, 168, 75, 25) << "&Quit";
    QTest::newRow("AbortButton") << QRect(8, 128, 75, 25) << "Abort";
    QTest::newRow("DirLB") << QRect(88, 80, 209, 361) << QString();
    QTest::newRow("FileLB") << QRect(304, 80, 145, 361) << QString();
}

void FormLayoutTest::controlsSitWhereTheLayoutPutsThem() {
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    FormFixture fixture;
    const auto* control = fixture.form->findChild<QWidget*>(QTest::currentDataTag());
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), geometry);
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
    }
}

void FormLayoutTest::labelsShowTheirWholeText_data() {
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QString>("text");
    QTest::newRow("lStatus1") << QPoint(328, 24) << "lStatus1";
    QTest::newRow("lFree") << QPoint(168, 40) << "lFree";
    QTest::newRow("lSize") << QPoint(168, 24) << "lSize";
    QTest::newRow("lStatus2") << QPoint(328, 40) << "lStatus2";
    QTest::newRow("Label2") << QPoint(8, 8) << "Select a Drive:";
    QTest::newRow("Label3") << QPoint(144, 64) << "Drive Contents";
    QTest::newRow("Label4") << QPoint(328, 64) << "Folder Contents";
    QTest::newRow("Label5") << QPoint(536, 64) << "Status/Error Messages";
    QTest::newRow("Label6") << QPoint(24, 456)
                            << "If you found this program to be useful, please consider making a "
                               "donation to  my PayPal account (" ORVALIN_PAYMENT_ADDRESS ").";
}

void FormLayoutTest::labelsShowTheirWholeText() {
    QFETCH(QPoint, place);
    QFETCH(QString, text);
    FormFixture fixture;
    const auto* label = fixture.form->findChild<QLabel*>(QTest::currentDataTag());
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), place);
    QCOMPARE(label->height(), 13);
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
}

void FormLayoutTest::showingTheWindowClearsTheValueLabels() {
    FormFixture fixture;
    fixture.form->show();
    for (const QLabel* label : {fixture.form->lStatus1, fixture.form->lStatus2, fixture.form->lFree,
                                fixture.form->lSize}) {
        QCOMPARE(label->text(), QString());
    }
    QCOMPARE(fixture.form->Label2->text(), "Select a Drive:");
}

void FormLayoutTest::tabOrderStartsAtTheDriveSelector() {
    FormFixture fixture;
    fixture.form->show();
    QVERIFY(QTest::qWaitForWindowActive(fixture.form.get()));
    QCOMPARE(QApplication::focusWidget(), fixture.form->DriveCB);

    QStringList order;
    QWidget* control = fixture.form->DriveCB;
    do {
        if (control->parentWidget() == fixture.form.get() &&
            (control->focusPolicy() & Qt::TabFocus) != 0) {
            order << control->objectName();
        }
        control = control->nextInFocusChain();
    } while (control != fixture.form->DriveCB);
    QCOMPARE(order, QStringList({"DriveCB", "TestButton", "Memo1", "QuitButton", "AbortButton",
                                 "DirLB", "FileLB"}));
}

void FormLayoutTest::logPaneHoldsTheInstructions() {
    FormFixture fixture;
    const QPlainTextEdit* memo = fixture.form->Memo1;
    const QStringList expected{
        "You can use this program to test a thumb drive ",
        "or memory stick, so long as it is visible to a ",
        "Windows computer..",
        "",
        "Delete all of the files on the drive and then ",
        "select it.  The program can only test memory ",
        "that does not already contain files.",
        "",
        "Click the Test button to start the test",
        "",
        "A series of files will be created on the drive.  ",
        "Each file is written twice and  read to confirm ",
        "correct contents",
        "",
        "No files are deleted by this test: it will not ",
        "destroy any of your data.",
        "",
        "The test files are not deleted by this program:: ",
        "you will have to remove them manually",
    };
    QCOMPARE(fixture.log(), expected);
    QVERIFY(!memo->isReadOnly());
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void FormLayoutTest::abortStartsDisabledInBlack() {
    FormFixture fixture;
    const QPushButton* abort = fixture.form->AbortButton;
    QVERIFY(!abort->isEnabled());
    QCOMPARE(abort->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::black));
    QCOMPARE(abort->font(), fixture.form->font());
    QVERIFY(fixture.form->TestButton->isEnabled());
    QVERIFY(fixture.form->QuitButton->isEnabled());
}

void FormLayoutTest::windowKeepsItsSizeFontAndTitle() {
    FormFixture fixture;
    QCOMPARE(fixture.form->windowTitle(), "Orvalin");
    // The client area of a 723 x 508 window with 4 pixel borders and a 19 pixel caption.
    QCOMPARE(fixture.form->size(), QSize(715, 481));
    QCOMPARE(fixture.form->font().pixelSize(), 11);
    QCOMPARE(fixture.form->font().styleHint(), QFont::SansSerif);

    // Nothing is anchored: resizing the window leaves every control where it was.
    const QRect memo = fixture.form->Memo1->geometry();
    fixture.form->show();
    fixture.form->resize(900, 700);
    QCOMPARE(fixture.form->Memo1->geometry(), memo);
}

void FormLayoutTest::layoutAndFontScaleWithTheScreen() {
    HookedDevice device(0);
    const QString previousFolder = QDir::currentPath();
    TForm1 form(
        DriveTable(), device, [] { return std::string(); }, 1.5);
    QCOMPARE(form.DriveCB->geometry(), QRect(12, 36, 218, 33));
    QCOMPARE(form.Memo1->geometry(), QRect(696, 120, 362, 542));
    QCOMPARE(form.Label6->pos(), QPoint(36, 684));
    QCOMPARE(form.font().pixelSize(), 17);
    QCOMPARE(form.size(), QSize(1073, 722));
    QDir::setCurrent(previousFolder);
}

QTEST_MAIN(FormLayoutTest)
#include "FormLayoutTest.moc"
