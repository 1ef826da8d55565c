#include "DbFixture.h"
#include "EditConnection.h"
#include "ErrorTranslation.h"
#include "ModalDriver.h"
#include "PrivateServer.h"
#include "TestEnvironment.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "fIBServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using platform::Database;
using testsupport::DbFixture;
using testsupport::ModalDriver;
using testsupport::PrivateServer;
using testsupport::retype;

namespace {

int dialogsAlive()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<TfrmIBServer *>(widget) ? 1 : 0;
    return count;
}

} // namespace

class tst_EditConnection : public QObject {
    Q_OBJECT

    std::unique_ptr<DbFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<DbFixture>(QStringLiteral("edit")); }

    void cleanup() { QCOMPARE(dialogsAlive(), 0); }

    void cancelLeavesTheConnectionAlone_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Esc") << 0;
        QTest::newRow("Storno by its mnemonic") << 1;
        QTest::newRow("close box") << 2;
        QTest::newRow("Enter on the focused Storno") << 3;
    }

    void cancelLeavesTheConnectionAlone()
    {
        QFETCH(int, way);
        auto connection = fixture_->openConnection();
        const QString name = connection->databaseName();
        const QStringList params = connection->params();
        ModalDriver driver;
        driver.then([way](QWidget *modal) {
            auto *form = qobject_cast<TfrmIBServer *>(modal);
            retype(form->edtDatabase, QStringLiteral("/jinam.fdb"));
            if (way == 0)
                testsupport::pressKey(modal, QKeySequence(Qt::Key_Escape));
            else if (way == 1)
                testsupport::pressKey(modal, QKeySequence(Qt::ALT | Qt::Key_S));
            else if (way == 2)
                modal->close();
            else {
                testsupport::keyTarget(modal);
                form->btnOK->setFocus();
                QTest::keyClick(form->btnOK, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), form->btnStorno);
                testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
            }
        });
        QVERIFY(!EditConnection(connection.get(), true, true));
        VERIFY_DRIVER(driver);
        QVERIFY(connection->connected());
        QVERIFY(connection->defaultTransaction()->inTransaction());
        QCOMPARE(connection->databaseName(), name);
        QCOMPARE(connection->params(), params);
    }

    void okAppliesTheDialog_data()
    {
        QTest::addColumn<bool>("openAfterOk");
        QTest::newRow("and opens") << true;
        QTest::newRow("without opening") << false;
    }

    void okAppliesTheDialog()
    {
        QFETCH(bool, openAfterOk);
        auto connection = fixture_->newConnection();
        connection->setDatabaseName(QStringLiteral("localhost:/nowhere/missing.fdb"));
        ModalDriver driver;
        QString shownPath;
        driver.then([this, &shownPath](QWidget *modal) {
            auto *form = qobject_cast<TfrmIBServer *>(modal);
            shownPath = form->edtDatabase->text();
            retype(form->edtDatabase, fixture_->path());
            testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
        });
        QVERIFY(EditConnection(connection.get(), true, openAfterOk));
        VERIFY_DRIVER(driver);
        QCOMPARE(shownPath, QStringLiteral("/nowhere/missing.fdb"));
        QCOMPARE(connection->databaseName(), fixture_->databaseName());
        QCOMPARE(connection->connected(), openAfterOk);
    }

    // A server named with its port, as a settings file may give it: OK with
    // nothing changed reconnects to the same name, byte for byte.
    void okKeepsAServerWithItsPort()
    {
        const DbFixture populated(QStringLiteral("edit-port"));
        populated.addUser(QStringLiteral("novak"), std::nullopt, QStringLiteral("Novák"));
        const QString name = testsupport::serverWithPort() + QLatin1Char(':') + populated.path();
        auto connection = fixture_->newConnection();
        connection->setDatabaseName(name);
        connection->open();
        QString shownServer;
        QString shownPath;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *form = qobject_cast<TfrmIBServer *>(modal);
            shownServer = form->edtServer->text();
            shownPath = form->edtDatabase->text();
            testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
        });
        QVERIFY(EditConnection(connection.get(), true, true));
        VERIFY_DRIVER(driver);
        QCOMPARE(shownServer, testsupport::serverWithPort());
        QCOMPARE(shownPath, populated.path());
        QCOMPARE(connection->databaseName().toUtf8(), name.toUtf8());
        QVERIFY(connection->connected());
    }

    void failingOpenWarnsOnce()
    {
        auto connection = fixture_->openConnection();
        connection->defaultTransaction()->commit();
        QString expected;
        {
            Database wrong;
            wrong.setDatabaseName(fixture_->databaseName());
            wrong.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=spatne")});
            try {
                wrong.open();
            } catch (const std::exception &error) {
                expected = ComposeErrorMessage(QStringLiteral("Chyba připojení k databázi!"), error);
            }
        }
        QVERIFY(expected.startsWith(QStringLiteral("Chyba připojení k databázi!")));

        ModalDriver driver;
        driver
            .then([](QWidget *modal) {
                auto *form = qobject_cast<TfrmIBServer *>(modal);
                QVERIFY(form->boxNotLoginPrompt->isChecked());
                retype(form->edtPassword, QStringLiteral("spatne"));
                testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
            })
            .thenKeys({QKeySequence(Qt::Key_Return)});
        QVERIFY(!EditConnection(connection.get(), true, true));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[1].icon, int(QMessageBox::Warning));
        QCOMPARE(driver.seen()[1].buttons, QStringList{"OK"});
        QCOMPARE(driver.seen()[1].text, expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(!connection->connected());
        QVERIFY(connection->params().contains(QStringLiteral("password=spatne")));
    }

    // The server was killed and came back: closing the dead connection fails,
    // which is told once, and OK still opens the connection anew.
    void okReopensAConnectionWhoseServerWasKilled()
    {
        PrivateServer server(QStringLiteral("edit-server"), "FB_TEST_FOURTH_PORT");
        QVERIFY2(server.start(), qPrintable(server.errors()));
        const DbFixture killed(QStringLiteral("edit-killed"), server);
        auto connection = killed.openConnection();
        QVERIFY(server.kill());
        QVERIFY2(server.start(), qPrintable(server.errors()));

        ModalDriver driver;
        driver
            .then([&server, &killed](QWidget *modal) {
                // The dialog names a server without its port; this one has its own.
                auto *form = qobject_cast<TfrmIBServer *>(modal);
                retype(form->edtServer, QStringLiteral("localhost/%1").arg(server.port()));
                retype(form->edtDatabase, killed.path());
                testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
            })
            .thenKeys({QKeySequence(Qt::Key_Return)});
        QVERIFY(EditConnection(connection.get(), true, true));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[1].icon, int(QMessageBox::Warning));
        QVERIFY2(driver.seen()[1].text.startsWith(QStringLiteral("Spojení se serverem bylo přerušeno!\n\n")),
                 qPrintable(driver.seen()[1].text));
        QCOMPARE(connection->databaseName(), killed.databaseName());
        QVERIFY(connection->connected());
    }

    void lockDialectDisablesDialectAndCharacterSet_data()
    {
        QTest::addColumn<bool>("lockDialect");
        QTest::newRow("locked") << true;
        QTest::newRow("free") << false;
    }

    void lockDialectDisablesDialectAndCharacterSet()
    {
        QFETCH(bool, lockDialect);
        auto connection = fixture_->newConnection();
        QList<bool> enabled;
        ModalDriver driver;
        driver.then([&enabled](QWidget *modal) {
            auto *form = qobject_cast<TfrmIBServer *>(modal);
            for (QWidget *field :
                 QList<QWidget *>{form->edtSQLDialect, form->lblDialekt, form->boxLc_Ctype, form->lblSada})
                enabled.append(field->isEnabled());
            enabled.append(form->edtSql_Role->isEnabled());
            testsupport::pressKey(modal, QKeySequence(Qt::Key_Escape));
        });
        QVERIFY(!EditConnection(connection.get(), lockDialect, true));
        VERIFY_DRIVER(driver);
        QCOMPARE(enabled, QList<bool>({!lockDialect, !lockDialect, !lockDialect, !lockDialect, true}));
    }

    void automaticLoginOffOpensWithTheLoginDialog()
    {
        auto connection = fixture_->newConnection();
        ModalDriver driver;
        driver
            .then([](QWidget *modal) {
                auto *form = qobject_cast<TfrmIBServer *>(modal);
                form->boxNotLoginPrompt->setFocus();
                QTest::keyClick(form->boxNotLoginPrompt, Qt::Key_Space);
                QVERIFY(!form->edtPassword->isEnabled());
                testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
            })
            .then([](QWidget *login) { testsupport::pressKey(login, QKeySequence(Qt::Key_Escape)); })
            .thenKeys({QKeySequence(Qt::Key_Return)});
        QVERIFY(!EditConnection(connection.get(), true, true));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 3);
        QCOMPARE(driver.seen()[1].className, QStringLiteral("platform::LoginDialog"));
        QCOMPARE(driver.seen()[2].title, QStringLiteral("Upozornění"));
        QVERIFY(connection->loginPrompt());
        QVERIFY(!connection->params().join(QLatin1Char('\n')).contains(QStringLiteral("password=")));
    }

    void dialectOneDatabase_data()
    {
        QTest::addColumn<bool>("openAfterOk");
        QTest::addColumn<int>("dialect");
        QTest::newRow("opened: lowered to the database's") << true << 1;
        QTest::newRow("closed: the dialog's 3") << false << 3;
    }

    void dialectOneDatabase()
    {
        QFETCH(bool, openAfterOk);
        static const DbFixture dialectOne(QStringLiteral("dialect1"), testsupport::Access::Tcp, 1);
        auto connection = dialectOne.newConnection();
        connection->setSqlDialect(1);
        QString shownDialect;
        ModalDriver driver;
        driver.then([&shownDialect](QWidget *modal) {
            shownDialect = qobject_cast<TfrmIBServer *>(modal)->edtSQLDialect->text();
            testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
        });
        QVERIFY(EditConnection(connection.get(), true, openAfterOk));
        VERIFY_DRIVER(driver);
        QCOMPARE(shownDialect, QStringLiteral("3"));
        QTEST(connection->sqlDialect(), "dialect");
    }

    void badDialectPassesToTheCaller()
    {
        auto connection = fixture_->openConnection();
        ModalDriver driver;
        driver.then([](QWidget *modal) {
            auto *form = qobject_cast<TfrmIBServer *>(modal);
            retype(form->edtSQLDialect, QStringLiteral("tři"));
            testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
        });
        bool refused = false;
        try {
            EditConnection(connection.get(), false, true);
        } catch (const EConvertError &) {
            refused = true;
        }
        VERIFY_DRIVER(driver);
        QVERIFY(refused);
        QCOMPARE(dialogsAlive(), 0);
        QVERIFY(!connection->connected());
    }
};

ZELO_TEST_MAIN(tst_EditConnection)
#include "tst_EditConnection.moc"
