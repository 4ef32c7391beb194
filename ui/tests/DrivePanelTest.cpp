#include "DirectoryListBox.h"
#include "DriveCombo.h"
#include "FileListBox.h"
#include "FormFixture.h"
#include "HandlerExceptions.h"
#include "IoException.h"
#include "ListItemDelegate.h"
#include "ResultCodes.h"

#include <QAbstractItemView>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString Hint = "Delete all files to test the entire drive";

int keptIoCode() {
    try {
        if (std::exception_ptr kept = takeHandlerException()) {
            std::rethrow_exception(kept);
        }
    } catch (const IoException& error) {
        return error.code();
    }
    return 0;
}

QList<int> depths(const QListWidget* list) {
    QList<int> result;
    for (int row = 0; row < list->count(); ++row) {
        result << list->item(row)->data(ListItemDelegate::IndentRole).toInt();
    }
    return result;
}

} // namespace

class DrivePanelTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!takeHandlerException()); }
    void labelsGiveSizeFreeSpaceAndTheHint_data();
    void labelsGiveSizeFreeSpaceAndTheHint();
    void noDriveIsChosenUntilTheUserPicks();
    void eachPickByKeysOrMouseRaisesOneChange();
    void pickingTheDriveShownAgainKeepsTheLists();
    void driveThatCannotBeEnteredKeepsTheLists();
    void folderListShowsThePathThenSortedVisibleSubfolders();
    void movingTheHighlightOpensThatFolder();
    void folderThatCannotBeEnteredKeepsTheList();
    void fileListShowsOrdinaryVisibleFilesSorted();
    void fileListKeepsWhatItShowsWhenTheFolderCannotBeEntered();
    void listsAreNotReadAgainAfterARun();
};

void DrivePanelTest::labelsGiveSizeFreeSpaceAndTheHint_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("freeText");
    QTest::addColumn<QString>("status1");
    QTest::newRow("8192 bytes used")
        << qint64(1048576) << qint64(1040384) << "1,048,576 bytes on E:"
        << "1,040,384 bytes free on E:" << QString();
    QTest::newRow("8193 bytes used")
        << qint64(1048576) << qint64(1040383) << "1,048,576 bytes on E:"
        << "1,040,383 bytes free on E:" << Hint;
    QTest::newRow("failed queries") << qint64(-1) << qint64(-1) << "-1 bytes on E:"
                                    << "-1 bytes free on E:" << QString();
}

void DrivePanelTest::labelsGiveSizeFreeSpaceAndTheHint() {
    QFETCH(qint64, size);
    QFETCH(qint64, free);
    QFETCH(QString, sizeText);
    QFETCH(QString, freeText);
    QFETCH(QString, status1);
    FormFixture fixture;
    fixture.device.capacity = size;
    fixture.device.freeOverride = free;
    fixture.form->show();
    fixture.form->setStatus2("stale");
    fixture.pick('E');

    QCOMPARE(fixture.form->lSize->text(), sizeText);
    QCOMPARE(fixture.form->lFree->text(), freeText);
    QCOMPARE(fixture.form->lStatus1->text(), status1);
    QCOMPARE(fixture.form->lStatus2->text(), QString());
    QVERIFY(fixture.form->lFree->width() >=
            fixture.form->lFree->fontMetrics().horizontalAdvance(freeText));
}

void DrivePanelTest::noDriveIsChosenUntilTheUserPicks() {
    FormFixture fixture;
    QCOMPARE(fixture.form->DriveCB->count(), 3);
    QCOMPARE(fixture.form->DriveCB->currentText(), "E-drive (E:)");
    QCOMPARE(fixture.form->DriveCB->Drive(), '\0');
    QCOMPARE(fixture.form->drive(), '\0');
}

