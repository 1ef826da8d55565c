// The private server works as the programs need it: SYSDBA logs in over TCP,
// a WIN1250 database keeps Czech text byte for byte, a wrong password is
// refused.

#include "DbFixture.h"
#include "TestEnvironment.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QTest>

using namespace testsupport;

class FirebirdServerTest : public QObject {
    Q_OBJECT
private slots:
    void sysdbaLogsInOverTcpAndKeepsCzechTextByteForByte();
    void wrongPasswordIsRefused();
};

void FirebirdServerTest::sysdbaLogsInOverTcpAndKeepsCzechTextByteForByte()
{
    const DbFixture fixture(QStringLiteral("smoke"), Access::Tcp);
    const QString czech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
    fixture.addUser(QStringLiteral("kun"), std::nullopt, czech);

    // Octets come back untranslated: the bytes the database holds.
    const auto stored =
        fixture.readValue(QStringLiteral("select cast(UZI$PRIJMENI as varchar(40) character set octets) from DB$UZIV"));
    QVERIFY(stored);
    QCOMPARE(platform::toWin1250(*stored), platform::toWin1250(czech));
    QCOMPARE(fixture.readValue(QStringLiteral("select UZI$PRIJMENI from DB$UZIV")), czech);
    QCOMPARE(fixture.readValue(QStringLiteral("select current_user from rdb$database")), QStringLiteral("SYSDBA"));
}

void FirebirdServerTest::wrongPasswordIsRefused()
{
    const DbFixture fixture(QStringLiteral("password"), Access::Tcp);
    platform::Database database;
    database.setDatabaseName(fixture.databaseName());
    database.setParams(
        {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=wrong"), QStringLiteral("lc_ctype=WIN1250")});
    try {
        database.open();
        QFAIL("a wrong password was accepted");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544472);
    }
    QVERIFY(!database.isOpen());
}

QTEST_GUILESS_MAIN(FirebirdServerTest)
#include "tst_FirebirdServer.moc"
