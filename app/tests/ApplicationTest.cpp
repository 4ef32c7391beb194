#include "ApplicationTitle.h"
#include "DirectoryListBox.h"
#include "FormFixture.h"
#include "OrvalinApplication.h"

#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// What an error box said, read and closed with OK from a timer while it is open.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class BoxCloser {
public:
    BoxCloser() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { closeOpenBox(); });
        timer_.start();
    }
    QList<SeenBox> seen;

private:
    void closeOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
    QTimer timer_;
};

OrvalinApplication& application() {
    return *static_cast<OrvalinApplication*>(QCoreApplication::instance());
}

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void titleComesFromTheExecutableName_data();
    void titleComesFromTheExecutableName();
    void failedCreationShowsTheErrorBoxAndTheProgramGoesOn();
    void failureInsideARunShowsTheBoxAndTheRunGoesOn();
    void folderThatCannotBeOpenedShowsTheErrorBox();
    void localeChangeIsPassedOn();
};

void ApplicationTest::titleComesFromTheExecutableName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("installed") << "/usr/bin/orvalin"
                               << "Orvalin";
    QTest::newRow("upper case") << "/opt/ORVALIN"
                                << "Orvalin";
    QTest::newRow("cut at the first dot") << "/home/u.v/drive.test.bin"
                                          << "Drive";
    QTest::newRow("no folder") << "orvalin"
                               << "Orvalin";
    QTest::newRow("mixed") << "/x/mY-Tool"
                           << "My-tool";
    QTest::newRow("name starts with a dot") << "/x/.orvalin"
                                            << "";
}

void ApplicationTest::titleComesFromTheExecutableName() {
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(applicationTitle(path), title);
}

void ApplicationTest::failedCreationShowsTheErrorBoxAndTheProgramGoesOn() {
    FormFixture fixture(64 * 512);
    fixture.form->show();
    fixture.pick('E');
    fixture.device.createCode = 5;
    BoxCloser closer;
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, "File access denied.");
    QCOMPARE(closer.seen[0].title, application().title());
    QCOMPARE(application().title(), applicationTitle(QCoreApplication::applicationFilePath()));
    QCOMPARE(closer.seen[0].icon, QMessageBox::Critical);
    QCOMPARE(closer.seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(fixture.log(), QStringList({""}));
    QVERIFY(!fixture.form->AbortButton->isEnabled());

    fixture.device.createCode = 0;
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);
    QCOMPARE(fixture.log().mid(2), closingLines("32,768"));
    QCOMPARE(closer.seen.size(), 1);
}

void ApplicationTest::failureInsideARunShowsTheBoxAndTheRunGoesOn() {
    FormFixture fixture(1024 * 512);
    fixture.makeFolder('E', "gone");
    fixture.form->show();
    fixture.pick('E');
    QDir(QString::fromStdString(fixture.folder('E', "gone"))).removeRecursively();
    bool moved = false;
    fixture.device.onWrite = [&](std::int64_t block) {
        if (block == 100 && !moved) {
            moved = true;
            fixture.form->DirLB->setCurrentRow(1);
        }
    };
    BoxCloser closer;
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, "File not found.");
    QCOMPARE(fixture.log(),
             QStringList({"Testing \"/media/E/3-04-05_PM.XXX\"", "524,288 bytes tested"}) +
                 closingLines("524,288"));
}

void ApplicationTest::folderThatCannotBeOpenedShowsTheErrorBox() {
    FormFixture fixture;
    fixture.makeFolder('E', "gone");
    fixture.form->show();
    fixture.pick('E');
    QDir(QString::fromStdString(fixture.folder('E', "gone"))).removeRecursively();
    BoxCloser closer;
    fixture.form->DirLB->setFocus();
    QTest::keyClick(fixture.form->DirLB, Qt::Key_Down);

    QTRY_COMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, "File not found.");
    QCOMPARE(fixture.form->DirLB->Directory(), fixture.folder('E'));
}

void ApplicationTest::localeChangeIsPassedOn() {
    int changes = 0;
    application().setLocaleChangeHandler([&changes] { ++changes; });
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&application(), &change);
    application().setLocaleChangeHandler({});
    QCOMPARE(changes, 1);
}

int main(int argc, char** argv) {
    OrvalinApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ApplicationTest.moc"
