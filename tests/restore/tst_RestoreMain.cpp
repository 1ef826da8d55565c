// Pelrin's start-up: the command line, its modes and exit codes, run
// in-process and as the real program against the private server. Started
// with kFaultSwitch, this test program is Pelrin with one of its steps made
// to fail, for the exit codes of failures that no command line brings about.

#include "RestoreFixture.h"
#include "StalledBackup.h"

#include "ModalDriver.h"
#include "ProcessSignals.h"
#include "ProgramOnScreen.h"
#include "RestoreMain.h"
#include "TestMain.h"
#include "base/FileLock.h"
#include "db/Database.h"
#include "fDAWait.h"
#include "fIBServer.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>
#include <vector>

using namespace restoretest;
using testsupport::addSignalRows;
using testsupport::DbFixture;
using testsupport::ModalDriver;

Q_DECLARE_METATYPE(TRunMode)
Q_DECLARE_METATYPE(restoretest::BadBackup)

namespace {

const QKeySequence kReturn(Qt::Key_Return);
const QKeySequence kEscape(Qt::Key_Escape);
const char kFaultSwitch[] = "--pelrin-with-fault";
const QString kStuckConnection = QStringLiteral("stuck-connection");
const QString kThrowingRestore = QStringLiteral("throwing-restore");
const QString kRestoreFailed = QStringLiteral("Chyba při obnově databáze ze zálohy!\n\n");

// Pelrin whose connection never reports itself closed, or whose restore
// raises an error that nothing in it catches: "program kFaultSwitch fault
// Pelrin's arguments".
int runPelrinWithFault(int argc, char **argv)
{
    TRestoreSteps steps = ProgramRestoreSteps();
    const QString fault = QString::fromLocal8Bit(argv[2]);
    if (fault == kStuckConnection) {
        steps.isConnected = [](platform::Database &) { return true; };
        steps.disconnectPause = std::chrono::milliseconds(1);
    } else if (fault == kThrowingRestore) {
        steps.restore = [](platform::Database &, const TRestoreParams &, TBackupRunKind) -> TRestoreOutcome {
            throw EDatabaseError(QStringLiteral("Obnova selhala mimo okno obnovy."));
        };
    } else {
        return 100;
    }
    std::vector<char *> pelrinArgv{argv[0]};
    pelrinArgv.insert(pelrinArgv.end(), argv + 3, argv + argc);
    pelrinArgv.push_back(nullptr);
    return RestoreMain(int(pelrinArgv.size()) - 1, pelrinArgv.data(), steps);
}

// The real program, its output on the test's own.
void startPelrin(QProcess &pelrin, const QStringList &args)
{
    pelrin.setProcessChannelMode(QProcess::ForwardedChannels);
    pelrin.start(qEnvironmentVariable("ZELO_BINARY_DIR") + QStringLiteral("/restore/pelrin"), args);
}

int runPelrin(const QStringList &args)
{
    std::vector<QByteArray> bytes{QByteArrayLiteral("pelrin")};
    for (const QString &arg : args)
        bytes.push_back(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &arg : bytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return RestoreMain(int(bytes.size()), argv.data());
}

QString withoutCr(QString text)
{
    return text.remove(u'\r');
}

// Records whether the wait window showed while the code under test ran.
class WaitWindowWatch {
public:
    WaitWindowWatch()
    {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { seen_ = seen_ || (frmDAWait && frmDAWait->isVisible()); });
        timer_.start();
    }
    bool seen() const { return seen_; }

private:
    QTimer timer_;
    bool seen_ = false;
};

} // namespace

class TestRestoreMain : public QObject {
    Q_OBJECT

private slots:

