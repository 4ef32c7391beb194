#include "DriveCombo.h"
#include "FormFixture.h"
#include "HandlerExceptions.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

namespace {

constexpr std::int64_t ClickAtBlock = 100;

// Clicks button at the run's next event processing, as a click made during block n arrives.
void clickLater(QPushButton* button) {
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

} // namespace

class RunThroughWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!takeHandlerException()); }
    void runFillsTheDriveAndLabelsShowItsLastStatus();
    void abortDuringARunStopsIt_data();
    void abortDuringARunStopsIt();
    void quitDuringARunEndsTheProgramAfterTheClosingLines();
    void closingTheWindowDuringARunActsAsQuit();
    void withNoRunTheProgramEndsAtOnce_data();
    void withNoRunTheProgramEndsAtOnce();
    void secondTestClickDuringARunDoesNothing();
    void testBeforeAnyDriveIsChosenCreatesNothing();
    void pickingAnotherDriveDuringARunLeavesTheRunOnItsDrive();
};

void RunThroughWindowTest::runFillsTheDriveAndLabelsShowItsLastStatus() {
    FormFixture fixture(64 * 512);
    fixture.form->show();
    fixture.pick('E');
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    QCOMPARE(fixture.log(),
             QStringList({"Testing \"/media/E/3-04-05_PM.XXX\"", "32,768 bytes tested"}) +
                 closingLines("32,768"));
    QVERIFY(!fixture.form->AbortButton->isEnabled());
    // The labels are repainted at screen rate during the run; the last status must still show.
    QCOMPARE(fixture.form->lStatus1->text(), "Verifying block 0");
    QCOMPARE(fixture.form->lStatus2->text(), "0 B");
}

void RunThroughWindowTest::abortDuringARunStopsIt_data() {
    QTest::addColumn<bool>("slowMedium");
    QTest::newRow("fast medium") << false;
    // A block slower than the event pacing: the click acts at the very next block.
    QTest::newRow("slow medium") << true;
}

void RunThroughWindowTest::abortDuringARunStopsIt() {
    QFETCH(bool, slowMedium);
    FormFixture fixture;
    fixture.form->show();
    fixture.pick('E');
    fixture.device.onWrite = [&](std::int64_t block) {
        if (slowMedium) {
            std::this_thread::sleep_for(std::chrono::microseconds(600));
        }
        if (block == ClickAtBlock && fixture.device.used() == block * 512) {
            clickLater(fixture.form->AbortButton);
        }
    };
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    const QStringList log = fixture.log();
    QCOMPARE(log.size(), 6);
    QCOMPARE(log.mid(2), closingLines(log[1].chopped(QString(" bytes tested").size())));
    QVERIFY2(fixture.device.used() < FormFixture::DefaultCapacity / 2, "the run went on");
    if (slowMedium) {
        QCOMPARE(log[1], "51,712 bytes tested");
    }
    QVERIFY(!fixture.form->AbortButton->isEnabled());
    QVERIFY(fixture.form->stopFlag());
}

void RunThroughWindowTest::quitDuringARunEndsTheProgramAfterTheClosingLines() {
    FormFixture fixture;
    fixture.form->show();
    fixture.pick('E');
    fixture.device.onWrite = [&](std::int64_t block) {
        if (block == ClickAtBlock && fixture.device.used() == block * 512) {
            clickLater(fixture.form->QuitButton);
        }
    };
    QStringList logAtQuit;
    bool visibleAtQuit = false;
    connect(qApp, &QCoreApplication::aboutToQuit, fixture.form.get(), [&] {
        logAtQuit = fixture.log();
        visibleAtQuit = fixture.form->isVisible();
    });
    QTimer::singleShot(0, fixture.form->TestButton,
                       [&] { QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton); });

    QCOMPARE(execWithWatchdog(), 0);
    QCOMPARE(logAtQuit.size(), 6);
    QCOMPARE(logAtQuit.mid(2, 2), QStringList({" ", "Finished Testing"}));
    QVERIFY(visibleAtQuit);
    QVERIFY(fixture.device.used() < FormFixture::DefaultCapacity / 2);
}

