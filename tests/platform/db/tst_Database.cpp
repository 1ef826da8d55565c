// Connections, transactions and the two queries against the private server
// over TCP and through the embedded engine.

#include "DbFixture.h"
#include "PrivateServer.h"
#include "TestEnvironment.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/FbClient.h"
#include "db/Field.h"
#include "db/LoginPrompt.h"
#include "db/Query.h"
#include "db/ReadQuery.h"
#include "db/RestoreService.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace testsupport;

namespace {

const QStringList kMainWindowTransaction = {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                            QStringLiteral("nowait")};

QString run(platform::Database &database, const QString &sql)
{
    platform::Query query;
    query.setDatabase(&database);
    query.setSql(sql);
    query.execQuery();
    return query.asString();
}

// A second server of the test's own, to be stopped or killed mid-test.
PrivateServer ownServer(const QString &sysdbaPassword = QString())
{
    return PrivateServer(QStringLiteral("own-server"), "FB_TEST_SECOND_PORT", sysdbaPassword);
}

const QString kOwnAttachment = QStringLiteral(" from MON$ATTACHMENTS where MON$ATTACHMENT_ID = current_connection");

} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setLoginHandler({}); }

    void missingClientLibraryIsNamed();
    void serverErrorTextJoinsStatusLinesWithoutFinalStop();

    void openAndCloseNotify_data() { addAccessRows(); }
    void openAndCloseNotify();
    void czechLettersInThePathNameTheFileOnDisk_data() { addAccessRows(); }
    void czechLettersInThePathNameTheFileOnDisk();
    void parameterNamesIgnoreCaseAndPrefix();
    void passwordIsSentAsItStands_data();
    void passwordIsSentAsItStands();
    void parameterLinesNameAnyItemOfTheClientsList_data();
    void parameterLinesNameAnyItemOfTheClientsList();
    void badParameterLinesFailOpen_data();
    void badParameterLinesFailOpen();
    void nameAndParametersCannotChangeWhileOpen();
    void loginPromptAsksForUserAndPassword();
    void loginPromptCancelledOrMissingFailsOpen();
    void dialectBelowOneIsRefused();
    void dialectIsLoweredToTheDatabases_data() { addAccessRows(); }
    void dialectIsLoweredToTheDatabases();
    void czechSysdbaPasswordOpensTheDatabaseAndTheServices();
    void connectedTestNoticesAStoppedServer();
    void closeEndsAConnectionWhoseServerWasKilled();
    void aCommitTheServerRefusesKeepsTheConnectionOpen();

    void closeCommitsActiveTransactions_data() { addAccessRows(); }
    void closeCommitsActiveTransactions();
    void destroyingAnActiveTransactionCommits();
    void rollbackUndoesAndCommitRetainingKeepsActive();
    void unknownTransactionParameterFailsStart();
    void inactiveTransactionIsNotStartedSilently();
    void duplicateLoginIsRefused();
    void nowaitUpdatesOfOneRowConflict();

    void characterSetsCarryText_data();
    void characterSetsCarryText();

    void queryFetchesFirstRow_data() { addAccessRows(); }
    void queryFetchesFirstRow();
    void readQueryWalksEveryRow();
};

void DatabaseTest::missingClientLibraryIsNamed()
{
    try {
        platform::checkClientLibrary({QStringLiteral("libno-such-fbclient.so.9")});
        QFAIL("a missing library loaded");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("libno-such-fbclient.so.9")), qPrintable(error.message()));
    }
    // A library without the client's entries: the missing entry is named.
    try {
        platform::checkClientLibrary({QStringLiteral("libm.so.6")});
        QFAIL("a library without the entries loaded");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("isc_attach_database")), qPrintable(error.message()));
    }
    platform::checkClientLibrary(platform::clientLibraryNames());
}

