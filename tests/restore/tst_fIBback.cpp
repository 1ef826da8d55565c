// The restore window driven by keys over real backups on the private server
// and through the embedded engine.

#include "RestoreFixture.h"

#include "ModalDriver.h"
#include "TestMain.h"
#include "db/Database.h"
#include "fIBback.h"
#include "ui/Application.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>

using namespace platform;
using namespace restoretest;
using testsupport::DbFixture;
using testsupport::ModalDriver;

namespace {

const QKeySequence kReturn(Qt::Key_Return);
const QKeySequence kEscape(Qt::Key_Escape);
// The box's first line and the blank line under it.
const QString kRestoreFailed = QStringLiteral("Chyba při obnově databáze ze zálohy!\n\n");

QString withoutCr(QString text)
{
    return text.remove(u'\r');
}

std::unique_ptr<Database> connectionTo(const QString &databaseName,
                                       const QStringList &params = DbFixture::connectionParams())
{
    auto db = std::make_unique<Database>();
    db->setDatabaseName(databaseName);
    db->setParams(params);
    return db;
}

// A restore window over the private server's database, filled as
// RunBackupRestore fills it.
std::unique_ptr<TfrmIBback> windowRestoring(const QString &databasePath, const QString &backupFile)
{
    auto form = std::make_unique<TfrmIBback>();
    form->FServer = QStringLiteral("localhost");
    form->FDatabase = databasePath;
    form->FUserLine = QStringLiteral("user_name=SYSDBA");
    form->FPasswordLine = QStringLiteral("password=") + testsupport::sysdbaPassword();
    form->FRestoreOptions = {TRestoreOption::Replace};
    form->edtBackupFile->setText(backupFile);
    return form;
}

QStringList memoLines(const TfrmIBback *form)
{
    return form->memBackup->toPlainText().split(u'\n');
}

// What the window showed when the driver met it.
struct WindowSeen {
    QString caption, action, progress, server, database, backup;
    bool actionFocused = false;
};

WindowSeen look(const TfrmIBback *form)
{
    return {form->windowTitle(),         form->btnZaloha->text(),       form->boxPrubeh->title(),
            form->edtServerName->text(), form->edtDatabaseFile->text(), form->edtBackupFile->text(),
            form->btnZaloha->hasFocus()};
}

} // namespace