void RunThroughWindowTest::closingTheWindowDuringARunActsAsQuit() {
    FormFixture fixture;
    fixture.form->show();
    fixture.pick('E');
    fixture.device.onWrite = [&](std::int64_t block) {
        if (block == ClickAtBlock && fixture.device.used() == block * 512) {
            QTimer::singleShot(0, fixture.form.get(), [&] { fixture.form->close(); });
        }
    };
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QTimer::singleShot(0, fixture.form->TestButton,
                       [&] { QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton); });

    QCOMPARE(execWithWatchdog(), 0);
    QCOMPARE(quitting.count(), 1);
    QCOMPARE(fixture.log().mid(2, 2), QStringList({" ", "Finished Testing"}));
    QVERIFY(fixture.device.used() < FormFixture::DefaultCapacity / 2);
    QVERIFY(fixture.form->stopFlag());
}

void RunThroughWindowTest::withNoRunTheProgramEndsAtOnce_data() {
    QTest::addColumn<bool>("byQuit");
    QTest::newRow("Quit") << true;
    QTest::newRow("closing the window") << false;
}

void RunThroughWindowTest::withNoRunTheProgramEndsAtOnce() {
    QFETCH(bool, byQuit);
    FormFixture fixture;
    fixture.form->show();
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QTimer::singleShot(0, fixture.form.get(), [&] {
        if (byQuit) {
            QTest::mouseClick(fixture.form->QuitButton, Qt::LeftButton);
        } else {
            fixture.form->close();
        }
    });

    QCOMPARE(execWithWatchdog(), 0);
    QCOMPARE(quitting.count(), 1);
    QVERIFY(fixture.device.files.empty());
}

void RunThroughWindowTest::secondTestClickDuringARunDoesNothing() {
    FormFixture fixture(1024 * 512);
    fixture.form->show();
    fixture.pick('E');
    fixture.device.onWrite = [&](std::int64_t block) {
        if (block == ClickAtBlock && fixture.device.used() == block * 512) {
            clickLater(fixture.form->TestButton);
        }
    };
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    QCOMPARE(fixture.log(),
             QStringList({"Testing \"/media/E/3-04-05_PM.XXX\"", "524,288 bytes tested"}) +
                 closingLines("524,288"));
    QCOMPARE(fixture.device.files.size(), 1U);
}

void RunThroughWindowTest::pickingAnotherDriveDuringARunLeavesTheRunOnItsDrive() {
    FormFixture fixture(1024 * 512);
    fixture.form->show();
    fixture.pick('E');
    fixture.device.onWrite = [&](std::int64_t block) {
        if (block == ClickAtBlock && fixture.device.used() == block * 512) {
            QTimer::singleShot(0, [&fixture] { fixture.pick('F'); });
            // Slower than the event pacing, so the pick is handled at the next block.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    QCOMPARE(fixture.log(),
             QStringList({"Testing \"/media/E/3-04-05_PM.XXX\"", "524,288 bytes tested"}) +
                 closingLines("524,288"));
    QCOMPARE(fixture.device.createdOnDrives, std::vector<char>({'E'}));
    // The labels follow the pick; the status labels went on with the run's own blocks.
    QVERIFY(fixture.form->lSize->text().endsWith(" bytes on F:"));
    QVERIFY(fixture.form->lStatus1->text().startsWith("Verifying block "));
    QCOMPARE(fixture.form->DriveCB->Drive(), 'F');
}

void RunThroughWindowTest::testBeforeAnyDriveIsChosenCreatesNothing() {
    FormFixture fixture;
    fixture.form->show();
    QCOMPARE(fixture.form->DriveCB->currentIndex(), 0);
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    QCOMPARE(fixture.log(), QStringList({"Select a drive first"}));
    QVERIFY(fixture.device.files.empty());
}

QTEST_MAIN(RunThroughWindowTest)
#include "RunThroughWindowTest.moc"