void DatabaseTest::serverErrorTextJoinsStatusLinesWithoutFinalStop()
{
    const DbFixture fixture(QStringLiteral("errortext"));
    auto database = fixture.openConnection();
    try {
        run(*database, QStringLiteral("select nothing from DB$UZIV"));
        QFAIL("an unknown column was accepted");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544569);
        QCOMPARE(error.sqlCode(), -206);
        const QStringList lines = error.message().split(QStringLiteral("\r\n"));
        QVERIFY2(lines.size() >= 3, qPrintable(error.message()));
        QVERIFY(lines.contains(QStringLiteral("Column unknown")));
        QVERIFY(error.message().contains(QStringLiteral("NOTHING")));
        QVERIFY(!error.message().endsWith(QLatin1Char('.')));
    }
}

void DatabaseTest::openAndCloseNotify()
{
    QFETCH(Access, access);
    const DbFixture fixture(QStringLiteral("notify"), access);
    auto database = fixture.newConnection();
    QSignalSpy connects(database.get(), &platform::Database::afterConnect);
    QSignalSpy disconnects(database.get(), &platform::Database::afterDisconnect);
    QVERIFY(!database->connected());
    database->open();
    QVERIFY(database->connected());
    QCOMPARE(connects.size(), 1);
    QCOMPARE(disconnects.size(), 0);
    database->close();
    QVERIFY(!database->connected());
    QCOMPARE(disconnects.size(), 1);
    database->close();
    QCOMPARE(disconnects.size(), 1);
}

void DatabaseTest::czechLettersInThePathNameTheFileOnDisk()
{
    QFETCH(Access, access);
    const DbFixture fixture(QStringLiteral("účetní-žluťoučký"), access);
    QVERIFY2(QFile::exists(fixture.path()), qPrintable(fixture.path()));
    const auto database = fixture.openConnection();
    QVERIFY(database->connected());
}

void DatabaseTest::parameterNamesIgnoreCaseAndPrefix()
{
    const DbFixture fixture(QStringLiteral("paramnames"));
    platform::Database database;
    database.setDatabaseName(fixture.databaseName());
    database.setParams({QStringLiteral("ISC_DPB_USER_NAME=sysdba"), QStringLiteral("Password=") + sysdbaPassword(),
                        QStringLiteral("lc_ctype=Win1250"), QStringLiteral("sql_role_name=")});
    database.open();
    QVERIFY(database.connected());
    QCOMPARE(database.characterSet(), QStringLiteral("WIN1250"));
}

void DatabaseTest::passwordIsSentAsItStands_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("wrongPassword");
    QTest::newRow("blanks") << " x y "
                            << "x y";
    QTest::newRow("Czech letters") << "heslíčko"
                                   << "heslicko";
}

void DatabaseTest::passwordIsSentAsItStands()
{
    QFETCH(QString, password);
    QFETCH(QString, wrongPassword);
    const DbFixture fixture(QStringLiteral("password"));
    const QString user = QStringLiteral("HESLO_%1").arg(QCoreApplication::applicationPid());
    fixture.execute(
        QStringLiteral("create or alter user %1 password %2 using plugin Srp").arg(user, DbFixture::literal(password)));
    const auto dropUser =
        qScopeGuard([&] { fixture.execute(QStringLiteral("drop user %1 using plugin Srp").arg(user)); });

    platform::Database database;
    database.setDatabaseName(fixture.databaseName());
    database.setParams({QStringLiteral("user_name=") + user, QStringLiteral("password=") + password});
    database.open();
    QVERIFY(database.connected());
    database.close();

    database.setParams({QStringLiteral("user_name=") + user, QStringLiteral("password=") + wrongPassword});
    QVERIFY_THROWS_EXCEPTION(EIBError, database.open());
}