void DrivePanelTest::eachPickByKeysOrMouseRaisesOneChange() {
    FormFixture fixture;
    fixture.form->show();
    QSignalSpy changes(fixture.form->DriveCB, &DriveCombo::changed);
    QTest::keyClick(fixture.form->DriveCB, Qt::Key_Down);

    QCOMPARE(changes.count(), 1);
    QCOMPARE(fixture.form->drive(), 'F');
    QCOMPARE(fixture.form->lSize->text(), "67,108,864 bytes on F:");
    QCOMPARE(fixture.form->DirLB->Directory(), fixture.folder('F'));
    QCOMPARE(QDir::currentPath().toStdString(), fixture.folder('F'));

    QTest::keyClick(fixture.form->DriveCB, Qt::Key_Up);
    QCOMPARE(changes.count(), 2);
    QCOMPARE(fixture.form->drive(), 'E');
    QCOMPARE(fixture.form->DirLB->Directory(), fixture.folder('E'));

    // Picking the chosen drive again from the drop-down list is a pick too.
    fixture.form->DriveCB->showPopup();
    QAbstractItemView* entries = fixture.form->DriveCB->view();
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {},
                      entries->visualRect(entries->model()->index(0, 0)).center());
    QCOMPARE(changes.count(), 3);
    QCOMPARE(fixture.form->drive(), 'E');
}

void DrivePanelTest::pickingTheDriveShownAgainKeepsTheLists() {
    FormFixture fixture;
    fixture.pick('E');
    fixture.makeFile('E', "late.txt");
    fixture.makeFolder('E', "late");
    fixture.form->lStatus1->setText("elsewhere");
    QSignalSpy folderChanges(fixture.form->DirLB, &DirectoryListBox::changed);
    fixture.pick('E');

    QCOMPARE(folderChanges.count(), 0);
    QCOMPARE(fixture.fileEntries(), QStringList());
    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)"}));
    QCOMPARE(fixture.form->lStatus1->text(), QString());
}

void DrivePanelTest::driveThatCannotBeEnteredKeepsTheLists() {
    FormFixture fixture;
    fixture.makeFile('E', "kept.txt");
    fixture.pick('E');
    fixture.pick('G');

    QCOMPARE(keptIoCode(), ResultCode::FileNotFound);
    QCOMPARE(fixture.form->drive(), 'G');
    QCOMPARE(fixture.form->lSize->text(), "67,108,864 bytes on G:");
    QCOMPARE(fixture.form->DirLB->Directory(), fixture.folder('E'));
    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)"}));
    QCOMPARE(fixture.fileEntries(), QStringList({"kept.txt"}));
}

void DrivePanelTest::folderListShowsThePathThenSortedVisibleSubfolders() {
    FormFixture fixture;
    for (const char* name : {"beta", "Alpha", "gamma", ".hidden", "beta/inner", "beta/Deep"}) {
        fixture.makeFolder('E', name);
    }
    fixture.makeFile('E', "file.txt");
    fixture.pick('E');

    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)", "Alpha", "beta", "gamma"}));
    QCOMPARE(depths(fixture.form->DirLB), QList<int>({0, 1, 1, 1}));
    QCOMPARE(fixture.form->DirLB->currentRow(), 0);

    fixture.form->DirLB->setDirectory(fixture.folder('E', "beta"));
    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)", "beta", "Deep", "inner"}));
    QCOMPARE(depths(fixture.form->DirLB), QList<int>({0, 1, 2, 2}));
    QCOMPARE(fixture.form->DirLB->currentRow(), 1);
}

