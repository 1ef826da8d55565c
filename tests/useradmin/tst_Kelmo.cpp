#include "AEdit.h"
#include "ARadioButton.h"
#include "ClickableText.h"
#include "DACrypt.h"
#include "DbFixture.h"
#include "ModalDriver.h"
#include "ProcessSignals.h"
#include "StationName.h"
#include "TestEnvironment.h"
#include "TestMain.h"
#include "UserAdminMain.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "fIBServer.h"
#include "fKelmo.h"
#include "fLogin_s.h"
#include "fUzivU_s.h"
#include "fUziv_s.h"
#include "ui/Termination.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

using testsupport::DbFixture;
using testsupport::ModalDriver;

namespace {

const QString kSection = QStringLiteral("IBServer");

// Counts how often a main window is shown.
class MainWindowShows : public QObject {
public:
    MainWindowShows() { qApp->installEventFilter(this); }
    ~MainWindowShows() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<TfrmKelmo *>(watched))
            ++count;
        return false;
    }
};

// Runs the program in-process, as its main does.
int runKelmo(const QStringList &clientLibraries = platform::clientLibraryNames())
{
    char name[] = "kelmo";
    char *argv[] = {name, nullptr};
    return UserAdminMain(1, argv, clientLibraries);
}

// Once the program's main window is shown, hands it to the action; a window
// that never comes gives up after the time-out.
void whenMainWindowShown(const std::function<void(TfrmKelmo *)> &action, int timeoutMs = 10000)
{
    auto *poller = new QTimer(qApp);
    auto remaining = std::make_shared<int>(timeoutMs / 10);
    QObject::connect(poller, &QTimer::timeout, [poller, action, remaining] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<TfrmKelmo *>(widget);
            if (window && window->isVisible() && !QApplication::activeModalWidget()) {
                poller->deleteLater();
                poller->stop();
                action(window);
                return;
            }
        }
        if (--*remaining <= 0) {
            poller->stop();
            poller->deleteLater();
        }
    });
    poller->start(10);
}

// "tst_Kelmo --kelmo-leaving-work LOGIN" runs Kelmo as its main does, and
// once the main window is shown inserts the user LOGIN in the window's
// transaction without committing it; the line "work left" then says so.
const char kLeaveWorkSwitch[] = "--kelmo-leaving-work";

int runKelmoLeavingWork(int argc, char **argv)
{
    platform::endOnTerminationSignals();
    platform::Application app(argc, argv);
    const QString login = QString::fromLocal8Bit(argv[2]);
    whenMainWindowShown([login](TfrmKelmo *window) {
        try {
            window->qryTmp->setSql(
                QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values (%1, 'Nechaný', 'A')")
                    .arg(DbFixture::literal(login)));
            window->qryTmp->execQuery();
            std::fputs("work left\n", stderr);
        } catch (const Exception &error) {
            std::fprintf(stderr, "insert failed: %s\n", qPrintable(error.message()));
        }
    });
    return runKelmo();
}

} // namespace