void DatabaseTest::parameterLinesNameAnyItemOfTheClientsList_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    const QString database = QStringLiteral(" from MON$DATABASE");
    const QString garbageCollection = QStringLiteral("select MON$GARBAGE_COLLECTION") + kOwnAttachment;
    const QStringList none;
    QTest::newRow("number in one byte") << none << "set_db_sql_dialect=1"
                                        << "select MON$SQL_DIALECT" + database << "1";
    QTest::newRow("number in two bytes, prefix and case") << none << "ISC_DPB_Set_Page_Buffers=500"
                                                          << "select MON$PAGE_BUFFERS" + database << "500";
    // One byte would read as a negative number.
    QTest::newRow("number above 127") << none << "set_page_buffers=200"
                                      << "select MON$PAGE_BUFFERS" + database << "200";
    QTest::newRow("number in four bytes") << none << "sweep_interval=70000"
                                          << "select MON$SWEEP_INTERVAL" + database << "70000";
    QTest::newRow("number zero") << none << "force_write=0"
                                 << "select MON$FORCED_WRITES" + database << "0";
    QTest::newRow("text") << none << "process_name=kelmo-zkouska"
                          << "select MON$REMOTE_PROCESS" + kOwnAttachment << "kelmo-zkouska";
    QTest::newRow("text, role") << QStringList{QStringLiteral("create role KONTROLA"),
                                               QStringLiteral("grant KONTROLA to SYSDBA")}
                                << "isc_dpb_sql_role_name=KONTROLA"
                                << "select current_role from RDB$DATABASE"
                                << "KONTROLA";
    QTest::newRow("text, character set") << none << "lc_ctype=UTF8"
                                         << "select MON$CHARACTER_SET_ID" + kOwnAttachment << "4";
    QTest::newRow("switch") << none << "no_garbage_collect" << garbageCollection << "0";
    QTest::newRow("switch with an empty value") << none << "NO_GARBAGE_COLLECT=" << garbageCollection << "0";
}

void DatabaseTest::parameterLinesNameAnyItemOfTheClientsList()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, line);
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    const DbFixture fixture(QStringLiteral("paramitems"));
    for (const QString &statement : setup)
        fixture.execute(statement);
    platform::Database database;
    database.setDatabaseName(fixture.databaseName());
    database.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + sysdbaPassword(), line});
    platform::Transaction transaction;
    database.setDefaultTransaction(&transaction);
    database.open();
    transaction.start();
    QCOMPARE(run(database, sql).trimmed(), expected);
}

void DatabaseTest::badParameterLinesFailOpen_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown name") << "page_sise=4096";
    QTest::newRow("number given as text") << "num_buffers=sto";
    QTest::newRow("number out of range") << "num_buffers=99999999999";
    QTest::newRow("switch given a value") << "no_garbage_collect=1";
}

void DatabaseTest::badParameterLinesFailOpen()
{
    QFETCH(QString, line);
    const DbFixture fixture(QStringLiteral("unknownparam"));
    auto database = fixture.newConnection();
    database->setParams(DbFixture::connectionParams() << line);
    QSignalSpy connects(database.get(), &platform::Database::afterConnect);
    try {
        database->open();
        QFAIL("a bad parameter line was accepted");
    } catch (const EIBError &error) {
        QFAIL(qPrintable(QStringLiteral("the server was asked: ") + error.message()));
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(line), qPrintable(error.message()));
    }
    QVERIFY(!database->isOpen());
    QCOMPARE(connects.size(), 0);
}

void DatabaseTest::nameAndParametersCannotChangeWhileOpen()
{
    const DbFixture fixture(QStringLiteral("locked"));
    auto database = fixture.openConnection();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database->setDatabaseName(QStringLiteral("/tmp/other.fdb")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database->setParams({QStringLiteral("user_name=OTHER")}));
    QCOMPARE(database->databaseName(), fixture.databaseName());
    QCOMPARE(database->params(), DbFixture::connectionParams());
    database->close();
    database->setParams({QStringLiteral("user_name=OTHER")});
    QCOMPARE(database->paramValue(QStringLiteral("USER_NAME")), QStringLiteral("OTHER"));
}

void DatabaseTest::loginPromptAsksForUserAndPassword()
{
    const DbFixture fixture(QStringLiteral("prompt"));
    auto database = fixture.newConnection();
    database->setParams(
        {QStringLiteral("user_name=nobody"), QStringLiteral("password=wrong"), QStringLiteral("lc_ctype=WIN1250")});
    database->setLoginPrompt(true);
    QString offeredUser;
    QString nameAsked;
    platform::setLoginHandler([&](const QString &name, QString &user, QString &password) -> bool {
        offeredUser = user;
        nameAsked = name;
        user = QStringLiteral("SYSDBA");
        password = sysdbaPassword();
        return true;
    });
    database->open();
    QCOMPARE(offeredUser, QStringLiteral("nobody"));
    QCOMPARE(nameAsked, fixture.databaseName());
    QVERIFY(database->connected());
    // The lines stay as they were: the prompt's answer is not stored.
    QCOMPARE(database->paramValue(QStringLiteral("password")), QStringLiteral("wrong"));
}