void DrivePanelTest::movingTheHighlightOpensThatFolder() {
    FormFixture fixture;
    fixture.makeFolder('E', "one/two");
    fixture.makeFile('E', "one/in-one.txt");
    fixture.pick('E');
    QSignalSpy folderChanges(fixture.form->DirLB, &DirectoryListBox::changed);
    fixture.form->DirLB->setFocus();
    QTest::keyClick(fixture.form->DirLB, Qt::Key_Down);

    QTRY_COMPARE(fixture.form->DirLB->Directory(), fixture.folder('E', "one"));
    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)", "one", "two"}));
    QCOMPARE(fixture.fileEntries(), QStringList({"in-one.txt"}));
    QCOMPARE(QDir::currentPath().toStdString(), fixture.folder('E', "one"));
    QCOMPARE(folderChanges.count(), 1);

    // Enter on the folder already open neither re-reads nor raises a change.
    fixture.makeFolder('E', "one/three");
    fixture.makeFile('E', "one/new.txt");
    QTest::keyClick(fixture.form->DirLB, Qt::Key_Return);
    QTest::qWait(20);
    QCOMPARE(folderChanges.count(), 1);
    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)", "one", "two"}));
    QCOMPARE(fixture.fileEntries(), QStringList({"in-one.txt"}));
}

void DrivePanelTest::folderThatCannotBeEnteredKeepsTheList() {
    FormFixture fixture;
    fixture.makeFolder('E', "gone");
    fixture.makeFolder('E', "stays");
    fixture.makeFile('E', "top.txt");
    fixture.pick('E');
    QDir(QString::fromStdString(fixture.folder('E', "gone"))).removeRecursively();
    fixture.form->DirLB->setCurrentRow(1);
    QCoreApplication::processEvents();

    QCOMPARE(keptIoCode(), ResultCode::FileNotFound);
    QCOMPARE(fixture.form->DirLB->Directory(), fixture.folder('E'));
    QCOMPARE(fixture.folderEntries(), QStringList({"E-drive (E:)", "gone", "stays"}));
    QCOMPARE(fixture.form->DirLB->currentRow(), 1);
    QCOMPARE(fixture.fileEntries(), QStringList({"top.txt"}));
    QCOMPARE(QDir::currentPath().toStdString(), fixture.folder('E'));
}

void DrivePanelTest::fileListShowsOrdinaryVisibleFilesSorted() {
    FormFixture fixture;
    for (const char* name : {"b.txt", "A.txt", ".dot", "C", "a0"}) {
        fixture.makeFile('E', name);
    }
    fixture.makeFolder('E', "folder");
    fixture.pick('E');

    QCOMPARE(fixture.fileEntries(), QStringList({"A.txt", "a0", "b.txt", "C"}));
}

void DrivePanelTest::fileListKeepsWhatItShowsWhenTheFolderCannotBeEntered() {
    FormFixture fixture;
    fixture.makeFile('E', "kept.txt");
    fixture.pick('E');
    try {
        fixture.form->FileLB->setDirectory(fixture.folder('E', "missing"));
        QFAIL("no exception");
    } catch (const IoException& error) {
        QCOMPARE(error.code(), ResultCode::FileNotFound);
    }
    QCOMPARE(fixture.form->FileLB->Directory(), fixture.folder('E'));
    QCOMPARE(fixture.fileEntries(), QStringList({"kept.txt"}));
}

void DrivePanelTest::listsAreNotReadAgainAfterARun() {
    FormFixture fixture(256 * 512);
    fixture.makeFile('E', "before.txt");
    fixture.pick('E');
    bool made = false;
    fixture.device.onWrite = [&](std::int64_t) {
        if (!made) {
            made = true;
            fixture.makeFile('E', "during.XXX");
        }
    };
    QTest::mouseClick(fixture.form->TestButton, Qt::LeftButton);
    QCOMPARE(fixture.log().mid(2), closingLines("131,072"));
    QCOMPARE(fixture.fileEntries(), QStringList({"before.txt"}));

    fixture.pick('E');
    QCOMPARE(fixture.fileEntries(), QStringList({"before.txt"}));

    fixture.pick('F');
    fixture.pick('E');
    QCOMPARE(fixture.fileEntries(), QStringList({"before.txt", "during.XXX"}));
}

QTEST_MAIN(DrivePanelTest)
#include "DrivePanelTest.moc"