class tst_Kelmo : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DbFixture> fixture_;
    QTemporaryDir dir_;

    QString iniPath() const { return dir_.filePath(QStringLiteral("zelo.ini")); }

    void writeSettings(const QString &databaseName, const QString &lastLogin)
    {
        platform::ProfileFile ini(iniPath());
        ini.writeString(kSection, QStringLiteral("DatabaseName"), databaseName);
        ini.writeString(kSection, QStringLiteral("User_name"), QStringLiteral("SYSDBA"));
        ini.writeString(kSection, QStringLiteral("Password"),
                        EncodePassword(testsupport::sysdbaPassword(), kSettingsFileKey));
        ini.writeString(kSection, QStringLiteral("Characters"), QStringLiteral("Win1250"));
        ini.writeInteger(kSection, QStringLiteral("SQLDialect"), 3);
        if (!lastLogin.isEmpty())
            ini.writeString(StationName() + QStringLiteral("_Login"), QStringLiteral("LastUziv"), lastLogin);
    }

    QString missingDatabase() const { return testsupport::overTcp(dir_.filePath(QStringLiteral("chybi.fdb"))); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        qputenv(kSettingsFileVariable, iniPath().toLocal8Bit());
        fixture_ = std::make_unique<DbFixture>(QStringLiteral("kelmo"));
        fixture_->addUser(QStringLiteral("SPRAVCE"), std::nullopt, QStringLiteral("Správcová"), QStringLiteral("Eva"),
                          QStringLiteral("A"));
        fixture_->addUser(QStringLiteral("HESLAR"), EncodePassword(QStringLiteral("tajne"), kUsersTableKey),
                          QStringLiteral("Heslář"), QStringLiteral("Jiří"), QStringLiteral("A"));
        fixture_->addUser(QStringLiteral("CTENAR"), std::nullopt, QStringLiteral("Čtenář"), std::nullopt,
                          QStringLiteral("R"));
        fixture_->addUser(QStringLiteral("ZAPISOVATEL"), QString(), QStringLiteral("Zápis"), std::nullopt,
                          QStringLiteral("Z"));
    }

    void cleanup() { QFile::remove(iniPath()); }

    void aReachableDatabaseAndAnAdministratorWithoutPasswordOpenTheWindowAtOnce()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("spravce"));
        ModalDriver driver; // no step: any dialog is a failure
        TfrmKelmo window;
        QVERIFY2(driver.seen().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        QVERIFY(window.startupComplete());
        QCOMPARE(window.sbUziv->currentMessage(), QStringLiteral("DB:") + fixture_->databaseName());
        QVERIFY(window.txtUziv->isEnabled());
        QVERIFY(window.trUziv->active());
        QCOMPARE(window.windowTitle(), QStringLiteral("Uživatelé"));
    }

    void theProgramRunsUntilEscClosesTheWindow()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("SPRAVCE"));
        QString statusShown;
        whenMainWindowShown([&](TfrmKelmo *window) {
            statusShown = window->sbUziv->currentMessage();
            testsupport::pressKey(window, Qt::Key_Escape);
        });
        MainWindowShows shows;
        QCOMPARE(runKelmo(), 0);
        QCOMPARE(shows.count, 1);
        QCOMPARE(statusShown, QStringLiteral("DB:") + fixture_->databaseName());
        QCOMPARE(platform::applicationTitle(), QStringLiteral("Správa uživatelů DEVEVI"));
    }

    void zavritDisconnectsThenClosesTheWindow()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("SPRAVCE"));
        TfrmKelmo window;
        QVERIFY(window.startupComplete());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.btnOk, Qt::LeftButton);
        QCOMPARE(window.sbUziv->currentMessage(),
                 QStringLiteral("DB:") + fixture_->databaseName() + QStringLiteral("-odpojeno"));
        QVERIFY(!window.dbUziv->isOpen());
        QVERIFY(!window.txtUziv->isEnabled());
        QVERIFY(!window.isVisible());
    }

    void aUserWithAPasswordGetsTheLoginDialog()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("HESLAR"));
        bool focusInPassword = false;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *login = qobject_cast<TfrmLogin_s *>(modal);
            if (!login)
                return;
            focusInPassword = login->focusWidget() == login->edtPassword;
            testsupport::typeText(login->edtPassword, QStringLiteral("tajne"));
            testsupport::pressKey(login, Qt::Key_Return);
        });
        TfrmKelmo window;
        VERIFY_DRIVER(driver);
        QVERIFY(window.startupComplete());
        QVERIFY(focusInPassword);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Zadejte jméno a heslo"));
    }

    void aWrongPasswordWarnsAndEscEndsTheProgram()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("HESLAR"));
        QPointer<TfrmLogin_s> login;
        bool focusInPassword = false;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                login = qobject_cast<TfrmLogin_s *>(modal);
                if (!login)
                    return;
                testsupport::typeText(login->edtPassword, QStringLiteral("jine"));
                testsupport::pressKey(login, Qt::Key_F12);
            })
            .then([&](QWidget *box) {
                testsupport::pressKey(box, Qt::Key_Return);
                testsupport::whenGone(box, [&] {
                    if (!login)
                        return;
                    focusInPassword = login->focusWidget() == login->edtPassword;
                    testsupport::pressKey(login, Qt::Key_Escape);
                });
            });
        MainWindowShows shows;
        QCOMPARE(runKelmo(), 0);
        VERIFY_DRIVER(driver);
        QCOMPARE(shows.count, 0);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Chybné přihlášení"));
        QVERIFY(focusInPassword);
    }

    void anOperatorWithoutTheAdministratorRightIsTurnedAway_data()
    {
        QTest::addColumn<QString>("login");
        QTest::newRow("read only") << "CTENAR";
        QTest::newRow("write") << "ZAPISOVATEL";
    }
    void anOperatorWithoutTheAdministratorRightIsTurnedAway()
    {
        QFETCH(QString, login);
        writeSettings(fixture_->databaseName(), login);
        ModalDriver driver;
        driver.thenKeys({Qt::Key_Return});
        MainWindowShows shows;
        QCOMPARE(runKelmo(), 0);
        VERIFY_DRIVER(driver);
        QCOMPARE(shows.count, 0);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].text, QStringLiteral("Nemáte oprávnění měnit nastavení uživatelů!"));
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[0].icon, int(QMessageBox::Warning));
    }

    void aFailingConnectionCorrectedInTheDialogIsSavedAndTheLoginFollows()
    {
        writeSettings(missingDatabase(), QStringLiteral("SPRAVCE"));
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<TfrmIBServer *>(modal);
            if (!dialog)
                return;
            dialog->edtDatabase->setText(fixture_->path());
            dialog->btnOK->click();
        });
        TfrmKelmo window;
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QVERIFY(window.startupComplete());
        QCOMPARE(window.sbUziv->currentMessage(), QStringLiteral("DB:") + fixture_->databaseName());
        platform::ProfileFile ini(iniPath());
        QCOMPARE(ini.readString(kSection, QStringLiteral("DatabaseName"), QString()), fixture_->databaseName());
        QCOMPARE(DecodePassword(ini.readString(kSection, QStringLiteral("Password"), QString()), kSettingsFileKey),
                 testsupport::sysdbaPassword());
    }

    void aFailingConnectionWithTheDialogCancelledEndsTheProgram()
    {
        writeSettings(missingDatabase(), QStringLiteral("SPRAVCE"));
        ModalDriver driver;
        driver.thenKeys({Qt::Key_Escape});
        MainWindowShows shows;
        QCOMPARE(runKelmo(), 0);
        VERIFY_DRIVER(driver);
        QCOMPARE(shows.count, 0);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmIBServer"));
        platform::ProfileFile ini(iniPath());
        QCOMPARE(ini.readString(kSection, QStringLiteral("DatabaseName"), QString()), missingDatabase());
    }

    void aChangeOfSettingsWhoseReconnectionFailsShowsTheDisconnectedState()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("SPRAVCE"));
        TfrmKelmo window;
        QVERIFY(window.startupComplete());
        const QString missingPath = dir_.filePath(QStringLiteral("chybi.fdb"));

        {
            ModalDriver failing;
            failing
                .then([&](QWidget *modal) {
                    if (auto *dialog = qobject_cast<TfrmIBServer *>(modal)) {
                        dialog->edtDatabase->setText(missingPath);
                        dialog->btnOK->click();
                    }
                })
                .thenKeys({Qt::Key_Return});
            window.txtSetDbClick();
            VERIFY_DRIVER(failing);
            QVERIFY2(failing.seen().size() == 2, qPrintable(failing.report()));
            QVERIFY(failing.seen()[1].text.startsWith(QStringLiteral("Chyba připojení k databázi!")));
            QVERIFY(window.sbUziv->currentMessage().endsWith(QStringLiteral("-odpojeno")));
            QVERIFY(!window.txtUziv->isEnabled());
            platform::ProfileFile ini(iniPath());
            QCOMPARE(ini.readString(kSection, QStringLiteral("DatabaseName"), QString()), fixture_->databaseName());
        }

        ModalDriver mending;
        mending.then([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<TfrmIBServer *>(modal)) {
                dialog->edtDatabase->setText(fixture_->path());
                dialog->btnOK->click();
            }
        });
        window.txtSetDbClick();
        VERIFY_DRIVER(mending);
        QCOMPARE(window.sbUziv->currentMessage(), QStringLiteral("DB:") + fixture_->databaseName());
        QVERIFY(window.txtUziv->isEnabled());
        QVERIFY(window.trUziv->active());
    }

    void aNewUserIsAddedThroughTheUserList()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("SPRAVCE"));
        TfrmKelmo window;
        QVERIFY(window.startupComplete());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        ModalDriver driver;
        driver.thenKeys({Qt::Key_Insert}).then([&](QWidget *modal) {
            auto *editor = qobject_cast<TfrmUzivU_s *>(modal);
            if (!editor)
                return;
            testsupport::typeText(editor->edtUserName, QStringLiteral("novy7"));
            // The password edits come filled with a placeholder: typing replaces it.
            for (QLineEdit *password : {editor->edtPassword1, editor->edtPassword2}) {
                password->selectAll();
                testsupport::typeText(password, QStringLiteral("heslo1"));
            }
            testsupport::typeText(editor->edtPrijmeni, QStringLiteral("Šťastný"));
            testsupport::typeText(editor->edtJmeno, QStringLiteral("Ondřej"));
            editor->btnZapis->click();
            testsupport::pressKey(editor, Qt::Key_F12);
            // The list stays open over its refreshed rows: close it once the editor is gone.
            testsupport::whenGone(modal, [] {
                if (auto *list = qobject_cast<TfrmUziv_s *>(QApplication::activeModalWidget()))
                    testsupport::pressKey(list, Qt::Key_Escape);
            });
        });
        QTest::mouseClick(window.txtUziv, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmUziv_s"));
        QVERIFY(window.isVisible());

        const QString where = QStringLiteral(" from DB$UZIV where UZI$LOGIN = 'NOVY7'");
        QCOMPARE(fixture_->readValue(QStringLiteral("select UZI$HESLO") + where),
                 std::optional<QString>(EncodePassword(QStringLiteral("heslo1"), kUsersTableKey)));
        QCOMPARE(fixture_->readValue(QStringLiteral("select UZI$PRIJMENI") + where),
                 std::optional<QString>(QStringLiteral("Šťastný")));
        QCOMPARE(fixture_->readValue(QStringLiteral("select UZI$JMENO") + where),
                 std::optional<QString>(QStringLiteral("Ondřej")));
        QCOMPARE(fixture_->readValue(QStringLiteral("select UZI$PRAVO") + where),
                 std::optional<QString>(QStringLiteral("Z")));
        fixture_->execute(QStringLiteral("delete") + where);
    }

    void aClientLibraryThatCannotBeLoadedEndsWithExitCodeOne()
    {
        writeSettings(fixture_->databaseName(), QStringLiteral("SPRAVCE"));
        ModalDriver driver;
        driver.thenKeys({Qt::Key_Return});
        MainWindowShows shows;
        QCOMPARE(runKelmo({QStringLiteral("libzadna-knihovna.so")}), 1);
        VERIFY_DRIVER(driver);
        QCOMPARE(shows.count, 0);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].icon, int(QMessageBox::Critical));
        QVERIFY(driver.seen()[0].text.contains(QStringLiteral("libzadna-knihovna.so")));
    }

    // The real program, signalled once its main window is shown or while its
    // login dialog waits; the line "main window shown" tells the first.
    void aSignalEndsTheProgramAsClosingItWould_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<int>("signal");
        QTest::newRow("main window, SIGTERM") << "SPRAVCE" << SIGTERM;
        QTest::newRow("main window, SIGINT") << "SPRAVCE" << SIGINT;
        QTest::newRow("login dialog, SIGTERM") << "HESLAR" << SIGTERM;
        QTest::newRow("login dialog, SIGINT") << "HESLAR" << SIGINT;
    }

    void aSignalEndsTheProgramAsClosingItWould()
    {
        QFETCH(QString, login);
        QFETCH(int, signal);
        writeSettings(fixture_->databaseName(), login);
        QProcess kelmo;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("kelmo.startup.info=true"));
        kelmo.setProcessEnvironment(environment);
        kelmo.start(qEnvironmentVariable("ZELO_BINARY_DIR") + QStringLiteral("/useradmin/kelmo"));
        QVERIFY(kelmo.waitForStarted());
        const QString attachments =
            QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$REMOTE_PID = %1").arg(kelmo.processId());
        QDeadlineTimer deadline(15000);
        if (login == QLatin1String("SPRAVCE")) {
            while (!kelmo.readAllStandardError().contains("main window shown") && !deadline.hasExpired())
                kelmo.waitForReadyRead(100);
        } else {
            while (fixture_->readValue(attachments) != QStringLiteral("1") && !deadline.hasExpired())
                QTest::qWait(10);
        }
        QVERIFY(!deadline.hasExpired());
        QCOMPARE(fixture_->readValue(attachments), std::optional<QString>(QStringLiteral("1")));
        ::kill(pid_t(kelmo.processId()), signal);
        QVERIFY(kelmo.waitForFinished(10000));
        QCOMPARE(kelmo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kelmo.exitCode(), 0);
        QCOMPARE(fixture_->readValue(attachments), std::optional<QString>(QStringLiteral("0")));
    }

    // Work left in the main window's transaction when the signal comes is
    // committed, as the window's connection closes on the way out.
    void aSignalCommitsTheMainWindowsWork_data() { testsupport::addSignalRows(); }

    void aSignalCommitsTheMainWindowsWork()
    {
        QFETCH(int, signal);
        writeSettings(fixture_->databaseName(), QStringLiteral("SPRAVCE"));
        const QString where = QStringLiteral(" from DB$UZIV where UZI$LOGIN = 'NECHANY'");
        const auto removeRow = qScopeGuard([&] { fixture_->execute(QStringLiteral("delete") + where); });
        QProcess kelmo;
        kelmo.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kLeaveWorkSwitch), QStringLiteral("NECHANY")});
        QVERIFY(kelmo.waitForStarted());
        QByteArray told;
        QDeadlineTimer deadline(15000);
        while (!told.contains("work left\n") && !deadline.hasExpired() && kelmo.state() == QProcess::Running) {
            kelmo.waitForReadyRead(100);
            told += kelmo.readAllStandardError();
        }
        QVERIFY2(told.contains("work left\n"), told.constData());
        const QString count = QStringLiteral("select count(*)") + where;
        QCOMPARE(fixture_->readValue(count), std::optional<QString>(QStringLiteral("0")));
        ::kill(pid_t(kelmo.processId()), signal);
        QVERIFY(kelmo.waitForFinished(10000));
        QCOMPARE(kelmo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kelmo.exitCode(), 0);
        QCOMPARE(fixture_->readValue(count), std::optional<QString>(QStringLiteral("1")));
    }

    void settingsFileDefaultsToZeloIniBesideTheProgram()
    {
        const QByteArray named = qgetenv(kSettingsFileVariable);
        qunsetenv(kSettingsFileVariable);
        const QString name = KelmoSettingsFileName();
        qputenv(kSettingsFileVariable, named);
        QCOMPARE(name, QCoreApplication::applicationDirPath() + QStringLiteral("/zelo.ini"));
        QCOMPARE(KelmoSettingsFileName(), iniPath());
    }
};

ZELO_TEST_MAIN_WITH_CHILD(tst_Kelmo, kLeaveWorkSwitch, runKelmoLeavingWork)
#include "tst_Kelmo.moc"