void DatabaseTest::loginPromptCancelledOrMissingFailsOpen()
{
    const DbFixture fixture(QStringLiteral("promptcancel"));
    auto database = fixture.newConnection();
    database->setLoginPrompt(true);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database->open());
    platform::setLoginHandler([](const QString &, QString &, QString &) { return false; });
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database->open());
    QVERIFY(!database->isOpen());
}

void DatabaseTest::dialectBelowOneIsRefused()
{
    platform::Database database;
    database.setSqlDialect(1);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database.setSqlDialect(0));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database.setSqlDialect(-3));
    QCOMPARE(database.sqlDialect(), 1);
}

void DatabaseTest::dialectIsLoweredToTheDatabases()
{
    QFETCH(Access, access);
    const DbFixture dialect1(QStringLiteral("dialect1"), access, 1);
    auto database = dialect1.newConnection();
    database->setSqlDialect(3);
    database->open();
    QCOMPARE(database->sqlDialect(), 1);

    const DbFixture dialect3(QStringLiteral("dialect3"), access, 3);
    auto other = dialect3.newConnection();
    other->setSqlDialect(3);
    other->open();
    QCOMPARE(other->sqlDialect(), 3);
}

// Pelrin's two logins as SYSDBA, whose password isql set in a UTF-8 locale.
void DatabaseTest::czechSysdbaPasswordOpensTheDatabaseAndTheServices()
{
    const QString password = QStringLiteral("heslíčko");
    PrivateServer server = ownServer(password);
    QVERIFY(server.start());
    const QString name = server.databaseName(server.dir() + QStringLiteral("/heslo-účetní.fdb"));
    platform::createDatabase(name, QStringLiteral("SYSDBA"), password);
    const auto params = [](const QString &password) {
        return QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + password,
                           QStringLiteral("lc_ctype=WIN1250")};
    };
    platform::Database database;
    database.setDatabaseName(name);
    database.setParams(params(password));
    database.open();
    QVERIFY(database.connected());
    database.close();

    platform::RestoreService service;
    service.protocol = platform::ServiceProtocol::Tcp;
    service.serverName = QStringLiteral("localhost/%1").arg(server.port());
    service.params = params(password);
    service.attach();
    QVERIFY(service.isAttached());
    service.detach();

    database.setParams(params(QStringLiteral("heslicko")));
    QVERIFY_THROWS_EXCEPTION(EIBError, database.open());
    service.params = params(QStringLiteral("heslicko"));
    QVERIFY_THROWS_EXCEPTION(EIBError, service.attach());
}

void DatabaseTest::connectedTestNoticesAStoppedServer()
{
    PrivateServer server = ownServer();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    const QString name = server.databaseName(server.dir() + QStringLiteral("/stopped.fdb"));
    platform::createDatabase(name, QStringLiteral("SYSDBA"), sysdbaPassword());
    platform::Database database;
    platform::Transaction transaction;
    database.setDatabaseName(name);
    database.setParams(DbFixture::connectionParams());
    database.setDefaultTransaction(&transaction);
    database.open();
    transaction.start();
    QVERIFY(database.connected());
    QSignalSpy disconnects(&database, &platform::Database::afterDisconnect);

    server.stop();
    QVERIFY(!database.connected());
    QVERIFY(!database.isOpen());
    QVERIFY(!transaction.inTransaction());
    QCOMPARE(disconnects.size(), 1);
    QVERIFY(!database.connected());
    QCOMPARE(disconnects.size(), 1);
    database.close();
}