    void parameters_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("backup");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("password");
        QTest::addColumn<TRunMode>("mode");
        const auto row = [](const char *name, const QStringList &args, const QString &backup, const QString &database,
                            const QString &server, const QString &password, TRunMode mode) {
            QTest::newRow(name) << args << backup << database << server << password << mode;
        };
        const QString localhost = QStringLiteral("localhost");
        const QString defaultPassword = QStringLiteral("vuvuzarid");
        row("two only", {"a.gbk", "d.fdb"}, "a.gbk", "d.fdb", localhost, defaultPassword, rmInteractive);
        row("quotes removed from 1 to 3, kept in 4", {"\"C:\\a b\\x.gbk\"", "\"/d/x.fdb\"", "\"srv\"", "\"tajné\""},
            "C:\\a b\\x.gbk", "/d/x.fdb", "srv", "\"tajné\"", rmInteractive);
        row("blank server and password", {"a", "d", " \t", "  "}, "a", "d", localhost, defaultPassword, rmInteractive);
        row("blanks kept around server and password", {"a", "d", " srv ", " heslo "}, "a", "d", " srv ", " heslo ",
            rmInteractive);
        const QStringList twoEmpty{"a", "d", "", ""};
        for (const char *word : {"SILENT", "-SILENT", "/SILENT"})
            row(word, twoEmpty + QStringList{word}, "a", "d", localhost, defaultPassword, rmSilent);
        for (const char *word : {"VERYSILENT", "-VERYSILENT", "/VERYSILENT"})
            row(word, twoEmpty + QStringList{word}, "a", "d", localhost, defaultPassword, rmVerySilent);
        row("a sixth changes nothing", twoEmpty + QStringList{"VERYSILENT", "SILENT"}, "a", "d", localhost,
            defaultPassword, rmVerySilent);
        for (const char *word : {"verysilent", "Silent", "SILENT ", "QUIET"})
            row(word, twoEmpty + QStringList{word}, "a", "d", localhost, defaultPassword, rmInteractive);
    }

    void parameters()
    {
        QFETCH(QStringList, args);
        const TRestoreParams params = ParseRestoreParams(args);
        QTEST(params.ParamBackupFile, "backup");
        QTEST(params.ParamDatabaseFile, "database");
        QTEST(params.ParamServer, "server");
        QTEST(params.ParamPassword, "password");
        QTEST(params.RunMode, "mode");
    }

    void usageBoxBelowTwoParameters_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("one") << QStringList{"a.gbk"};
    }

    void usageBoxBelowTwoParameters()
    {
        QFETCH(QStringList, args);
        ModalDriver driver;
        driver.thenKeys({kReturn});
        QCOMPARE(runPelrin(args), kExitUsage);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        const testsupport::ModalRecord &box = driver.seen()[0];
        QCOMPARE(box.title, QStringLiteral("Informace"));
        QCOMPARE(box.icon, int(QMessageBox::Information));
        QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
        const QStringList expected{
            "Program musí být spuštěn alepoň s prvními dvěma parametry:      ",
            "",
            "parametr 1:   umístění záložního souboru",
            "parametr 2:   umístění databázového souboru",
            "parametr 3:   název nebo IP adresa serveru <localhost>",
            "parametr 4:   heslo uživatele SYSDBA <vuvuzarid>",
            "parametr 5:   SILENT, VERYSILENT",
            "",
            "Tip:",
            "Umístění souborů je vhodné psát v uvozovkách z důvodů možných mezer.",
            "Např.: \"C:\\Program Files\\KASTEL\\ZELO\\DEvevi\\DEvevi.idb\"",
        };
        QCOMPARE(RestoreUsageText(), expected.join(QStringLiteral("\r\n")));
        QCOMPARE(withoutCr(box.text), expected.join(u'\n'));
    }

    void disconnectWaitTestsAtMostAHundredTimes()
    {
        int tests = 0;
        QVERIFY(!WaitForDisconnect([&] { return ++tests > 0; }, std::chrono::milliseconds(0)));
        QCOMPARE(tests, 100);

        tests = 0;
        QVERIFY(WaitForDisconnect([&] { return ++tests < 3; }, std::chrono::milliseconds(0)));
        QCOMPARE(tests, 3);

        tests = 0;
        QVERIFY(WaitForDisconnect([&] { return ++tests < 0; }));
        QCOMPARE(tests, 1);
    }

    void silentProgramReplacesTheDatabase_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("VERYSILENT") << "VERYSILENT";
        QTest::newRow("SILENT, with the wait window") << "SILENT";
    }

    void silentProgramReplacesTheDatabase()
    {
        QFETCH(QString, mode);
        const SampleBackup backup(QStringLiteral("process"), 5);
        const DbFixture target(QStringLiteral("process-target"));
        addOldUser(target);
        QProcess pelrin;
        startPelrin(pelrin, {backup.path, target.path(), QString(), testsupport::sysdbaPassword(), mode});
        QVERIFY(pelrin.waitForFinished(60000));
        QCOMPARE(pelrin.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pelrin.exitCode(), kExitDone);
        QCOMPARE(userCount(target), 5);
        QCOMPARE(commonSurname(target), kCzechSurname);
    }

    // The engine names shared files after the inode of the database that the
    // new one replaced: a file made the moment the program has ended must not
    // get that inode.
    void replacedDatabaseKeepsItsInodeAfterTheProgramEnds()
    {
        const SampleBackup backup(QStringLiteral("inode"), 1);
        const DbFixture target(QStringLiteral("inode-target"));
        const ino_t replaced = testsupport::inodeOf(target.path());
        QVERIFY(replaced != 0);
        QProcess pelrin;
        startPelrin(pelrin, {backup.path, target.path(), QString(), testsupport::sysdbaPassword(), "VERYSILENT"});
        QVERIFY(pelrin.waitForFinished(60000));
        QCOMPARE(pelrin.exitCode(), kExitDone);
        QCOMPARE(userCount(target), 1);
        QVERIFY(testsupport::inodeOf(target.path()) != replaced);
        QVERIFY(testsupport::inodeOfANewFileBeside(target.path()) != replaced);
    }

    void aSignalDuringARestoreEndsWithOneAndLeavesTheRestoreToTheServer_data() { addSignalRows(); }

    void aSignalDuringARestoreEndsWithOneAndLeavesTheRestoreToTheServer()
    {
        QFETCH(int, signal);
        const DbFixture target(QStringLiteral("signal-target"));
        // A restore that runs, and says nothing, until the test lets it go.
        StalledBackup backup(QStringLiteral("signal"));
        QProcess pelrin;
        startPelrin(pelrin, {backup.path, target.path(), QString(), testsupport::sysdbaPassword(), "VERYSILENT"});
        QVERIFY(backup.waitForReader(15000));
        ::kill(pid_t(pelrin.processId()), signal);
        QVERIFY(pelrin.waitForFinished(10000));
        QCOMPARE(pelrin.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pelrin.exitCode(), kExitFailed);
        QVERIFY(backup.stillRead());
    }

    void aSignalBeforeAnyRestoreEndsWithOne_data() { addSignalRows(); }

    void aSignalBeforeAnyRestoreEndsWithOne()
    {
        QFETCH(int, signal);
        const SampleBackup backup(QStringLiteral("window-signal"));
        const DbFixture target(QStringLiteral("window-signal-target"));
        addOldUser(target);
        // Wherever the signal finds it (connection test, disconnect wait or the
        // window waiting for "Obnovit"), the program ends without a restore.
        QProcess pelrin;
        startPelrin(pelrin, {backup.path, target.path(), QString(), testsupport::sysdbaPassword()});
        QVERIFY(testsupport::waitUntilSignalsTakenOver(pelrin.processId(), 15000));
        ::kill(pid_t(pelrin.processId()), signal);
        QVERIFY(pelrin.waitForFinished(10000));
        QCOMPARE(pelrin.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pelrin.exitCode(), kExitFailed);
        QCOMPARE(commonSurname(target), kOldSurname);
    }

    void aSignalAtTheStartWaitsForTheProgram_data() { addSignalRows(); }

    // The start blocks the signals before the program's libraries load and
    // hands them on waiting. Here the program it becomes is a script that
    // waits for the test, then shows its blocked and waiting signals.
    void aSignalAtTheStartWaitsForTheProgram()
    {
        QFETCH(int, signal);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString start = folder.filePath(QStringLiteral("pelrin"));
        QVERIFY(QFile::copy(qEnvironmentVariable("ZELO_BINARY_DIR") + QStringLiteral("/restore/pelrin"), start));
        const QString go = folder.filePath(QStringLiteral("go"));
        QCOMPARE(::mkfifo(QFile::encodeName(go).constData(), 0600), 0);
        testsupport::writeBytes(folder.filePath(QStringLiteral("pelrin-main")),
                                "#!/bin/sh\nread line < \"$(dirname \"$0\")/go\"\n"
                                "exec grep -E '^(SigBlk|SigPnd|ShdPnd):' /proc/self/status\n");
        QVERIFY(
            QFile::setPermissions(folder.filePath(QStringLiteral("pelrin-main")), QFile::ReadOwner | QFile::ExeOwner));
        QProcess program;
        program.start(start, {QStringLiteral("a.gbk"), QStringLiteral("d.fdb")});
        QVERIFY(program.waitForStarted(15000));
        QVERIFY(testsupport::waitUntilSignalsTakenOver(program.processId(), 15000));
        ::kill(pid_t(program.processId()), signal);
        QFile goFile(go);
        QVERIFY(goFile.open(QIODevice::WriteOnly));
        goFile.write("\n");
        goFile.close();
        QVERIFY(program.waitForFinished(15000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        quint64 blocked = 0;
        quint64 waiting = 0;
        for (const QByteArray &line : program.readAllStandardOutput().split('\n')) {
            const quint64 mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
            if (line.startsWith("SigBlk:"))
                blocked |= mask;
            else if (!line.isEmpty())
                waiting |= mask;
        }
        const quint64 bit = quint64(1) << (signal - 1);
        QVERIFY(blocked & bit);
        QVERIFY(waiting & bit);
    }

    void aSignalWaitingWhenTheProgramStartsEndsItWithOne_data() { addSignalRows(); }

    // The program itself, started with the signal already waiting as the
    // start hands it on: it ends as after any signal before a restore.
    void aSignalWaitingWhenTheProgramStartsEndsItWithOne()
    {
        QFETCH(int, signal);
        const SampleBackup backup(QStringLiteral("early-signal"));
        const DbFixture target(QStringLiteral("early-signal-target"));
        addOldUser(target);
        QProcess pelrin;
        pelrin.setProcessChannelMode(QProcess::ForwardedChannels);
        pelrin.setChildProcessModifier([signal] {
            sigset_t endSignals;
            sigemptyset(&endSignals);
            sigaddset(&endSignals, SIGTERM);
            sigaddset(&endSignals, SIGINT);
            sigprocmask(SIG_BLOCK, &endSignals, nullptr);
            ::raise(signal);
        });
        pelrin.start(qEnvironmentVariable("ZELO_BINARY_DIR") + QStringLiteral("/restore/pelrin-main"),
                     {backup.path, target.path(), QString(), testsupport::sysdbaPassword(), "VERYSILENT"});
        QVERIFY(pelrin.waitForFinished(30000));
        QCOMPARE(pelrin.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pelrin.exitCode(), kExitFailed);
        QCOMPARE(commonSurname(target), kOldSurname);
        QCOMPARE(filesBeside(target.path()), QStringList());
    }

    void interactiveRestoreEndsWithZero()
    {
        const SampleBackup backup(QStringLiteral("interactive"));
        const DbFixture target(QStringLiteral("interactive-target"));
        addOldUser(target);
        ModalDriver driver;
        driver.thenKeys({kReturn}).thenKeys({kReturn});
        QCOMPARE(runPelrin({backup.path, target.path(), "localhost", testsupport::sysdbaPassword()}), kExitDone);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmIBback"));
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Obnova databáze ze zálohy byla úspěšně dokončena."));
        QCOMPARE(commonSurname(target), kCzechSurname);
    }

    void otherModeWordsShowTheWindow_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("lower case") << "verysilent";
        QTest::newRow("mixed case") << "Silent";
        QTest::newRow("unknown") << "QUIET";
    }

    void otherModeWordsShowTheWindow()
    {
        QFETCH(QString, mode);
        const SampleBackup backup(QStringLiteral("word"));
        const DbFixture target(QStringLiteral("word-target"));
        addOldUser(target);
        ModalDriver driver;
        driver.thenKeys({kEscape});
        QCOMPARE(runPelrin({backup.path, target.path(), "", testsupport::sysdbaPassword(), mode}), kExitDone);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmIBback"));
        QCOMPARE(commonSurname(target), kOldSurname); // closed without a restore
    }

    void silentModesRestoreWithoutWindows_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("waitWindow");
        QTest::newRow("SILENT") << "SILENT" << true;
        QTest::newRow("/SILENT") << "/SILENT" << true;
        QTest::newRow("VERYSILENT") << "VERYSILENT" << false;
        QTest::newRow("-VERYSILENT") << "-VERYSILENT" << false;
    }

    void silentModesRestoreWithoutWindows()
    {
        QFETCH(QString, mode);
        QFETCH(bool, waitWindow);
        const SampleBackup backup(QStringLiteral("silent"));
        const DbFixture target(QStringLiteral("silent-target"));
        addOldUser(target);
        ModalDriver driver;
        const WaitWindowWatch watch;
        QCOMPARE(runPelrin({backup.path, target.path(), "", testsupport::sysdbaPassword(), mode}), kExitDone);
        VERIFY_DRIVER(driver);
        QVERIFY(driver.seen().isEmpty());
        QCOMPARE(watch.seen(), waitWindow);
        QVERIFY(!frmDAWait || !frmDAWait->isVisible());
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
    }

    void missingBackupFileWarnsAndEndsWithOne()
    {
        const DbFixture target(QStringLiteral("missing-target"));
        addOldUser(target);
        ModalDriver driver;
        driver.thenKeys({kReturn});
        const WaitWindowWatch watch;
        const QString missing = testsupport::firebirdDir() + QStringLiteral("/none.gbk");
        QCOMPARE(runPelrin({missing, target.path(), "", testsupport::sysdbaPassword(), "SILENT"}), kExitFailed);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        const QString text = withoutCr(driver.seen()[0].text);
        QVERIFY2(text.startsWith(QStringLiteral("Chyba při obnově databáze ze zálohy!\n\n")), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String("none.gbk")), qPrintable(text));
        QVERIFY(watch.seen());
        QVERIFY(!frmDAWait->isVisible());
    }

    void wrongPasswordShowsTheConnectionDialogInEveryMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("interactive") << "";
        QTest::newRow("SILENT") << "SILENT";
        QTest::newRow("VERYSILENT") << "VERYSILENT";
    }

    void wrongPasswordShowsTheConnectionDialogInEveryMode()
    {
        QFETCH(QString, mode);
        const SampleBackup backup(QStringLiteral("password"));
        const DbFixture target(QStringLiteral("password-target"));
        addOldUser(target);
        ModalDriver driver;
        driver.thenKeys({kEscape}).thenKeys({kReturn});
        const WaitWindowWatch watch;
        QCOMPARE(runPelrin({backup.path, target.path(), "", "spatne", mode}), kExitFailed);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmIBServer"));
        QCOMPARE(driver.seen()[1].title, QStringLiteral("Upozornění"));
        const QString text = withoutCr(driver.seen()[1].text);
        QVERIFY2(text.startsWith(QStringLiteral("Chyba připojení k databázi!\n\n")), qPrintable(text));
        QVERIFY(!watch.seen());
        QCOMPARE(commonSurname(target), kOldSurname);
    }

    void passwordCorrectedInTheConnectionDialogIsTheOneRestoredWith()
    {
        const SampleBackup backup(QStringLiteral("corrected"));
        const DbFixture target(QStringLiteral("corrected-target"));
        addOldUser(target);
        ModalDriver driver;
        driver.then([](QWidget *dialog) {
            auto *password = qobject_cast<TfrmIBServer *>(dialog)->edtPassword;
            password->setFocus();
            QTest::keyClick(password, Qt::Key_A, Qt::ControlModifier);
            testsupport::typeText(password, testsupport::sysdbaPassword());
            testsupport::pressKey(dialog, kReturn);
        });
        const int exitCode = runPelrin({backup.path, target.path(), "", "spatne", "VERYSILENT"});
        VERIFY_DRIVER(driver);
        QCOMPARE(exitCode, kExitDone);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmIBServer"));
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
    }

    void badBackupKeepsTheOldDatabase_data()
    {
        QTest::addColumn<BadBackup>("kind");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("reason");
        const QString incomplete = QStringLiteral("Soubor se zálohou databáze je neúplný, obnova nebyla dokončena.");
        for (const char *mode : {"VERYSILENT", ""}) {
            const QByteArray name = *mode ? QByteArray(mode) : QByteArrayLiteral("interactive");
            QTest::newRow(name + ", random bytes")
                << BadBackup::RandomBytes << mode << QStringLiteral("expected backup description record");
            QTest::newRow(name + ", truncated") << BadBackup::Truncated << mode << incomplete;
            // What the server reads in place of a record varies with the bytes.
            QTest::newRow(name + ", corrupted in the middle") << BadBackup::CorruptedInTheMiddle << mode << QString();
        }
    }

    void badBackupKeepsTheOldDatabase()
    {
        QFETCH(BadBackup, kind);
        QFETCH(QString, mode);
        QFETCH(QString, reason);
        const bool interactive = mode.isEmpty();
        const SampleBackup backup(QStringLiteral("good"), 2000);
        const QString bad = backup.path + QStringLiteral(".bad.gbk");
        writeBadBackup(kind, backup.path, bad);
        const DbFixture target(QStringLiteral("kept"));
        addSampleUsers(target, 7, kOldCzechSurname);
        // Each modal window is answered by Return: "Obnovit" in the restore
        // window, OK in a box.
        struct Run {
            int exitCode;
            QList<testsupport::ModalRecord> seen;
            QString failures;
        };
        const auto runAnswering = [&](const QString &backupFile, int modals) {
            ModalDriver driver;
            for (int i = 0; i < modals; ++i)
                driver.thenKeys({kReturn});
            Run run;
            run.exitCode = runPelrin({backupFile, target.path(), QString(), testsupport::sysdbaPassword(), mode});
            if (!driver.waitDone())
                run.failures = driver.report();
            run.seen = driver.seen();
            return run;
        };

        const Run failed = runAnswering(bad, interactive ? 2 : 1);
        QVERIFY2(failed.failures.isEmpty(), qPrintable(failed.failures));
        QCOMPARE(failed.exitCode, kExitFailed);
        QCOMPARE(failed.seen.last().title, QStringLiteral("Upozornění"));
        const QString text = withoutCr(failed.seen.last().text);
        QVERIFY2(text.startsWith(kRestoreFailed) && text.contains(reason), qPrintable(text));
        QCOMPARE(userCount(target), 7);
        QCOMPARE(commonSurname(target), kOldCzechSurname);
        QCOMPARE(filesBeside(target.path()), QStringList());

        // A good backup afterwards replaces it.
        const Run done = runAnswering(backup.path, interactive ? 2 : 0);
        QVERIFY2(done.failures.isEmpty(), qPrintable(done.failures));
        QCOMPARE(done.exitCode, kExitDone);
        if (interactive)
            QCOMPARE(done.seen.last().text, QStringLiteral("Obnova databáze ze zálohy byla úspěšně dokončena."));
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
        QCOMPARE(filesBeside(target.path()), QStringList());
    }

    // A server named with its port: the restore goes into a new file beside
    // the target, so a bad backup keeps the old database; a good one replaces it.
    void serverWithAPortRestoresBesideTheTarget_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("localhost") << testsupport::serverWithPort();
        QTest::newRow("loopback address") << testsupport::serverWithPort(QStringLiteral("127.0.0.1"));
    }

    void serverWithAPortRestoresBesideTheTarget()
    {
        QFETCH(QString, server);
        const SampleBackup backup(QStringLiteral("port"), 2000);
        const QString truncated = backup.path + QStringLiteral(".bad.gbk");
        writeBadBackup(BadBackup::Truncated, backup.path, truncated);
        const DbFixture target(QStringLiteral("port-target"));
        addSampleUsers(target, 7, kOldCzechSurname);
        {
            ModalDriver driver;
            driver.thenKeys({kReturn});
            QCOMPARE(runPelrin({truncated, target.path(), server, testsupport::sysdbaPassword(), "VERYSILENT"}),
                     kExitFailed);
            VERIFY_DRIVER(driver);
            QVERIFY2(driver.seen()[0].text.contains(QStringLiteral("neúplný")), qPrintable(driver.seen()[0].text));
        }
        QCOMPARE(userCount(target), 7);
        QCOMPARE(commonSurname(target), kOldCzechSurname);

        QCOMPARE(runPelrin({backup.path, target.path(), server, testsupport::sysdbaPassword(), "VERYSILENT"}),
                 kExitDone);
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
        QCOMPARE(filesBeside(target.path()), QStringList());
    }

    // LINGER keeps a database open in its server after its last connection,
    // Pelrin's own connection test included: that alone is no use.
    void lingeringDatabaseIsReplacedUnlessAttached_data()
    {
        QTest::addColumn<bool>("attached");
        QTest::newRow("lingering") << false;
        QTest::newRow("lingering and attached") << true;
    }

    void lingeringDatabaseIsReplacedUnlessAttached()
    {
        QFETCH(bool, attached);
        const SampleBackup backup(QStringLiteral("linger"), 50);
        const DbFixture target(QStringLiteral("linger-target"));
        addSampleUsers(target, 7, kOldCzechSurname);
        target.execute(QStringLiteral("alter database set linger to 60"));
        const auto holder = attached ? target.openConnection() : nullptr;
        ModalDriver driver;
        if (attached)
            driver.thenKeys({kReturn});
        const int exitCode = runPelrin({backup.path, target.path(), "", testsupport::sysdbaPassword(), "VERYSILENT"});
        VERIFY_DRIVER(driver);
        QCOMPARE(filesBeside(target.path()), QStringList());
        if (attached) {
            QCOMPARE(exitCode, kExitFailed);
            QVERIFY2(driver.seen()[0].text.contains(QStringLiteral("might be in use")),
                     qPrintable(driver.seen()[0].text));
            QVERIFY(holder->connected());
            QCOMPARE(commonSurname(target), kOldCzechSurname);
        } else {
            QCOMPARE(exitCode, kExitDone);
            QCOMPARE(userCount(target), backup.rows);
            QCOMPARE(commonSurname(target), kCzechSurname);
        }
    }

    // A name of 250 bytes: the new file beside it still fits the folder.
    void longTargetNameRestores()
    {
        const SampleBackup backup(QStringLiteral("long"), 20);
        const QString name = QStringLiteral("dlouhé-") + QString(119, u'ž') + QStringLiteral(".fdb");
        QCOMPARE(QFile::encodeName(name).size(), 250);
        const QString folder = testsupport::firebirdDir() + QStringLiteral("/db/long-") +
                               QString::number(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkpath(folder));
        const DbFixture target = DbFixture::atPath(folder + QLatin1Char('/') + name);
        addSampleUsers(target, 7, kOldCzechSurname);
        QCOMPARE(runPelrin({backup.path, target.path(), "", testsupport::sysdbaPassword(), "VERYSILENT"}), kExitDone);
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{name});
    }

    // Pelrin killed mid-restore: the server finishes the restore into the
    // new file, which stays. The next restore of the target removes it, and
    // leaves a file of another name alone.
    void leftoverOfAKilledRestoreIsRemovedByTheNextRestore()
    {
        // Large enough that the restore is still running when the new file
        // has just appeared.
        const SampleBackup backup(QStringLiteral("killed"), 100000);
        const DbFixture target(QStringLiteral("killed-target"));
        addSampleUsers(target, 7, kOldCzechSurname);
        const QString other = target.path() + QStringLiteral(".obnova-kopie");
        testsupport::writeBytes(other, "kept");

        QProcess pelrin;
        startPelrin(pelrin, {backup.path, target.path(), QString(), testsupport::sysdbaPassword(), "VERYSILENT"});
        QTRY_COMPARE_WITH_TIMEOUT(filesBeside(target.path()).size(), 2, 60000);
        pelrin.kill();
        QVERIFY(pelrin.waitForFinished(10000));
        QCOMPARE(pelrin.exitStatus(), QProcess::CrashExit);
        QStringList left = filesBeside(target.path());
        left.removeAll(QFileInfo(other).fileName());
        QCOMPARE(left.size(), 1);
        const QString leftover = QFileInfo(target.path()).dir().filePath(left[0]);
        // The server lets the new file go once its restore has ended.
        QTRY_VERIFY_WITH_TIMEOUT(platform::ExclusiveFileLock(leftover).held(), 120000);
        QCOMPARE(commonSurname(target), kOldCzechSurname);

        QCOMPARE(runPelrin({backup.path, target.path(), "", testsupport::sysdbaPassword(), "VERYSILENT"}), kExitDone);
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(filesBeside(target.path()), QStringList{QFileInfo(other).fileName()});
        QCOMPARE(testsupport::readBytes(other), QByteArray("kept"));
    }

    void connectionErrorShowsCzechLettersOfThePath()
    {
        const SampleBackup backup(QStringLiteral("path"));
        const QString missing = testsupport::firebirdDir() + QStringLiteral("/db/obnova_čř-chybí.fdb");
        ModalDriver driver;
        driver.thenKeys({kEscape}).thenKeys({kReturn});
        QCOMPARE(runPelrin({backup.path, missing, QString(), testsupport::sysdbaPassword(), "VERYSILENT"}),
                 kExitFailed);
        VERIFY_DRIVER(driver);
        const QString text = withoutCr(driver.seen().last().text);
        QVERIFY2(text.startsWith(QStringLiteral("Chyba připojení k databázi!\n\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\"%1\"").arg(missing)), qPrintable(text));
    }

    // Every way the program ends but a restore run to its end (tested above).
    void exitCodeOfTheProcess_data()
    {
        QTest::addColumn<bool>("faulty");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("windows");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("exitCode");
        // Placeholders for the files each run makes: {backup}, {bad}, {target}, {missing}, {password}.
        const QStringList silent{"{backup}", "{target}", "", "{password}", "VERYSILENT"};
        const QString warning = QStringLiteral("Upozornění");
        QTest::newRow("usage box") << false << QStringList{} << QStringList{"Informace"} << QStringList{"Return"}
                                   << kExitUsage;
        QTest::newRow("connection failure")
            << false << QStringList{"{backup}", "{missing}", "", "{password}", "VERYSILENT"}
            << QStringList{"InterBase Server nastavení", warning} << QStringList{"Escape", "Return"} << kExitFailed;
        QTest::newRow("restore failure") << false << QStringList{"{bad}", "{target}", "", "{password}", "VERYSILENT"}
                                         << QStringList{warning} << QStringList{"Return"} << kExitFailed;
        QTest::newRow("restore failure in the window")
            << false << QStringList{"{bad}", "{target}", "", "{password}"}
            << QStringList{"Obnova dat ze zálohy", warning} << QStringList{"Return", "Return"} << kExitFailed;
        QTest::newRow("disconnect wait failing") << true << QStringList{kStuckConnection} + silent
                                                 << QStringList{warning} << QStringList{"Return"} << kExitFailed;
        // The default error box has the application's name as its caption.
        QTest::newRow("error escaping the restore")
            << true << QStringList{kThrowingRestore} + silent << QStringList{QCoreApplication::applicationName()}
            << QStringList{"Return"} << kExitFailed;
    }

    void exitCodeOfTheProcess()
    {
        QFETCH(bool, faulty);
        QFETCH(QStringList, args);
        QFETCH(QStringList, windows);
        QFETCH(QStringList, keys);
        QFETCH(int, exitCode);
        const VirtualScreen screen;
        QVERIFY2(!screen.display().isEmpty(), "the virtual screen (Xvfb) did not start");
        const SampleBackup backup(QStringLiteral("process"));
        const QString bad = backup.path + QStringLiteral(".bad.gbk");
        writeBadBackup(BadBackup::RandomBytes, backup.path, bad);
        const DbFixture target(QStringLiteral("process-target"));
        addOldUser(target);
        const QMap<QString, QString> files{{"{backup}", backup.path},
                                           {"{bad}", bad},
                                           {"{target}", target.path()},
                                           {"{missing}", target.path() + QStringLiteral(".none")},
                                           {"{password}", testsupport::sysdbaPassword()}};
        for (QString &arg : args)
            arg = files.value(arg, arg);
        QList<WindowAnswer> answers;
        for (qsizetype i = 0; i < windows.size(); ++i)
            answers << WindowAnswer{windows[i], keys[i]};
        const QString program = faulty ? QCoreApplication::applicationFilePath()
                                       : qEnvironmentVariable("ZELO_BINARY_DIR") + QStringLiteral("/restore/pelrin");
        if (faulty)
            args.prepend(QString::fromLatin1(kFaultSwitch));

        const ProgramRun run = ProgramOnScreen(screen).run(program, args, answers);
        QVERIFY2(run.failure.isEmpty(), qPrintable(run.failure));
        QCOMPARE(run.windowsAnswered, windows);
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(commonSurname(target), kOldSurname);
        QCOMPARE(filesBeside(target.path()), QStringList());
    }
};

ZELO_TEST_MAIN_WITH_CHILD(TestRestoreMain, kFaultSwitch, runPelrinWithFault)

#include "tst_RestoreMain.moc"