class TestIBback : public QObject {
    Q_OBJECT

private slots:
    void interactiveRestoreShowsTheServerLinesAndTheSuccess()
    {
        const SampleBackup backup(QStringLiteral("interactive"));
        const DbFixture target(QStringLiteral("interactive-target"));
        addOldUser(target);
        const auto db = connectionTo(target.databaseName());

        QPointer<TfrmIBback> form;
        WindowSeen seen;
        QStringList lines;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                if (!form)
                    return;
                seen = look(form);
                testsupport::pressKey(modal, kReturn);
            })
            .then([&](QWidget *box) {
                if (form)
                    lines = memoLines(form);
                testsupport::pressKey(box, kReturn);
            });
        TRestoreOutcome outcome = roNotRun;
        QVERIFY(RunBackupRestore(db.get(), backup.path, rkInteractive, {TRestoreOption::Replace}, &outcome));
        VERIFY_DRIVER(driver);

        QCOMPARE(seen.caption, QStringLiteral("Obnova dat ze zálohy"));
        QCOMPARE(seen.action, QStringLiteral("Obnovit"));
        QCOMPARE(seen.progress, QStringLiteral("Průběh obnovy dat"));
        QCOMPARE(seen.server, QStringLiteral("localhost"));
        QCOMPARE(seen.database, target.path());
        QCOMPARE(seen.backup, backup.path);
        QVERIFY(seen.actionFocused);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].title, QStringLiteral("Informace"));
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Obnova databáze ze zálohy byla úspěšně dokončena."));
        QVERIFY(lines.size() > 10);
        QVERIFY2(lines.first().startsWith(QLatin1String("gbak:")), qPrintable(lines.first()));
        QCOMPARE(lines.last(), QString()); // the empty line that ends the output
        QCOMPARE(outcome, roDone);
        QVERIFY(form.isNull()); // closed after the box and destroyed
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
    }

    void emptyBackupPathAsksForItAndKeepsTheWindow()
    {
        const DbFixture target(QStringLiteral("empty-path"));
        addOldUser(target);
        const auto db = connectionTo(target.databaseName());
        bool stillOpen = false;
        bool editFocused = false;
        QPointer<TfrmIBback> form;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                form->edtBackupFile->clear();
                testsupport::pressKey(modal, kReturn);
            })
            .then([&](QWidget *box) {
                testsupport::pressKey(box, kReturn);
                testsupport::whenGone(box, [&] {
                    stillOpen = form && form->isVisible();
                    // The window's focus widget: the offscreen platform may not activate
                    // the window again once the box above it has closed.
                    editFocused = form && form->focusWidget() == form->edtBackupFile;
                    if (form)
                        testsupport::pressKey(form, kEscape);
                });
            });
        TRestoreOutcome outcome = roDone;
        RunBackupRestore(db.get(), QStringLiteral("/x.gbk"), rkInteractive, {TRestoreOption::Replace}, &outcome);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen()[1].title, QStringLiteral("Informace"));
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Zadejte cestu k souboru se zálohou databáze."));
        QVERIFY(stillOpen);
        QVERIFY(editFocused);
        QCOMPARE(outcome, roNotRun);
        QCOMPARE(commonSurname(target), kOldSurname);
    }

    void browseButtonChoosesTheBackupThatIsRestored()
    {
        const SampleBackup backup(QStringLiteral("browse"));
        const DbFixture target(QStringLiteral("browse-target"));
        const auto db = connectionTo(target.databaseName());
        const QString proposed = testsupport::firebirdDir() + QStringLiteral("/db/proposed.gbk");
        QString proposedInDialog;
        QString chosenInEdit;
        QPointer<TfrmIBback> form;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                form->btnBackup->click();
            })
            .then([&](QWidget *dialog) {
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                proposedInDialog = name->text();
                name->setText(backup.path);
                static_cast<QDialog *>(dialog)->accept();
                // The edit takes the choice once the file dialog's loop has returned:
                // wait for it rather than for a fixed time.
                auto *poll = new QTimer(form);
                QObject::connect(poll, &QTimer::timeout, poll, [&, poll, waited = 0]() mutable {
                    if (form->edtBackupFile->text() == proposed && ++waited < 500)
                        return;
                    poll->stop();
                    chosenInEdit = form->edtBackupFile->text();
                    testsupport::pressKey(form, kReturn);
                });
                poll->start(10);
            })
            .thenKeys({kReturn});
        TRestoreOutcome outcome = roNotRun;
        RunBackupRestore(db.get(), proposed, rkInteractive, {TRestoreOption::Replace}, &outcome);
        VERIFY_DRIVER(driver);
        QCOMPARE(proposedInDialog, QStringLiteral("proposed.gbk"));
        QCOMPARE(chosenInEdit, backup.path);
        QCOMPARE(outcome, roDone);
        QCOMPARE(userCount(target), backup.rows);
    }

    void targetHeldOpenWarnsKeepsTheLinesAndTheOldDatabase()
    {
        const SampleBackup backup(QStringLiteral("inuse"));
        const DbFixture target(QStringLiteral("inuse-target"));
        addOldUser(target);
        auto holder = target.openConnection();
        const auto db = connectionTo(target.databaseName());

        QPointer<TfrmIBback> form;
        QStringList lines;
        bool disabledDuringRestore = false;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                testsupport::pressKey(modal, kReturn);
            })
            .then([&](QWidget *box) {
                lines = memoLines(form);
                disabledDuringRestore = form && !form->isEnabled();
                testsupport::pressKey(box, kReturn);
            });
        TRestoreOutcome outcome = roNotRun;
        RunBackupRestore(db.get(), backup.path, rkInteractive, {TRestoreOption::Replace}, &outcome);
        VERIFY_DRIVER(driver);

        QCOMPARE(driver.seen().size(), 2);
        const testsupport::ModalRecord &box = driver.seen()[1];
        QCOMPARE(box.title, QStringLiteral("Upozornění"));
        QCOMPARE(box.icon, int(QMessageBox::Warning));
        QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
        QVERIFY2(withoutCr(box.text).startsWith(kRestoreFailed), qPrintable(box.text));
        QVERIFY2(box.text.contains(QLatin1String("might be in use")), qPrintable(box.text));
        // The restore ran to its end into a new file, which the check then kept out.
        QVERIFY2(lines.contains(QStringLiteral("gbak:finishing, closing, and going home ")),
                 qPrintable(lines.join(u'\n')));
        QVERIFY(disabledDuringRestore);
        QCOMPARE(outcome, roFailed);
        QVERIFY(form.isNull());
        QCOMPARE(filesBeside(target.path()), QStringList());
        QVERIFY(holder->connected());
        holder.reset();
        QCOMPARE(commonSurname(target), kOldSurname);
        QCOMPARE(userCount(target), 1);
    }

    void closeBoxDoesNothingDuringTheRestore()
    {
        const SampleBackup backup(QStringLiteral("closebox"));
        const DbFixture target(QStringLiteral("closebox-target"));
        const auto db = connectionTo(target.databaseName());
        QPointer<TfrmIBback> form;
        bool closeTried = false;
        bool shownAtTheSuccess = false;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                // The user clicks the close box once the restore has disabled the window.
                QObject::connect(form->memBackup, &QPlainTextEdit::textChanged, form, [&] {
                    if (!closeTried && !form->isEnabled()) {
                        closeTried = true;
                        form->close();
                    }
                });
                testsupport::pressKey(modal, kReturn);
            })
            .then([&](QWidget *box) {
                shownAtTheSuccess = form && form->isVisible();
                testsupport::pressKey(box, kReturn);
            });
        TRestoreOutcome outcome = roNotRun;
        RunBackupRestore(db.get(), backup.path, rkInteractive, {TRestoreOption::Replace}, &outcome);
        VERIFY_DRIVER(driver);
        QVERIFY(closeTried);
        QVERIFY(shownAtTheSuccess);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Obnova databáze ze zálohy byla úspěšně dokončena."));
        QCOMPARE(outcome, roDone);
        QVERIFY(form.isNull());
    }

    void memoShowsTheLastLinesWhenTheRestoreEnds()
    {
        const SampleBackup backup(QStringLiteral("memo-end"));
        const DbFixture target(QStringLiteral("memo-end-target"));
        const auto db = connectionTo(target.databaseName());
        QPointer<TfrmIBback> form;
        int scrolledTo = -1;
        int scrollEnd = 0;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                testsupport::pressKey(modal, kReturn);
            })
            .then([&](QWidget *box) {
                // More lines than the memo shows: the last one is in view.
                QPlainTextEdit *memo = form->memBackup;
                scrolledTo = memo->cursorForPosition(QPoint(2, memo->viewport()->height() - 2)).blockNumber();
                scrollEnd = memo->document()->blockCount() - 1;
                testsupport::pressKey(box, kReturn);
            });
        RunBackupRestore(db.get(), backup.path, rkInteractive, {TRestoreOption::Replace}, nullptr);
        VERIFY_DRIVER(driver);
        QVERIFY(scrollEnd > 10);
        QCOMPARE(scrolledTo, scrollEnd);
    }

    void serverNameShowsWhereTheDatabaseIs_data()
    {
        QTest::addColumn<QString>("databaseName");
        QTest::addColumn<QString>("shown");
        const QString local = QStringLiteral("Lokální počítač");
        QTest::newRow("server and Unix path") << "localhost:/data/zelo.fdb"
                                              << "localhost";
        QTest::newRow("server and Windows path") << "srv:C:\\data\\zelo.gdb"
                                                 << "srv";
        QTest::newRow("server with a port") << "localhost/3051:/data/zelo.fdb"
                                            << "localhost/3051";
        QTest::newRow("bare absolute path") << "/data/zelo.fdb" << local;
        QTest::newRow("bare relative name") << "zelo.fdb" << local;
        QTest::newRow("one colon, no slash") << "srv:zelo.gdb" << local;
    }

    void serverNameShowsWhereTheDatabaseIs()
    {
        QFETCH(QString, databaseName);
        const auto db = connectionTo(databaseName);
        QString shown;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            shown = qobject_cast<TfrmIBback *>(modal)->edtServerName->text();
            testsupport::pressKey(modal, kEscape);
        });
        RunBackupRestore(db.get(), QStringLiteral("/x.gbk"), rkInteractive, {TRestoreOption::Replace});
        VERIFY_DRIVER(driver);
        QTEST(shown, "shown");
    }

    void czechLettersInPathsReadRightInTheMemoAndTheBox()
    {
        const SampleBackup backup(QStringLiteral("záloha"));
        const DbFixture target(QStringLiteral("obnova_čř"));
        const auto restoring = windowRestoring(target.path(), backup.path);
        QVERIFY(restoring->RunRestore());
        const QStringList lines = memoLines(restoring.get());
        QVERIFY2(lines.contains(QStringLiteral("gbak:opened file %1 ").arg(backup.path)),
                 qPrintable(lines.join(u'\n')));

        const QString missing = testsupport::firebirdDir() + QStringLiteral("/záloha-obnova_čř.gbk");
        const auto failing = windowRestoring(target.path(), missing);
        ModalDriver driver;
        driver.thenKeys({kReturn});
        QVERIFY(!failing->RunRestore());
        VERIFY_DRIVER(driver);
        QVERIFY2(driver.seen()[0].text.contains(QStringLiteral("cannot open backup file ") + missing),
                 qPrintable(driver.seen()[0].text));
    }

    void localDatabaseRestoresThroughTheLocalServiceManager()
    {
        const SampleBackup backup(QStringLiteral("local"));
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        // No "/" and not two colons: a database on this computer, named relative to it.
        const auto db = connectionTo(QStringLiteral("local.fdb"));
        QPointer<TfrmIBback> form;
        QString server;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                form = qobject_cast<TfrmIBback *>(modal);
                server = form->edtServerName->text();
                testsupport::pressKey(modal, kReturn);
            })
            .thenKeys({kReturn});
        TRestoreOutcome outcome = roNotRun;
        RunBackupRestore(db.get(), backup.path, rkInteractive, {TRestoreOption::Replace}, &outcome);
        VERIFY_DRIVER(driver);
        QCOMPARE(server, QStringLiteral("Lokální počítač"));
        QCOMPARE(outcome, roDone);
        // The embedded engine of this process wrote it here, not the server.
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("local.fdb"))));
        Database restored;
        restored.setDatabaseName(folder.filePath(QStringLiteral("local.fdb")));
        restored.setParams(DbFixture::connectionParams());
        restored.open();
        restored.close();
    }

    void bareAbsolutePathRestoresThroughTheLocalServiceManager()
    {
        const SampleBackup backup(QStringLiteral("absolute"));
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        // A "/" makes the name count as one with an (empty) server part.
        const QString path = folder.filePath(QStringLiteral("absolute.fdb"));
        const auto db = connectionTo(path);
        TRestoreOutcome outcome = roNotRun;
        RunBackupRestore(db.get(), backup.path, rkImmediate, {TRestoreOption::Replace}, &outcome);
        QCOMPARE(outcome, roDone);
        QVERIFY(QFile::exists(path));
    }

    void missingPasswordLineAsksTheLogin()
    {
        const DbFixture target(QStringLiteral("login"));
        const auto db = connectionTo(target.databaseName(), {QStringLiteral("user_name=SYSDBA")});
        ModalDriver driver;
        driver.thenKeys({kEscape}).thenKeys({kReturn});
        TRestoreOutcome outcome = roNotRun;
        RunBackupRestore(db.get(), QStringLiteral("/x.gbk"), rkImmediate, {TRestoreOption::Replace}, &outcome);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("platform::LoginDialog"));
        QVERIFY2(withoutCr(driver.seen()[1].text).startsWith(kRestoreFailed),
                 qPrintable(driver.seen()[1].className + driver.seen()[1].text));
        QCOMPARE(outcome, roFailed);
    }

    void windowIsEnabledAgainAfterAFailedRestore()
    {
        const DbFixture target(QStringLiteral("enabled"));
        const auto form = windowRestoring(target.path(), testsupport::firebirdDir() + QStringLiteral("/none.gbk"));
        form->memBackup->setPlainText(QStringLiteral("from before"));
        ModalDriver driver;
        driver.thenKeys({kReturn});
        QVERIFY(!form->RunRestore());
        VERIFY_DRIVER(driver);
        QVERIFY(form->isEnabled());
        QVERIFY(!form->aniCopy->isPlaying());
        QCOMPARE(form->FParamBackupFile, form->edtBackupFile->text());
        QCOMPARE(form->memBackup->toPlainText(), QString()); // cleared at the start
        QCOMPARE(form->FOutcome, roFailed);
    }

    void incompleteBackupFailsWhereTheServerReplacesTheDatabase()
    {
        const SampleBackup backup(QStringLiteral("replace-incomplete"), 200);
        const QString truncated = backup.path + QStringLiteral(".truncated");
        writeBadBackup(BadBackup::Truncated, backup.path, truncated);
        // A name of the server's own: this computer cannot place it, so the
        // server replaces the database itself.
        const auto form = windowRestoring(QStringLiteral("restore_alias"), truncated);
        ModalDriver driver;
        driver.thenKeys({kReturn});
        QVERIFY(!form->RunRestore());
        VERIFY_DRIVER(driver);

        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        const QString text = withoutCr(driver.seen()[0].text);
        QVERIFY2(text.startsWith(kRestoreFailed) && text.contains(QStringLiteral("neúplný")), qPrintable(text));
        QVERIFY(!memoLines(form.get()).contains(QStringLiteral("gbak:finishing, closing, and going home ")));
        QCOMPARE(form->FOutcome, roFailed);
    }

    void outputLinesReachTheMemoInOrderWhileMessagesAreProcessed()
    {
        TfrmIBback form;
        form.appendOutputLine(QStringLiteral("gbak:první "));
        QTRY_COMPARE(form.memBackup->toPlainText(), QStringLiteral("gbak:první "));
        form.appendOutputLine(QStringLiteral("gbak:druhá "));
        form.appendOutputLine(QString());
        form.flushOutputLines();
        QCOMPARE(memoLines(&form), (QStringList{"gbak:první ", "gbak:druhá ", ""}));
    }

    void aLineAfterAQuietSpellIsShownBeforeTheNextWait()
    {
        TfrmIBback form;
        const auto serverSends = [&](const QString &line) {
            // The server kept the thread waiting for this line, longer than a batch lasts.
            QThread::msleep(60);
            form.appendOutputLine(line);
            processMessages();
        };
        serverSends(QStringLiteral("gbak:restoring data for table DB$UZIV "));
        QCOMPARE(memoLines(&form), QStringList{"gbak:restoring data for table DB$UZIV "});
        serverSends(QStringLiteral("gbak:   10000 records restored "));
        serverSends(QStringLiteral("gbak:    activating and creating deferred index RDB$PRIMARY1 "));
        QCOMPARE(memoLines(&form),
                 (QStringList{"gbak:restoring data for table DB$UZIV ", "gbak:   10000 records restored ",
                              "gbak:    activating and creating deferred index RDB$PRIMARY1 "}));
    }

    void noConnectionWarns()
    {
        ModalDriver driver;
        driver.thenKeys({kReturn});
        QVERIFY(!RunBackupRestore(nullptr, QStringLiteral("/x.gbk"), rkImmediate, {TRestoreOption::Replace}));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[0].text, QStringLiteral("Není nastavena databáze."));
    }
};

ZELO_TEST_MAIN(TestIBback)
#include "tst_fIBback.moc"
