// SelectToList: which transaction it uses, what the list holds afterwards.

#include "DbFixture.h"
#include "SqlUtils.h"
#include "base/Exceptions.h"
#include "db/Database.h"
#include "db/Transaction.h"

#include <QTest>

using namespace testsupport;

class SelectToListTest : public QObject {
    Q_OBJECT
private slots:
    void withoutAListNothingHappens();
    void fillsFirstColumnTrimmedInRowOrder();
    void idleTransactionIsStartedAndCommitted();
    void activeTransactionIsLeftAsItWas();
    void rejectedStatementKeepsTheList();
    void noRowsEmptiesTheList();
};

namespace {
// Blanks, NULL and control characters around the names, in a fixed order.
DbFixture rolesFixture()
{
    DbFixture fixture(QStringLiteral("selecttolist"));
    fixture.addUser(QStringLiteral("1"), std::nullopt, QStringLiteral("x"), QStringLiteral("  Účetní \t"));
    fixture.addUser(QStringLiteral("2"), std::nullopt, QStringLiteral("x"), std::nullopt);
    fixture.addUser(QStringLiteral("3"), std::nullopt, QStringLiteral("x"), QStringLiteral("   "));
    fixture.execute(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$JMENO, UZI$PRAVO) "
                                   "values ('4', 'x', ascii_char(1) || 'Sklad' || ascii_char(31), 'A')"));
    return fixture;
}
const QString kRoles = QStringLiteral("select UZI$JMENO, UZI$LOGIN from DB$UZIV order by UZI$LOGIN");
} // namespace

void SelectToListTest::withoutAListNothingHappens()
{
    platform::Database database; // not even connected
    platform::Transaction transaction;
    database.setDefaultTransaction(&transaction);
    SelectToList(QStringLiteral("select 1 from rdb$database"), &database, nullptr);
    QVERIFY(!transaction.inTransaction());
}

void SelectToListTest::fillsFirstColumnTrimmedInRowOrder()
{
    const DbFixture fixture = rolesFixture();
    auto database = fixture.newConnection();
    database->open();
    QStringList list{QStringLiteral("old")};
    SelectToList(kRoles, database.get(), &list);
    QCOMPARE(list, (QStringList{QStringLiteral("Účetní"), QString(), QString(), QStringLiteral("Sklad")}));
}

void SelectToListTest::idleTransactionIsStartedAndCommitted()
{
    const DbFixture fixture = rolesFixture();
    auto database = fixture.newConnection();
    database->open();
    QStringList list;
    SelectToList(kRoles, database.get(), &list);
    QCOMPARE(list.size(), 4);
    QVERIFY(!database->defaultTransaction()->inTransaction());
}

void SelectToListTest::activeTransactionIsLeftAsItWas()
{
    const DbFixture fixture = rolesFixture();
    auto database = fixture.openConnection();
    platform::Transaction *transaction = database->defaultTransaction();
    fixture.execute(QStringLiteral("delete from DB$UZIV where UZI$LOGIN = '4'"));
    QStringList list;
    SelectToList(kRoles, database.get(), &list);
    QVERIFY(transaction->inTransaction());
    // The caller's snapshot, taken before the delete, was used: four rows.
    QCOMPARE(list.size(), 4);
}

void SelectToListTest::rejectedStatementKeepsTheList()
{
    const DbFixture fixture = rolesFixture();
    auto database = fixture.newConnection();
    database->open();
    QStringList list{QStringLiteral("kept")};
    try {
        SelectToList(QStringLiteral("select NOTHING from DB$UZIV"), database.get(), &list);
        QFAIL("a rejected statement passed");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544569);
    }
    QCOMPARE(list, QStringList{QStringLiteral("kept")});
    // Started here and failed: neither committed nor rolled back.
    QVERIFY(database->defaultTransaction()->inTransaction());
}

void SelectToListTest::noRowsEmptiesTheList()
{
    const DbFixture fixture = rolesFixture();
    auto database = fixture.newConnection();
    database->open();
    QStringList list{QStringLiteral("old")};
    SelectToList(QStringLiteral("select UZI$JMENO from DB$UZIV where 1 = 0"), database.get(), &list);
    QVERIFY(list.isEmpty());
}

QTEST_GUILESS_MAIN(SelectToListTest)
#include "tst_SelectToList.moc"