void DatabaseTest::closeEndsAConnectionWhoseServerWasKilled()
{
    PrivateServer server = ownServer();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    const DbFixture fixture(QStringLiteral("killed"), server);
    auto database = fixture.openConnection(kMainWindowTransaction);
    platform::Transaction *transaction = database->defaultTransaction();
    platform::DataSet users;
    users.setDatabase(database.get());
    users.setSelectSql({QStringLiteral("select UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO from DB$UZIV")});
    users.setInsertSql({QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO)"),
                        QStringLiteral("values (:UZI$LOGIN, :UZI$PRIJMENI, :UZI$PRAVO)")});
    users.open();
    QSignalSpy disconnects(database.get(), &platform::Database::afterDisconnect);

    QVERIFY(server.kill());
    QList<std::int32_t> raised;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            database->close();
        } catch (const EIBError &error) {
            raised << error.errorCode();
        }
    }
    // The commit's failure, raised by the first close only: the connection is gone.
    QCOMPARE(raised.size(), 1);
    QVERIFY2(raised[0] == 335544726 || raised[0] == 335544727 || raised[0] == 335544721,
             qPrintable(QString::number(raised[0])));
    QVERIFY(!database->isOpen());
    QVERIFY(!database->connected());
    QVERIFY(!transaction->inTransaction());
    QVERIFY(!users.active());
    QCOMPARE(disconnects.size(), 1);

    QVERIFY2(server.start(), qPrintable(server.errors()));
    database->open();
    transaction->start();
    users.open();
    users.append();
    users.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("ZNOVU"));
    users.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Po restartu"));
    users.fieldByName(QStringLiteral("UZI$PRAVO"))->setAsString(QStringLiteral("A"));
    users.post();
    transaction->commit();
    QCOMPARE(fixture.readValue(QStringLiteral("select UZI$PRIJMENI from DB$UZIV where UZI$LOGIN = 'ZNOVU'")),
             std::optional<QString>(QStringLiteral("Po restartu")));
}

void DatabaseTest::aCommitTheServerRefusesKeepsTheConnectionOpen()
{
    const DbFixture fixture(QStringLiteral("refused"));
    fixture.execute(QStringLiteral("create table LOCKED (X integer)"));
    auto user = fixture.openConnection();
    run(*user, QStringLiteral("insert into LOCKED values (1)"));
    // Dropping a table in use is refused at commit, on a nowait transaction
    // with a lock conflict.
    auto dropper = fixture.openConnection(kMainWindowTransaction);
    platform::DataSet users;
    users.setDatabase(dropper.get());
    users.setSelectSql({QStringLiteral("select UZI$LOGIN from DB$UZIV")});
    users.open();
    QSignalSpy disconnects(dropper.get(), &platform::Database::afterDisconnect);
    run(*dropper, QStringLiteral("drop table LOCKED"));
    try {
        dropper->close();
        QFAIL("dropping a table in use was committed");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544345);
    }
    QVERIFY(dropper->isOpen());
    QVERIFY(dropper->defaultTransaction()->inTransaction());
    QVERIFY(users.active());
    QCOMPARE(disconnects.size(), 0);
    QCOMPARE(run(*dropper, QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("0"));

    dropper->defaultTransaction()->rollback();
    dropper->close();
    QCOMPARE(disconnects.size(), 1);
    QVERIFY(!users.active());
}

