#include "DACrypt.h"
#include "DbFixture.h"
#include "ModalDriver.h"
#include "StationName.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Query.h"
#include "fLogin_s.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using testsupport::DbFixture;
using testsupport::ModalDriver;

namespace {

QString stored(const QString &password)
{
    return EncodePassword(password, kUsersTableKey);
}

// The six values of a login result, passed to RunLogin as its in/out values.
struct LoginResult {
    QString login;
    QString password;
    QString fullName;
    bool readOnly = false;
    bool admin = false;
    bool write = false;
};

bool runLogin(platform::Query *query, LoginResult &result, platform::ProfileFile *settings)
{
    return RunLogin(query, result.login, result.password, result.fullName, result.readOnly, result.admin, result.write,
                    settings);
}

} // namespace

class tst_Login : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DbFixture> fixture_;
    std::unique_ptr<platform::Database> database_;
    std::unique_ptr<platform::Query> query_;
    QTemporaryDir dir_;

    // A settings file whose station section names the given last login.
    std::unique_ptr<platform::ProfileFile> settingsWithLastLogin(const QString &lastLogin)
    {
        auto settings = std::make_unique<platform::ProfileFile>(dir_.filePath(QStringLiteral("zelo.ini")));
        settings->writeString(StationName() + QStringLiteral("_Login"), QStringLiteral("LastUziv"), lastLogin);
        return settings;
    }

