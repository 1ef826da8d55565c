// The open and save dialogs with the places bar, driven through the real
// file dialog.

#include "AgOpenDialog.h"
#include "ModalDriver.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;
using testsupport::chooseFile;
using testsupport::ModalDriver;

namespace {

void reportVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor, bool queryWorks = true)
{
    setVersionProvider([=](OsVersionInfo &info) {
        if (!queryWorks || info.dwOSVersionInfoSize != 148)
            return false;
        info.dwPlatformId = platformId;
        info.dwMajorVersion = major;
        info.dwMinorVersion = minor;
        return true;
    });
}

// What the user saw in the file dialog.
struct Seen {
    bool placesBar = false;
    QString title;
    bool save = false;
    QStringList filters;
    QString directory;
};

Seen look(QWidget *modal)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    Seen seen;
    if (!dialog)
        return seen;
    seen.placesBar = dialog->findChild<QWidget *>(QStringLiteral("sidebar"))->isVisible();
    seen.title = dialog->windowTitle();
    seen.save = dialog->acceptMode() == QFileDialog::AcceptSave;
    seen.filters = dialog->nameFilters();
    seen.directory = dialog->directory().absolutePath();
    return seen;
}

} // namespace

class TestAgOpenDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setVersionProvider({}); }
    void newDialogByVersionRecord_data();
    void newDialogByVersionRecord();
    void placesBarFollowsTheSwitchOnNewSystemsOnly_data();
    void placesBarFollowsTheSwitchOnNewSystemsOnly();
    void cancelReturnsFalseAndKeepsFileName();
    void saveDialogIsASaveDialogAndTakesTheChosenName();
    void hookHandsTheSystemTheNewRecord();
};

void TestAgOpenDialog::newDialogByVersionRecord_data()
{
    QTest::addColumn<int>("platformId");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("queryWorks");
    QTest::addColumn<bool>("newDialog");
    QTest::newRow("Windows Me 4.90") << 1 << 4 << 90 << true << true;
    QTest::newRow("Windows 98 4.10") << 1 << 4 << 10 << true << false;
    QTest::newRow("Windows 95 4.0") << 1 << 4 << 0 << true << false;
    QTest::newRow("NT 4.0") << 2 << 4 << 0 << true << false;
    QTest::newRow("Windows 2000 5.0") << 2 << 5 << 0 << true << true;
    QTest::newRow("NT 6.1") << 2 << 6 << 1 << true << true;
    QTest::newRow("Win32s") << 0 << 10 << 0 << true << false;
    QTest::newRow("failing query") << 2 << 10 << 0 << false << false;
}

void TestAgOpenDialog::newDialogByVersionRecord()
{
    QFETCH(int, platformId);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, queryWorks);
    reportVersion(platformId, major, minor, queryWorks);
    QTEST(IsNewDialogAvailable(), "newDialog");
}

void TestAgOpenDialog::placesBarFollowsTheSwitchOnNewSystemsOnly_data()
{
    QTest::addColumn<int>("platformId");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("showPlacesBar");
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("placesBar");
    QTest::newRow("new system, open, shown") << 2 << 6 << 0 << true << false << true;
    QTest::newRow("new system, open, hidden") << 2 << 6 << 0 << false << false << false;
    QTest::newRow("new system, save, shown") << 2 << 6 << 0 << true << true << true;
    QTest::newRow("new system, save, hidden") << 2 << 6 << 0 << false << true << false;
    QTest::newRow("Windows Me, open, shown") << 1 << 4 << 90 << true << false << true;
    QTest::newRow("NT 4, open: plain dialog") << 2 << 4 << 0 << true << false << false;
    QTest::newRow("NT 4, save: plain dialog") << 2 << 4 << 0 << true << true << false;
    QTest::newRow("Windows 98, open: plain dialog") << 1 << 4 << 10 << true << false << false;
    // The dialog routine asks the very test of IsNewDialogAvailable.
    QTest::newRow("Windows line 5.0, save: plain dialog") << 1 << 5 << 0 << true << true << false;
}

