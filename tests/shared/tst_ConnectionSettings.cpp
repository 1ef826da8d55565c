#include "ConnectionSettings.h"
#include "DACrypt.h"
#include "DbFixture.h"
#include "FileBytes.h"
#include "ModalDriver.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Transaction.h"

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using platform::Database;
using platform::ProfileFile;
using testsupport::DbFixture;
using testsupport::ModalDriver;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

// A connection as the program leaves it before the settings are loaded.
void fillConnection(Database &connection)
{
    connection.setDatabaseName(QStringLiteral("old:/old.fdb"));
    connection.setLoginPrompt(true);
    connection.setSqlDialect(1);
    connection.setParams({QStringLiteral("user_name=OLD")});
}

} // namespace

class tst_ConnectionSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("zelo.ini"));
        QFile::remove(path_);
    }

    void splitDatabaseName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("local");
        QTest::newRow("local drive path") << "C:\\data\\x.gdb"
                                          << ""
                                          << "C:\\data\\x.gdb" << true;
        QTest::newRow("server and drive path") << "srv:C:\\data\\x.gdb"
                                               << "srv"
                                               << "C:\\data\\x.gdb" << false;
        QTest::newRow("server and unix path") << "srv:/data/x.gdb"
                                              << "srv"
                                              << "/data/x.gdb" << false;
        QTest::newRow("drive with slashes") << "C:/data/x.gdb"
                                            << "C"
                                            << "/data/x.gdb" << false;
        QTest::newRow("bare unix path") << "/data/x.gdb"
                                        << ""
                                        << "/data/x.gdb" << false;
        QTest::newRow("one colon is local") << "srv:x.gdb"
                                            << ""
                                            << "srv:x.gdb" << true;
        QTest::newRow("first colon removed before slash") << "srv:C:/data/x.gdb"
                                                          << "srvC:"
                                                          << "/data/x.gdb" << false;
        QTest::newRow("three colons are local") << "a:b:c:d"
                                                << ""
                                                << "a:b:c:d" << true;
        QTest::newRow("blanks and control characters trimmed") << "\x01 srv \t:  C:\\x.gdb \x02"
                                                               << "srv"
                                                               << "C:\\x.gdb" << false;
        QTest::newRow("local name is not trimmed") << " C:\\x.gdb "
                                                   << ""
                                                   << " C:\\x.gdb " << true;
        // A server with a port or a service after "/".
        QTest::newRow("server with a port, unix path") << "localhost/3051:/data/x.fdb"
                                                       << "localhost/3051"
                                                       << "/data/x.fdb" << false;
        QTest::newRow("address with a port, drive path") << "127.0.0.1/3191:C:\\data\\x.gdb"
                                                         << "127.0.0.1/3191"
                                                         << "C:\\data\\x.gdb" << false;
        QTest::newRow("server with a service") << "srv/gds_db:/data/x.fdb"
                                               << "srv/gds_db"
                                               << "/data/x.fdb" << false;
        QTest::newRow("server with a port, a name of the server's own") << "srv/3051:zelo"
                                                                        << "srv/3051"
                                                                        << "zelo" << false;
        QTest::newRow("server with a port, trimmed") << " srv/3051:/x.fdb\t"
                                                     << "srv/3051"
                                                     << "/x.fdb" << false;
        // What comes after "/" is no port: the first "/" starts the path.
        QTest::newRow("blank after the slash is no port") << "srv/data x:/y.fdb"
                                                          << "srv"
                                                          << "/data x:/y.fdb" << false;
        QTest::newRow("backslash after the slash is no port") << "srv/a\\b:/y.fdb"
                                                              << "srv"
                                                              << "/a\\b:/y.fdb" << false;
        QTest::newRow("nothing between the slash and the colon") << "srv/:/y.fdb"
                                                                 << "srv"
                                                                 << "/:/y.fdb" << false;
        QTest::newRow("no server before the port") << "/3051:/y.fdb"
                                                   << ""
                                                   << "/3051:/y.fdb" << false;
        QTest::newRow("no colon after the slash") << "srv/3051"
                                                  << "srv"
                                                  << "/3051" << false;
    }

    void splitDatabaseName()
    {
        QFETCH(QString, name);
        QFETCH(bool, local);
        QString server = QStringLiteral("before");
        QString path = QStringLiteral("before");
        QCOMPARE(SplitDatabaseName(name, server, path), local);
        QTEST(server, "server");
        QTEST(path, "path");

        Database connection;
        connection.setDatabaseName(name);
        QString connectionServer;
        QString connectionPath;
        QCOMPARE(SplitDatabaseName(&connection, connectionServer, connectionPath), local);
        QCOMPARE(connectionServer, server);
        QCOMPARE(connectionPath, path);
    }

    void splitEmptyNameLeavesOutputs()
    {
        QString server = QStringLiteral("s");
        QString path = QStringLiteral("p");
        QVERIFY(!SplitDatabaseName(QString(), server, path));
        QCOMPARE(server, QStringLiteral("s"));
        QCOMPARE(path, QStringLiteral("p"));
    }

    void paramValue_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QStringList lines{"lc_ctype=WIN1250",     "USER_NAME=Novák", "user_name=second", "password=a=b", "role",
                                "sql_role_name =spaced"};
        QTest::newRow("case ignored") << lines << "user_name"
                                      << "Novák";
        QTest::newRow("first line wins") << lines << "User_Name"
                                         << "Novák";
        QTest::newRow("value after first equals sign") << lines << "password"
                                                       << "a=b";
        QTest::newRow("line without equals sign") << lines << "role"
                                                  << "";
        QTest::newRow("name must match exactly") << lines << "sql_role_name"
                                                 << "";
        QTest::newRow("missing") << lines << "nothing"
                                 << "";
        QTest::newRow("no lines") << QStringList() << "user_name"
                                  << "";
    }

    void paramValue()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, name);
        QTEST(ParamValue(lines, name), "expected");
    }

    void loadFillsDefaultsForMissingKeys()
    {
        writeBytes(path_, "[IBServer]\r\n");
        const ProfileFile settings(path_);
        Database connection;
        fillConnection(connection);
        LoadConnectionSettings(&settings, &connection);
        QCOMPARE(connection.databaseName(), QString());
        QCOMPARE(connection.loginPrompt(), false);
        QCOMPARE(connection.sqlDialect(), 3);
        QCOMPARE(connection.params(),
                 QStringList({"user_name=sysdba", "password=vuvuzarid", "sql_role_name=", "lc_ctype=Win1250"}));
    }

    void loadReadsStoredValues_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<bool>("loginPrompt");
        QTest::addColumn<int>("dialect");
        QTest::addColumn<QStringList>("params");
        QTest::newRow("every key") << QByteArray("LoginPrompt=1\r\nSQLDialect=1\r\nUser_name=NOVAK\r\n"
                                                 "Password=" +
                                                 EncodePassword("tajné", kSettingsFileKey).toLatin1() +
                                                 "\r\nSQLrole=UCETNI\r\nCharacters=DOS852\r\n")
                                   << true << 1
                                   << QStringList{"user_name=NOVAK", "password=tajné", "sql_role_name=UCETNI",
                                                  "lc_ctype=DOS852"};
        QTest::newRow("present but empty values")
            << QByteArray("User_name=\r\nPassword=\r\nCharacters=\r\n") << false << 3
            << QStringList{"user_name=", "password=vuvuzarid", "sql_role_name=", "lc_ctype="};
        QTest::newRow("any nonzero integer is true, hex dialect")
            << QByteArray("LoginPrompt=-7\r\nSQLDialect=0x1\r\n") << true << 1
            << QStringList{"user_name=sysdba", "password=vuvuzarid", "sql_role_name=", "lc_ctype=Win1250"};
        QTest::newRow("texts that are no integers give defaults")
            << QByteArray("LoginPrompt=ano\r\nSQLDialect=tri\r\n") << false << 3
            << QStringList{"user_name=sysdba", "password=vuvuzarid", "sql_role_name=", "lc_ctype=Win1250"};
    }

    void loadReadsStoredValues()
    {
        QFETCH(QByteArray, section);
        writeBytes(path_, "[IBServer]\r\nDatabaseName=srv:C:\\data\\x.gdb\r\n" + section);
        const ProfileFile settings(path_);
        Database connection;
        fillConnection(connection);
        LoadConnectionSettings(&settings, &connection);
        QCOMPARE(connection.databaseName(), QStringLiteral("srv:C:\\data\\x.gdb"));
        QTEST(connection.loginPrompt(), "loginPrompt");
        QTEST(connection.sqlDialect(), "dialect");
        QTEST(connection.params(), "params");
    }

    void withoutSettingsFileNothingHappens()
    {
        Database connection;
        fillConnection(connection);
        LoadConnectionSettings(nullptr, &connection);
        SaveConnectionSettings(nullptr, &connection);
        QCOMPARE(connection.databaseName(), QStringLiteral("old:/old.fdb"));
        QCOMPARE(connection.params(), QStringList{"user_name=OLD"});
    }

    void saveThenLoadGivesTheSameConnection_data()
    {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("every line") << QStringList{"user_name=Novák", "password=Žluťoučký kůň", "sql_role_name=ÚČETNÍ",
                                                   "lc_ctype=WIN1250"}
                                    << QStringList{"user_name=Novák", "password=Žluťoučký kůň", "sql_role_name=ÚČETNÍ",
                                                   "lc_ctype=WIN1250"};
        QTest::newRow("no password line loads the default password")
            << QStringList{"user_name=NOVAK", "lc_ctype=WIN1250"}
            << QStringList{"user_name=NOVAK", "password=vuvuzarid", "sql_role_name=", "lc_ctype=WIN1250"};
        QTest::newRow("no lines at all") << QStringList()
                                         << QStringList{"user_name=", "password=vuvuzarid",
                                                        "sql_role_name=", "lc_ctype="};
    }

    void saveThenLoadGivesTheSameConnection()
    {
        QFETCH(QStringList, params);
        Database saved;
        saved.setDatabaseName(QStringLiteral("server:C:\\Účetnictví\\Žáci.fdb"));
        saved.setLoginPrompt(true);
        saved.setSqlDialect(1);
        saved.setParams(params);
        ProfileFile settings(path_);
        SaveConnectionSettings(&settings, &saved);

        Database loaded;
        LoadConnectionSettings(&settings, &loaded);
        QCOMPARE(loaded.databaseName(), saved.databaseName());
        QCOMPARE(loaded.loginPrompt(), true);
        QCOMPARE(loaded.sqlDialect(), 1);
        QTEST(loaded.params(), "loaded");
    }

    void saveWritesSevenKeysInOrderInWindows1250()
    {
        Database connection;
        connection.setDatabaseName(QStringLiteral("C:\\Účetnictví.fdb"));
        connection.setParams({"password=abc", "lc_ctype=Win1250", "user_name=Novák"});
        ProfileFile settings(path_);
        SaveConnectionSettings(&settings, &connection);
        const QByteArray password = EncodePassword(QStringLiteral("abc"), kSettingsFileKey).toLatin1();
        QCOMPARE(readBytes(path_).replace("\r\n", "\n"),
                 QByteArray("[IBServer]\nDatabaseName=C:\\\xda\xe8\x65tnictv\xed.fdb\nLoginPrompt=0\nSQLDialect=3\n"
                            "User_name=Nov\xe1k\nPassword=" +
                            password + "\nSQLrole=\nCharacters=Win1250\n"));
        QVERIFY(!password.contains("abc"));
    }

    void saveKeepsWhatAnotherProgramWrote()
    {
        const QByteArray before = "; nastaven\xed\r\n[Jine]\r\nDatabaseName=nechat\r\n\r\n[IBServer]\r\n"
                                  "Poznamka=zustane\r\nDatabaseName=stary\r\n\r\n[PC01_NOVAK_Login]\r\n"
                                  "LastUziv=NOV\xc1K\r\n";
        writeBytes(path_, before);
        Database connection;
        connection.setDatabaseName(QStringLiteral("novy.fdb"));
        ProfileFile settings(path_);
        SaveConnectionSettings(&settings, &connection);

        const QByteArray after = readBytes(path_);
        for (const QByteArray &kept :
             {QByteArray("; nastaven\xed\r\n[Jine]\r\nDatabaseName=nechat\r\n"), QByteArray("Poznamka=zustane"),
              QByteArray("[PC01_NOVAK_Login]\r\nLastUziv=NOV\xc1K")})
            QVERIFY2(after.contains(kept), kept.constData());
        QVERIFY(!after.contains("DatabaseName=stary"));
        QCOMPARE(settings.readString("IBServer", "DatabaseName", "-"), QStringLiteral("novy.fdb"));
        QCOMPARE(settings.readString("Jine", "DatabaseName", "-"), QStringLiteral("nechat"));
    }

    void saveIgnoresErrorsAndKeepsEarlierKeys()
    {
        // A password outside the code page has no stored form: the keys
        // before it are written, the rest not, and nothing is reported.
        Database connection;
        connection.setDatabaseName(QStringLiteral("x.fdb"));
        connection.setParams({"user_name=NOVAK", "password=✓", "sql_role_name=R"});
        ProfileFile settings(path_);
        ModalDriver driver;
        SaveConnectionSettings(&settings, &connection);
        QVERIFY(driver.seen().isEmpty());
        QCOMPARE(settings.readString("IBServer", "User_name", "-"), QStringLiteral("NOVAK"));
        QCOMPARE(settings.readString("IBServer", "Password", "-"), QStringLiteral("-"));
        QCOMPARE(settings.readString("IBServer", "SQLrole", "-"), QStringLiteral("-"));

        ProfileFile unwritable(dir_.filePath(QStringLiteral("missing/folder/zelo.ini")));
        SaveConnectionSettings(&unwritable, &connection);
        QVERIFY(!QFile::exists(unwritable.fileName()));
    }

    void loadErrorShowsErrorBoxAndKeepsWhatWasApplied()
    {
        writeBytes(path_, "[IBServer]\r\nDatabaseName=novy.fdb\r\nLoginPrompt=0\r\nSQLDialect=0\r\nUser_name=NEW\r\n");
        QString refused;
        try {
            Database().setSqlDialect(0);
        } catch (const Exception &error) {
            refused = error.message();
        }
        QVERIFY(!refused.isEmpty());

        const ProfileFile settings(path_);
        Database connection;
        fillConnection(connection);
        ModalDriver driver;
        driver.thenKeys({QKeySequence(Qt::Key_Return)});
        LoadConnectionSettings(&settings, &connection);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Chyba!"));
        QCOMPARE(driver.seen()[0].text, refused);
        QCOMPARE(driver.seen()[0].icon, int(QMessageBox::Critical));
        QCOMPARE(connection.databaseName(), QStringLiteral("novy.fdb"));
        QCOMPARE(connection.loginPrompt(), false);
        QCOMPARE(connection.sqlDialect(), 1);
        QCOMPARE(connection.params(), QStringList{"user_name=OLD"});
    }

    void closedConnectionIsNotAsked()
    {
        Database connection;
        ModalDriver driver;
        QVERIFY(!AskToDisconnect(&connection));
        QVERIFY(driver.seen().isEmpty());
    }

    void openConnectionIsClosedOnlyAfterYes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("yes closes and loads") << int(Qt::Key_A) << false;
        QTest::newRow("no keeps it open and loads nothing") << int(Qt::Key_N) << true;
        QTest::newRow("enter is the default no") << int(Qt::Key_Return) << true;
    }

    void openConnectionIsClosedOnlyAfterYes()
    {
        QFETCH(int, answer);
        QFETCH(bool, stillOpen);
        static const DbFixture fixture(QStringLiteral("ask"));
        auto connection = fixture.openConnection();
        const QString openName = connection->databaseName();
        writeBytes(path_, "[IBServer]\r\nDatabaseName=loaded.fdb\r\n");
        const ProfileFile settings(path_);

        ModalDriver driver;
        driver.then([answer](QWidget *box) { testsupport::pressKey(box, QKeySequence(answer)); });
        LoadConnectionSettings(&settings, connection.get());
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Dotaz"));
        QCOMPARE(driver.seen()[0].text,
                 QStringLiteral("Databáze \"%1\" je oproti očekávání připojena. Odpojit a pokračovat?").arg(openName));
        QCOMPARE(connection->connected(), stillOpen);
        QCOMPARE(connection->databaseName(), stillOpen ? openName : QStringLiteral("loaded.fdb"));
    }
};

ZELO_TEST_MAIN(tst_ConnectionSettings)
#include "tst_ConnectionSettings.moc"