private slots:
    void initTestCase()
    {
        fixture_ = std::make_unique<DbFixture>(QStringLiteral("login"));
        fixture_->addUser(QStringLiteral("NOVAK"), stored(QStringLiteral("tajne")), QStringLiteral("Novák"),
                          QStringLiteral("Jan"), QStringLiteral("A"));
        fixture_->addUser(QStringLiteral("BEZHESLA"), std::nullopt, QStringLiteral("Dvořák"), QStringLiteral("Čeněk"),
                          QStringLiteral("Z"));
        fixture_->addUser(QStringLiteral("PRAZDNE"), QString(), QStringLiteral("Černá"), std::nullopt,
                          QStringLiteral("R"));
        fixture_->addUser(QStringLiteral("ŘEHOŘ"), stored(QStringLiteral("žluť")), QString(), QStringLiteral("Řehoř"),
                          QStringLiteral("x"));
        fixture_->addUser(QStringLiteral("O'NEIL"), stored(QStringLiteral("irsko")), QStringLiteral("O'Neil"),
                          QString(), QStringLiteral("A"));
        database_ = fixture_->openConnection(
            {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
        query_ = std::make_unique<platform::Query>();
        query_->setDatabase(database_.get());
        QVERIFY(dir_.isValid());
    }

    void cleanupTestCase()
    {
        query_.reset();
        database_.reset();
    }

    void cleanup() { QFile::remove(dir_.filePath(QStringLiteral("zelo.ini"))); }

    void queryStringGivesTheDefaultForNoRowNullOrEmpty_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no row") << "select UZI$LOGIN from DB$UZIV where 1 = 0"
                                << "výchozí";
        QTest::newRow("null") << "select UZI$JMENO from DB$UZIV where UZI$LOGIN = 'PRAZDNE'"
                              << "výchozí";
        QTest::newRow("empty text") << "select UZI$PRIJMENI from DB$UZIV where UZI$LOGIN = 'ŘEHOŘ'"
                                    << "výchozí";
        QTest::newRow("value") << "select UZI$PRIJMENI from DB$UZIV where UZI$LOGIN = 'NOVAK'"
                               << "Novák";
    }
    void queryStringGivesTheDefaultForNoRowNullOrEmpty()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(QueryString(sql, query_.get(), QStringLiteral("výchozí")), expected);
    }

    void queryInt64GivesTheDefaultForNoRowAndMinusOne_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("no row") << "select count(*) from DB$UZIV group by UZI$LOGIN having 1 = 0" << qint64(42);
        QTest::newRow("minus one") << "select -1 from rdb$database" << qint64(42);
        QTest::newRow("zero") << "select 0 from rdb$database" << qint64(0);
        QTest::newRow("count") << "select count(*) from DB$UZIV" << qint64(5);
        QTest::newRow("beyond 32 bits") << "select cast(5000000000 as bigint) from rdb$database"
                                        << qint64(5000000000LL);
    }
    void queryInt64GivesTheDefaultForNoRowAndMinusOne()
    {
        QFETCH(QString, sql);
        QFETCH(qint64, expected);
        QCOMPARE(QueryInt64(sql, query_.get(), 42), expected);
    }

    void aFailingStatementPassesAndTheNextOneRuns()
    {
        QVERIFY_THROWS_EXCEPTION(EIBError, QueryInt64(QStringLiteral("select nonsense from DB$UZIV"), query_.get(), 0));
        QCOMPARE(QueryString(QStringLiteral("select 'ok' from rdb$database"), query_.get(), QString()),
                 QStringLiteral("ok"));
    }

    void statementsSpliceLettersAndDigitsAsGiven()
    {
        QCOMPARE(CountSql({QStringLiteral("NOVAK7"), QStringLiteral("123045")}),
                 QStringLiteral("select count(*) from DB$UZIV where upper(UZI$LOGIN) = 'NOVAK7' and UZI$HESLO = "
                                "'123045'"));
        QCOMPARE(CountSql({QStringLiteral("NOVAK7"), std::nullopt}),
                 QStringLiteral("select count(*) from DB$UZIV where upper(UZI$LOGIN) = 'NOVAK7' and UZI$HESLO is "
                                "NULL"));
        QCOMPARE(AdmittedColumnSql(QStringLiteral("UZI$PRAVO"), {QStringLiteral("NOVAK7"), std::nullopt}),
                 QStringLiteral("select first 1 UZI$PRAVO from DB$UZIV where upper(UZI$LOGIN) = 'NOVAK7' and "
                                "UZI$HESLO is NULL order by case ascii_val(UZI$PRAVO) when 82 then 1 when 90 then 2 "
                                "when 65 then 3 else 0 end, UZI$LOGIN"));
    }

    void statementsDoubleEveryApostrophe_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("inQuotes");
        QTest::newRow("name") << "O'NEIL"
                              << "'O''NEIL'";
        QTest::newRow("always true") << "' OR '1'='1"
                                     << "''' OR ''1''=''1'";
        QTest::newRow("comment") << "X' --"
                                 << "'X'' --'";
        QTest::newRow("only quotes") << "''"
                                     << "''''''";
    }
    void statementsDoubleEveryApostrophe()
    {
        QFETCH(QString, login);
        QFETCH(QString, inQuotes);
        const QString where = QStringLiteral("where upper(UZI$LOGIN) = ") + inQuotes;
        const QString withPassword = where + QStringLiteral(" and UZI$HESLO = ") + inQuotes;
        QVERIFY(CountSql({login, login}).endsWith(withPassword));
        QVERIFY(CountSql({login, std::nullopt}).endsWith(where + QStringLiteral(" and UZI$HESLO is NULL")));
        QVERIFY(AdmittedColumnSql(QStringLiteral("UZI$JMENO"), {login, login}).contains(withPassword + u' '));
    }

    void loginCheck_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("right password") << "NOVAK"
                                        << "tajne" << true;
        QTest::newRow("login in lower case") << "novak"
                                             << "tajne" << true;
        QTest::newRow("diacritics in lower case") << "řehoř"
                                                  << "žluť" << true;
        QTest::newRow("wrong password") << "NOVAK"
                                        << "Tajne" << false;
        QTest::newRow("empty password of a user with one") << "NOVAK"
                                                           << "" << false;
        QTest::newRow("unknown login") << "NEZNAMY"
                                       << "" << false;
        QTest::newRow("null password, any typed") << "bezhesla"
                                                  << "cokoli" << true;
        QTest::newRow("null password, none typed") << "BEZHESLA"
                                                   << "" << true;
        QTest::newRow("empty stored password, none typed") << "PRAZDNE"
                                                           << "" << true;
        QTest::newRow("empty stored password, one typed") << "PRAZDNE"
                                                          << "x" << false;
        QTest::newRow("apostrophe in a stored login") << "o'neil"
                                                      << "irsko" << true;
        QTest::newRow("unknown login with an apostrophe") << "NOV'AK"
                                                          << "tajne" << false;
        QTest::newRow("always-true injection") << "' OR '1'='1"
                                               << "" << false;
        QTest::newRow("injection with a comment") << "NOVAK' --"
                                                  << "" << false;
        QTest::newRow("injection in the null branch") << "X' OR UZI$HESLO IS NULL OR 'A'='B"
                                                      << "" << false;
    }
    void loginCheck()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(bool, admitted);
        QCOMPARE(CheckLogin(query_.get(), login, password).has_value(), admitted);
    }

    void rightsAndFullName_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<QString>("fullName");
        QTest::newRow("administrator") << "novak"
                                       << "tajne" << false << false << true << "Jan Novák";
        QTest::newRow("write") << "BEZHESLA"
                               << "" << false << true << false << "Čeněk Dvořák";
        QTest::newRow("read only, no first name") << "PRAZDNE"
                                                  << "" << true << false << false << "Černá";
        QTest::newRow("other letter, no surname") << "ŘEHOŘ"
                                                  << "žluť" << false << false << false << "Řehoř ";
    }
    void rightsAndFullName()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        const std::optional<AdmittingRows> rows = CheckLogin(query_.get(), login, password);
        QVERIFY(rows);
        bool readOnly = true, write = true, admin = true;
        QString fullName = QStringLiteral("stará hodnota");
        ReadRights(query_.get(), *rows, readOnly, write, admin, fullName);
        QTEST(readOnly, "readOnly");
        QTEST(write, "write");
        QTEST(admin, "admin");
        QTEST(fullName, "fullName");
    }

    void rowsOtherThanAdmittingOnesGiveNothing()
    {
        bool readOnly = true, write = true, admin = true;
        QString fullName = QStringLiteral("stará hodnota");
        ReadRights(query_.get(), {QStringLiteral("NOVAK"), stored(QStringLiteral("jine"))}, readOnly, write, admin,
                   fullName);
        QVERIFY(!readOnly);
        QVERIFY(!write);
        QVERIFY(!admin);
        QCOMPARE(fullName, QString());
    }

    // Rows whose logins differ only in case come from outside Kelmo; each
    // password speaks only for its own rows, and where admitting rows
    // disagree, the smallest right wins (no right at all for an unknown letter).
    void rowsDifferingInCaseGiveTheRightOfTheAdmittingRows_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("fullName");
        QTest::newRow("the read-only row's password") << "dvojak"
                                                      << "ctu2"
                                                      << "R"
                                                      << "Rita Dvojáková";
        QTest::newRow("the administrator's password") << "DVOJAK"
                                                      << "tajne9"
                                                      << "A"
                                                      << "Adam Dvoják";
        QTest::newRow("the administrator's password, mixed case") << "Dvojak"
                                                                  << "tajne9"
                                                                  << "A"
                                                                  << "Adam Dvoják";
        QTest::newRow("a shared password, write and administrator") << "shoda"
                                                                    << "spolu"
                                                                    << "Z"
                                                                    << "Zdena Shodová";
        QTest::newRow("a shared password, three rights") << "TROJKA"
                                                         << "tri"
                                                         << "R"
                                                         << "Radek Trojka";
        QTest::newRow("a shared password, an unknown letter") << "znak"
                                                              << "pismeno"
                                                              << ""
                                                              << "Xenie Znaková";
        QTest::newRow("a shared password, a lower-case letter") << "male"
                                                                << "pismeno"
                                                                << ""
                                                                << "Alena Malá";
        QTest::newRow("a typed password before the row without one") << "nikdo"
                                                                     << "heslo"
                                                                     << "R"
                                                                     << "Robert Nikdo";
        QTest::newRow("the row without a password for any other") << "nikdo"
                                                                  << "cokoli"
                                                                  << "A"
                                                                  << "Anna Nikdová";
    }
    void rowsDifferingInCaseGiveTheRightOfTheAdmittingRows()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, right);
        // The rows go in through a plain connection, as they come from outside.
        DbFixture fixture(QStringLiteral("login-case"));
        const auto add = [&](const char *rowLogin, const std::optional<QString> &rowPassword, const char *rowRight,
                             const QString &first, const QString &surname) {
            fixture.addUser(QString::fromLatin1(rowLogin), rowPassword, surname, first, QString::fromLatin1(rowRight));
        };
        add("DVOJAK", stored(QStringLiteral("tajne9")), "A", QStringLiteral("Adam"), QStringLiteral("Dvoják"));
        add("dvojak", stored(QStringLiteral("ctu2")), "R", QStringLiteral("Rita"), QStringLiteral("Dvojáková"));
        add("SHODA", stored(QStringLiteral("spolu")), "A", QStringLiteral("Adéla"), QStringLiteral("Shodová"));
        add("shoda", stored(QStringLiteral("spolu")), "Z", QStringLiteral("Zdena"), QStringLiteral("Shodová"));
        add("TROJKA", stored(QStringLiteral("tri")), "Z", QStringLiteral("Zbyněk"), QStringLiteral("Trojka"));
        add("Trojka", stored(QStringLiteral("tri")), "R", QStringLiteral("Radek"), QStringLiteral("Trojka"));
        add("trojka", stored(QStringLiteral("tri")), "A", QStringLiteral("Aleš"), QStringLiteral("Trojka"));
        add("ZNAK", stored(QStringLiteral("pismeno")), "A", QStringLiteral("Alois"), QStringLiteral("Znak"));
        add("znak", stored(QStringLiteral("pismeno")), "X", QStringLiteral("Xenie"), QStringLiteral("Znaková"));
        add("MALE", stored(QStringLiteral("pismeno")), "a", QStringLiteral("Alena"), QStringLiteral("Malá"));
        add("male", stored(QStringLiteral("pismeno")), "A", QStringLiteral("Adolf"), QStringLiteral("Malý"));
        add("NIKDO", std::nullopt, "A", QStringLiteral("Anna"), QStringLiteral("Nikdová"));
        add("nikdo", stored(QStringLiteral("heslo")), "R", QStringLiteral("Robert"), QStringLiteral("Nikdo"));
        auto database = fixture.openConnection(
            {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
        platform::Query query;
        query.setDatabase(database.get());

        // The silent attempt and the dialog read the rights alike.
        LoginResult silent;
        silent.login = login;
        silent.password = password;
        QVERIFY(runLogin(&query, silent, nullptr));
        LoginResult typed;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<TfrmLogin_s *>(modal);
            if (!dialog)
                return;
            testsupport::typeText(dialog->edtUsername, login);
            testsupport::typeText(dialog->edtPassword, password);
            testsupport::pressKey(dialog, Qt::Key_F12);
        });
        QVERIFY(runLogin(&query, typed, nullptr));
        VERIFY_DRIVER(driver);
        for (const LoginResult &result : {silent, typed}) {
            QCOMPARE(result.readOnly, right == QStringLiteral("R"));
            QCOMPARE(result.write, right == QStringLiteral("Z"));
            QCOMPARE(result.admin, right == QStringLiteral("A"));
            QTEST(result.fullName, "fullName");
        }
    }

    void silentLoginByLastUziv_data()
    {
        QTest::addColumn<QString>("lastLogin");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("write");
        QTest::newRow("null password, mixed case") << "BezHesla"
                                                   << "Čeněk Dvořák" << false << true;
        QTest::newRow("empty stored password") << "prazdne"
                                               << "Černá" << true << false;
    }
    void silentLoginByLastUziv()
    {
        QFETCH(QString, lastLogin);
        auto settings = settingsWithLastLogin(lastLogin);
        ModalDriver driver; // no step: any dialog would be a failure
        LoginResult result;
        result.admin = true;
        QVERIFY(runLogin(query_.get(), result, settings.get()));
        QVERIFY2(driver.seen().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        QCOMPARE(result.login, lastLogin);
        QCOMPARE(result.password, QString());
        QTEST(result.fullName, "fullName");
        QTEST(result.readOnly, "readOnly");
        QTEST(result.write, "write");
        QCOMPARE(result.admin, false);
    }

    void aPasswordUserGetsTheDialogWithFocusInThePassword()
    {
        auto settings = settingsWithLastLogin(QStringLiteral("novak"));
        QString loginShown, passwordShown, focusName;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<TfrmLogin_s *>(modal);
            if (!dialog)
                return;
            loginShown = dialog->edtUsername->text();
            passwordShown = dialog->edtPassword->text();
            focusName = dialog->focusWidget() == dialog->edtPassword ? QStringLiteral("password") : QString();
            testsupport::typeText(dialog->edtPassword, QStringLiteral("tajne"));
            testsupport::pressKey(dialog, Qt::Key_F12);
        });
        LoginResult result;
        QVERIFY(runLogin(query_.get(), result, settings.get()));
        VERIFY_DRIVER(driver);
        QCOMPARE(loginShown, QStringLiteral("NOVAK"));
        QCOMPARE(passwordShown, QString());
        QCOMPARE(focusName, QStringLiteral("password"));
        QCOMPARE(result.login, QStringLiteral("NOVAK"));
        QCOMPARE(result.password, QStringLiteral("tajne"));
        QCOMPARE(result.fullName, QStringLiteral("Jan Novák"));
        QVERIFY(result.admin);
        QVERIFY(!result.readOnly);
        QVERIFY(!result.write);
    }

    void withoutLastUzivTheDialogStartsEmptyAndUpperCasesTheLogin()
    {
        bool bothEmpty = false, focusInLogin = false;
        ModalDriver driver;
        driver.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<TfrmLogin_s *>(modal);
            if (!dialog)
                return;
            bothEmpty = dialog->edtUsername->text().isEmpty() && dialog->edtPassword->text().isEmpty();
            focusInLogin = dialog->focusWidget() == dialog->edtUsername;
            testsupport::typeText(dialog->edtUsername, QStringLiteral("řehoř"));
            testsupport::typeText(dialog->edtPassword, QStringLiteral("žluť"));
            testsupport::pressKey(dialog, Qt::Key_Return);
        });
        LoginResult result;
        QVERIFY(runLogin(query_.get(), result, nullptr));
        VERIFY_DRIVER(driver);
        QVERIFY(bothEmpty);
        QVERIFY(focusInLogin);
        QCOMPARE(result.login, QStringLiteral("ŘEHOŘ"));
        QCOMPARE(result.password, QStringLiteral("žluť"));
        QCOMPARE(result.fullName, QStringLiteral("Řehoř "));
    }

    void aWrongPasswordWarnsKeepsTheDialogAndEscCancels()
    {
        auto settings = settingsWithLastLogin(QStringLiteral("NOVAK"));
        QPointer<TfrmLogin_s> login;
        bool focusInPassword = false;
        QString passwordKept;
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                login = qobject_cast<TfrmLogin_s *>(modal);
                if (!login)
                    return;
                testsupport::typeText(login->edtPassword, QStringLiteral("spatne"));
                testsupport::pressKey(login, Qt::Key_Return);
            })
            .then([&](QWidget *box) {
                testsupport::pressKey(box, Qt::Key_Return);
                // The dialog is no new window: look at it once the box is gone.
                testsupport::whenGone(box, [&] {
                    if (!login)
                        return;
                    focusInPassword = login->focusWidget() == login->edtPassword;
                    passwordKept = login->edtPassword->text();
                    testsupport::pressKey(login, Qt::Key_Escape);
                });
            });
        LoginResult result;
        result.fullName = QStringLiteral("před");
        QVERIFY(!runLogin(query_.get(), result, settings.get()));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Chybné přihlášení"));
        QCOMPARE(driver.seen()[1].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[1].icon, int(QMessageBox::Warning));
        QVERIFY(focusInPassword);
        QCOMPARE(passwordKept, QStringLiteral("spatne"));
        // Cancelled: only the login was replaced by the station's last login.
        QCOMPARE(result.login, QStringLiteral("NOVAK"));
        QCOMPARE(result.fullName, QStringLiteral("před"));
        QVERIFY(!result.admin);
    }

    void anInjectedLoginInTheDialogIsRefused()
    {
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                auto *dialog = qobject_cast<TfrmLogin_s *>(modal);
                if (!dialog)
                    return;
                dialog->edtUsername->setText(QStringLiteral("' OR '1'='1"));
                testsupport::pressKey(dialog, Qt::Key_F12);
            })
            .then([&](QWidget *box) {
                testsupport::pressKey(box, Qt::Key_Return);
                testsupport::whenGone(box, [] {
                    if (auto *dialog = qobject_cast<TfrmLogin_s *>(QApplication::activeModalWidget()))
                        dialog->btnStorno->click();
                });
            });
        LoginResult result;
        QVERIFY(!runLogin(query_.get(), result, nullptr));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Chybné přihlášení"));
    }

    void aLoginPassedInIsOfferedAndTriedSilently()
    {
        ModalDriver driver;
        LoginResult result;
        result.login = QStringLiteral("novak");
        result.password = QStringLiteral("tajne");
        QVERIFY(runLogin(query_.get(), result, settingsWithLastLogin(QStringLiteral("BEZHESLA")).get()));
        QVERIFY(driver.seen().isEmpty());
        QCOMPARE(result.login, QStringLiteral("novak"));
        QCOMPARE(result.fullName, QStringLiteral("Jan Novák"));
        QVERIFY(result.admin);
    }

    void aFailingStatementInTheDialogShowsTheErrorAndKeepsTheDialog()
    {
        DbFixture broken(QStringLiteral("login-notable"));
        broken.execute(QStringLiteral("drop table DB$UZIV"));
        auto database = broken.openConnection();
        platform::Query query;
        query.setDatabase(database.get());
        ModalDriver driver;
        driver
            .then([&](QWidget *modal) {
                auto *dialog = qobject_cast<TfrmLogin_s *>(modal);
                if (!dialog)
                    return;
                testsupport::typeText(dialog->edtUsername, QStringLiteral("novak"));
                testsupport::pressKey(dialog, Qt::Key_F12);
            })
            .then([&](QWidget *box) {
                testsupport::pressKey(box, Qt::Key_Return);
                testsupport::whenGone(box, [] {
                    if (auto *dialog = qobject_cast<TfrmLogin_s *>(QApplication::activeModalWidget()))
                        testsupport::pressKey(dialog, Qt::Key_Escape);
                });
            });
        LoginResult result;
        QVERIFY(!runLogin(&query, result, nullptr));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].icon, int(QMessageBox::Critical));
        QVERIFY(driver.seen()[1].text.contains(QStringLiteral("DB$UZIV")));
    }

    void aFailingStatementOfTheSilentAttemptPassesToTheCaller()
    {
        DbFixture broken(QStringLiteral("login-silent-notable"));
        broken.execute(QStringLiteral("drop table DB$UZIV"));
        auto database = broken.openConnection();
        platform::Query query;
        query.setDatabase(database.get());
        ModalDriver driver;
        LoginResult result;
        QVERIFY_THROWS_EXCEPTION(EIBError,
                                 runLogin(&query, result, settingsWithLastLogin(QStringLiteral("NOVAK")).get()));
        QVERIFY(driver.seen().isEmpty());
    }
};

ZELO_TEST_MAIN(tst_Login)
#include "tst_Login.moc"