void TestAgOpenDialog::placesBarFollowsTheSwitchOnNewSystemsOnly()
{
    QFETCH(int, platformId);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, showPlacesBar);
    QFETCH(bool, save);
    reportVersion(platformId, major, minor);
    std::unique_ptr<TAgOpenDialog> dialog(save ? new TAgSaveDialog : new TAgOpenDialog);
    dialog->ShowPlacesBar = showPlacesBar;
    Seen seen;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        seen = look(modal);
        static_cast<QDialog *>(modal)->reject();
    });
    QVERIFY(!dialog->Execute());
    VERIFY_DRIVER(driver);
    QTEST(seen.placesBar, "placesBar");
    QTEST(seen.save, "save");
}

void TestAgOpenDialog::cancelReturnsFalseAndKeepsFileName()
{
    TAgOpenDialog dialog;
    dialog.FileName = QStringLiteral("/data/zelo.fdb");
    dialog.Title = QStringLiteral("Zadejte cestu k databázovému souboru");
    dialog.Filter = QStringLiteral("databázové soubory InterBase (*.gdb, *.idb, *.ib, *.fb)|*.gdb;*.idb;*.ib;*.fb");
    Seen seen;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        seen = look(modal);
        testsupport::pressKey(modal, QKeySequence(Qt::Key_Escape));
    });
    QVERIFY(!dialog.Execute());
    VERIFY_DRIVER(driver);
    QCOMPARE(dialog.FileName, QStringLiteral("/data/zelo.fdb"));
    QCOMPARE(seen.title, QStringLiteral("Zadejte cestu k databázovému souboru"));
    QCOMPARE(seen.filters,
             QStringList{"databázové soubory InterBase (*.gdb, *.idb, *.ib, *.fb) (*.gdb *.idb *.ib *.fb)"});
    QVERIFY(seen.placesBar);
}

void TestAgOpenDialog::saveDialogIsASaveDialogAndTakesTheChosenName()
{
    QTemporaryDir folder;
    QFile existing(folder.filePath(QStringLiteral("stara.gbk")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    TAgSaveDialog dialog;
    dialog.DefaultExt = QStringLiteral("gbk");
    dialog.Filter = QStringLiteral("Zálohovací soubor INTERBASE|*.gbk;*.ibk");
    dialog.InitialDir = folder.path();
    Seen seen;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        seen = look(modal);
        chooseFile(modal, QStringLiteral("záloha"));
    });
    QVERIFY(dialog.Execute());
    VERIFY_DRIVER(driver);
    QVERIFY(seen.save);
    QCOMPARE(seen.directory, QDir(folder.path()).absolutePath());
    QCOMPARE(dialog.FileName, folder.filePath(QStringLiteral("záloha.gbk")));
    QCOMPARE(dialog.FilterIndex, 1);

    // An existing file is taken without a question.
    driver.then([&](QWidget *modal) { chooseFile(modal, QStringLiteral("stara.gbk")); });
    QVERIFY(dialog.Execute());
    VERIFY_DRIVER(driver);
    QCOMPARE(dialog.FileName, folder.filePath(QStringLiteral("stara.gbk")));
    QCOMPARE(driver.seen().size(), 2);
}

void TestAgOpenDialog::hookHandsTheSystemTheNewRecord()
{
    // Execute sets the switch for the hooks; a cancelled dialog leaves it.
    TAgSaveDialog hidden;
    hidden.ShowPlacesBar = false;
    ModalDriver driver;
    driver.then([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
    QVERIFY(!hidden.Execute());

    FileDialogRecord record;
    record.lStructSize = FileDialogRecordOldSize;
    record.lpstrTitle = QStringLiteral("Uložit");
    record.Flags = OFN_HIDEREADONLY;
    Seen seen;
    driver.then([&](QWidget *modal) {
        seen = look(modal);
        static_cast<QDialog *>(modal)->reject();
    });
    QCOMPARE(SaveFileNameHook(record), 0);
    VERIFY_DRIVER(driver);
    QVERIFY(seen.save);
    QVERIFY(!seen.placesBar);
    QCOMPARE(seen.title, QStringLiteral("Uložit"));
    QCOMPARE(record.lStructSize, FileDialogRecordNewSize);
    QCOMPARE(record.FlagsEx, OFN_EX_NOPLACESBAR);
    QCOMPARE(record.Flags, OFN_HIDEREADONLY);
}

QTEST_MAIN(TestAgOpenDialog)
#include "tst_AgOpenDialog.moc"
