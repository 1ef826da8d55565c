// Kelmo's main window over a server of the test's own that is killed and
// started again while the window stays open. The client finds that server
// by plain "localhost:" names, as the program's settings name it.

#include "ClickableText.h"
#include "DACrypt.h"
#include "DbFixture.h"
#include "ModalDriver.h"
#include "PrivateServer.h"
#include "StationName.h"
#include "TestEnvironment.h"
#include "TestMain.h"
#include "base/ProfileFile.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "fKelmo.h"
#include "fUziv_s.h"
#include "ui/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using testsupport::DbFixture;
using testsupport::ModalDriver;
using testsupport::PrivateServer;

class tst_KelmoServerRestart : public QObject {
    Q_OBJECT

private:
    PrivateServer server_{QStringLiteral("kelmo-server"), "FB_TEST_THIRD_PORT"};
    std::unique_ptr<DbFixture> fixture_;
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY2(server_.start(), qPrintable(server_.errors()));
        // Before the client library reads its settings: "localhost:" now
        // means this server's port.
        qputenv("FIREBIRD", server_.dir().toLocal8Bit());
        const QString ini = dir_.filePath(QStringLiteral("zelo.ini"));
        qputenv(kSettingsFileVariable, ini.toLocal8Bit());
        fixture_ = std::make_unique<DbFixture>(QStringLiteral("restart"));
        fixture_->addUser(QStringLiteral("SPRAVCE"), std::nullopt, QStringLiteral("Správcová"), QStringLiteral("Eva"),
                          QStringLiteral("A"));
        fixture_->addUser(QStringLiteral("NOVAK"), std::nullopt, QStringLiteral("Novák"));

        platform::ProfileFile settings(ini);
        const QString section = QStringLiteral("IBServer");
        settings.writeString(section, QStringLiteral("DatabaseName"), fixture_->databaseName());
        settings.writeString(section, QStringLiteral("User_name"), QStringLiteral("SYSDBA"));
        settings.writeString(section, QStringLiteral("Password"),
                             EncodePassword(testsupport::sysdbaPassword(), kSettingsFileKey));
        settings.writeString(section, QStringLiteral("Characters"), QStringLiteral("Win1250"));
        settings.writeString(StationName() + QStringLiteral("_Login"), QStringLiteral("LastUziv"),
                             QStringLiteral("SPRAVCE"));
    }

    void theWindowReconnectsAfterTheServerCameBack()
    {
        TfrmKelmo window;
        QVERIFY(window.startupComplete());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString connected = QStringLiteral("DB:") + fixture_->databaseName();
        QCOMPARE(window.sbUziv->currentMessage(), connected);
        QSignalSpy statuses(window.sbUziv, &QStatusBar::messageChanged);

        QVERIFY(server_.kill());
        QVERIFY2(server_.start(), qPrintable(server_.errors()));

        // "Nastavení databáze", OK: the dead connection's failure is told once,
        // and the connection opens again.
        {
            ModalDriver driver;
            driver.thenKeys({Qt::Key_Return}).thenKeys({Qt::Key_Return});
            QTest::mouseClick(window.txtSetDb, Qt::LeftButton);
            VERIFY_DRIVER(driver);
            QCOMPARE(driver.seen().size(), 2);
            QCOMPARE(driver.seen()[0].className, QStringLiteral("TfrmIBServer"));
            QCOMPARE(driver.seen()[1].title, QStringLiteral("Upozornění"));
            QVERIFY2(driver.seen()[1].text.startsWith(QStringLiteral("Spojení se serverem bylo přerušeno!\n\n")),
                     qPrintable(driver.seen()[1].text));
        }
        QStringList shown;
        for (const QList<QVariant> &status : statuses)
            shown << status.first().toString();
        QCOMPARE(shown, (QStringList{connected + QStringLiteral("-odpojeno"), connected}));
        QVERIFY(window.dbUziv->isOpen());
        QVERIFY(window.trUziv->active());
        QVERIFY(window.txtUziv->isEnabled());

        // "Nastavení uživatelů" shows the list again.
        int rows = -1;
        ModalDriver list;
        list.then([&](QWidget *modal) {
            if (auto *users = qobject_cast<TfrmUziv_s *>(modal))
                rows = users->setUser->recordCount();
            testsupport::pressKey(modal, Qt::Key_Escape);
        });
        QTest::mouseClick(window.txtUziv, Qt::LeftButton);
        VERIFY_DRIVER(list);
        QCOMPARE(list.seen().size(), 1);
        QCOMPARE(list.seen()[0].className, QStringLiteral("TfrmUziv_s"));
        QCOMPARE(rows, 2);
    }

    // A confirmed delete leaves the grid at once but is committed only as the
    // list closes; when the server died in between, the closing says so.
    void aDeleteLostWithTheServerIsReportedAsTheListCloses()
    {
        TfrmKelmo window;
        QVERIFY(window.startupComplete());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool killed = false;
        int rowsAfterDelete = -1;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *users = qobject_cast<TfrmUziv_s *>(modal);
            if (!users)
                return;
            users->setUser->locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("NOVAK"));
            testsupport::pressKey(users, Qt::Key_Delete);
            if (!QTest::qWaitFor([&] { return QApplication::activeModalWidget() == users; }))
                return;
            rowsAfterDelete = users->setUser->recordCount();
            killed = server_.kill();
            testsupport::pressKey(users, Qt::Key_Escape);
        });
        driver.thenKeys({Qt::Key_A}).thenKeys({Qt::Key_Return});
        QTest::mouseClick(window.txtUziv, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QVERIFY(killed);
        QCOMPARE(rowsAfterDelete, 1);
        QCOMPARE(driver.seen().size(), 3);
        const testsupport::ModalRecord &report = driver.seen()[2];
        QCOMPARE(report.icon, int(QMessageBox::Critical));
        QCOMPARE(report.title, platform::applicationTitle());
        // The client notices the dead server as it reads or as it writes.
        static const QRegularExpression lostConnection(
            QStringLiteral("Error (reading data from|writing data to) the connection"));
        QVERIFY2(report.text.contains(lostConnection), qPrintable(report.text));

        // The report told the truth: the user is still there.
        QVERIFY(server_.start());
        QCOMPARE(fixture_->readValue(QStringLiteral("select count(*) from DB$UZIV where UZI$LOGIN = 'NOVAK'")),
                 QStringLiteral("1"));
    }
};

ZELO_TEST_MAIN(tst_KelmoServerRestart)
#include "tst_KelmoServerRestart.moc"