void DatabaseTest::closeCommitsActiveTransactions()
{
    QFETCH(Access, access);
    const DbFixture fixture(QStringLiteral("closecommits"), access);
    auto database = fixture.openConnection(kMainWindowTransaction);
    platform::Transaction second;
    second.setDefaultDatabase(database.get());
    second.start();
    run(*database, QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('A', 'a', 'A')"));
    platform::Query query;
    query.setTransaction(&second);
    query.setSql(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('B', 'b', 'R')"));
    query.execQuery();
    database->close();
    QVERIFY(!database->defaultTransaction()->inTransaction());
    QVERIFY(!second.inTransaction());
    QCOMPARE(fixture.readValue(QStringLiteral("select count(*) from DB$UZIV where UZI$LOGIN in ('A', 'B')")),
             QStringLiteral("2"));
}

void DatabaseTest::destroyingAnActiveTransactionCommits()
{
    const DbFixture fixture(QStringLiteral("destroycommits"));
    auto database = fixture.newConnection();
    database->open();
    {
        platform::Transaction transaction;
        transaction.setDefaultDatabase(database.get());
        transaction.start();
        platform::Query query;
        query.setDatabase(database.get());
        query.setTransaction(&transaction);
        query.setSql(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('X', 'x', 'Z')"));
        query.execQuery();
    }
    QCOMPARE(fixture.readValue(QStringLiteral("select UZI$LOGIN from DB$UZIV")), QStringLiteral("X"));
}

void DatabaseTest::rollbackUndoesAndCommitRetainingKeepsActive()
{
    const DbFixture fixture(QStringLiteral("rollback"));
    auto database = fixture.openConnection();
    platform::Transaction *transaction = database->defaultTransaction();
    run(*database, QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('R', 'r', 'R')"));
    transaction->rollback();
    QVERIFY(!transaction->inTransaction());
    QCOMPARE(fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("0"));

    transaction->start();
    run(*database, QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('K', 'k', 'R')"));
    transaction->commitRetaining();
    QVERIFY(transaction->inTransaction());
    QCOMPARE(fixture.readValue(QStringLiteral("select UZI$LOGIN from DB$UZIV")), QStringLiteral("K"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, transaction->start());
}

void DatabaseTest::unknownTransactionParameterFailsStart()
{
    const DbFixture fixture(QStringLiteral("tpb"));
    auto database = fixture.newConnection(
        {QStringLiteral("isc_tpb_read_committed"), QStringLiteral("REC_VERSION"), QStringLiteral("nowait")});
    database->open();
    database->defaultTransaction()->start();
    database->defaultTransaction()->commit();
    database->defaultTransaction()->setParams({QStringLiteral("read_comitted")});
    try {
        database->defaultTransaction()->start();
        QFAIL("an unknown transaction parameter was accepted");
    } catch (const EDatabaseError &error) {
        QVERIFY(error.message().contains(QStringLiteral("read_comitted")));
    }
    QVERIFY(!database->defaultTransaction()->inTransaction());
}

void DatabaseTest::inactiveTransactionIsNotStartedSilently()
{
    const DbFixture fixture(QStringLiteral("inactive"));
    auto database = fixture.newConnection();
    database->open();
    platform::Query query;
    query.setDatabase(database.get());
    query.setSql(QStringLiteral("select count(*) from DB$UZIV"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, query.execQuery());
    QVERIFY(!database->defaultTransaction()->inTransaction());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, database->defaultTransaction()->commit());
}

void DatabaseTest::duplicateLoginIsRefused()
{
    const DbFixture fixture(QStringLiteral("duplicate"));
    fixture.addUser(QStringLiteral("dvorak"), std::nullopt, QStringLiteral("Dvořák"));
    auto database = fixture.openConnection();
    try {
        run(*database, QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) "
                                      "values ('dvorak', 'Jiný', 'R')"));
        QFAIL("a duplicate login was accepted");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544665);
        QCOMPARE(error.sqlCode(), -803);
        QVERIFY(error.message().contains(QStringLiteral("DB$UZIV")));
    }
}

void DatabaseTest::nowaitUpdatesOfOneRowConflict()
{
    const DbFixture fixture(QStringLiteral("conflict"));
    fixture.addUser(QStringLiteral("novak"), std::nullopt, QStringLiteral("Novák"));
    auto first = fixture.openConnection(kMainWindowTransaction);
    auto second = fixture.openConnection(kMainWindowTransaction);
    run(*first, QStringLiteral("update DB$UZIV set UZI$JMENO = 'Jan' where UZI$LOGIN = 'novak'"));
    try {
        run(*second, QStringLiteral("update DB$UZIV set UZI$JMENO = 'Petr' where UZI$LOGIN = 'novak'"));
        QFAIL("the second update did not conflict");
    } catch (const EIBError &error) {
        QVERIFY2(error.errorCode() == 335544345 || error.errorCode() == 335544336, qPrintable(error.message()));
    }
}

void DatabaseTest::characterSetsCarryText_data()
{
    QTest::addColumn<QString>("characterSet");
    QTest::addColumn<QString>("text");
    QTest::newRow("WIN1250") << "WIN1250" << QStringLiteral("Žluťoučký kůň úpěl");
    QTest::newRow("DOS852") << "DOS852" << QStringLiteral("Žluťoučký kůň úpěl");
    QTest::newRow("DOS850") << "DOS850" << QStringLiteral("Müller Ärger");
    QTest::newRow("DOS857") << "DOS857" << QStringLiteral("Şükrü");
    QTest::newRow("ASCII") << "ASCII" << QStringLiteral("plain text");
    QTest::newRow("NONE") << "NONE" << QStringLiteral("Žluťoučký kůň úpěl");
    QTest::newRow("lower case") << "dos852" << QStringLiteral("Říha");
}

void DatabaseTest::characterSetsCarryText()
{
    QFETCH(QString, characterSet);
    QFETCH(QString, text);
    const DbFixture fixture(QStringLiteral("charset"));
    auto database = fixture.newConnection();
    database->setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + sysdbaPassword(),
                         QStringLiteral("lc_ctype=") + characterSet});
    database->open();
    database->defaultTransaction()->start();
    QString literal = text;
    run(*database, QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('x', '%1', 'A')")
                       .arg(literal));
    QCOMPARE(run(*database, QStringLiteral("select UZI$PRIJMENI from DB$UZIV")), text);
    database->close();
    // Whatever the connection's set, the WIN1250 column holds the text itself.
    QCOMPARE(fixture.readValue(QStringLiteral("select UZI$PRIJMENI from DB$UZIV")), text);
}

void DatabaseTest::queryFetchesFirstRow()
{
    QFETCH(Access, access);
    const DbFixture fixture(QStringLiteral("query"), access);
    fixture.addUser(QStringLiteral("B"), std::nullopt, QStringLiteral("Beta"));
    fixture.addUser(QStringLiteral("A"), std::nullopt, QStringLiteral("Alfa"));
    auto database = fixture.openConnection();
    platform::Query query;
    query.setDatabase(database.get());
    query.setSql(QStringLiteral("select UZI$LOGIN, UZI$JMENO, count(*) over () from DB$UZIV order by 1"));
    query.execQuery();
    QVERIFY(query.rowFound());
    QCOMPARE(query.asString(), QStringLiteral("A"));
    QVERIFY(query.isNull(1));
    QCOMPARE(query.asString(1), QString());
    QCOMPARE(query.asInt64(2), 2);

    query.setSql(QStringLiteral("select UZI$LOGIN from DB$UZIV where UZI$LOGIN = 'none'"));
    query.execQuery();
    QVERIFY(!query.rowFound());
    QVERIFY(query.eof());
    QCOMPARE(query.asString(), QString());

    query.setSql(QStringLiteral("select cast(9000000000 as bigint) from rdb$database"));
    query.execQuery();
    QCOMPARE(query.asInt64(), Q_INT64_C(9000000000));

    query.setSql(QStringLiteral("delete from DB$UZIV"));
    query.execQuery();
    QVERIFY(!query.rowFound());
    QCOMPARE(fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("2"));
    database->defaultTransaction()->commit();
    QCOMPARE(fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("0"));
}

void DatabaseTest::readQueryWalksEveryRow()
{
    const DbFixture fixture(QStringLiteral("readquery"), Access::Embedded);
    for (const QString &login : {QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")})
        fixture.addUser(login, std::nullopt, QStringLiteral("P") + login);
    auto database = fixture.openConnection();
    platform::ReadQuery query;
    query.setTransaction(database->defaultTransaction());
    query.setSql(QStringLiteral("select UZI$LOGIN, UZI$HESLO from DB$UZIV order by UZI$LOGIN"));
    query.prepare();
    query.open();
    QStringList logins;
    for (; !query.eof(); query.next()) {
        logins << query.asString(0);
        QVERIFY(query.isNull(1));
    }
    QCOMPARE(logins, (QStringList{"A", "B", "C"}));
    query.close();
    // Open again re-runs the prepared statement.
    query.open();
    QCOMPARE(query.asString(0), QStringLiteral("A"));
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_Database.moc"
