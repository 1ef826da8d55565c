// The editable data set over the users table, with the statements the user
// list gives it, against the private server and the embedded engine.

#include "DbFixture.h"
#include "ErrorTranslation.h"
#include "UsersTable.h"
#include "base/Exceptions.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Field.h"
#include "db/Transaction.h"

#include <QSignalSpy>
#include <QTest>

using namespace testsupport;
using platform::DataSet;
using platform::LocateOption;

Q_DECLARE_METATYPE(platform::LocateOptions)

namespace {

// The users table with three users, a connection and the list's data set.
struct UsersList {
    explicit UsersList(Access access = Access::Tcp, int dialect = 3)
        : fixture(QStringLiteral("dataset"), access, dialect)
    {
        fixture.addUser(QStringLiteral("NOVAK"), QStringLiteral("111"), QStringLiteral("Novák"), QStringLiteral("Jan"),
                        QStringLiteral("A"), QStringLiteral("jan@firma.cz"), QStringLiteral("poznámka"));
        fixture.addUser(QStringLiteral("CERNY"), std::nullopt, QStringLiteral("Černý"), std::nullopt,
                        QStringLiteral("R"));
        fixture.addUser(QStringLiteral("dvorak"), std::nullopt, QStringLiteral("Dvořák"), QStringLiteral("Petr"),
                        QStringLiteral("Z"));
        database = fixture.newConnection();
        database->setSqlDialect(dialect);
        database->open();
        transaction.setDefaultDatabase(database.get());
        transaction.start();
        set.setDatabase(database.get());
        set.setTransaction(&transaction);
        SetUpUsersTableStatements(set);
        set.addSelectLine(QStringLiteral("order by UZI$LOGIN"));
    }
    QString stored(const QString &column, const QString &login) const
    {
        return fixture.readValue(QStringLiteral("select %1 from DB$UZIV where UZI$LOGIN = '%2'").arg(column, login))
            .value_or(QStringLiteral("<NULL>"));
    }
    QString field(const QString &name) const { return set.fieldByName(name)->asString(); }
    // As the user list reads: each statement sees what others have committed.
    void readCommitted()
    {
        transaction.commit();
        transaction.setParams(
            {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
        transaction.start();
    }
    DbFixture fixture;
    std::unique_ptr<platform::Database> database;
    platform::Transaction transaction;
    DataSet set;
};

} // namespace

class DataSetTest : public QObject {
    Q_OBJECT
private slots:
    void openShowsRowsAndFields_data() { addAccessRows(); }
    void openShowsRowsAndFields();
    void navigationAndRecordNumbers();
    void insertPostsAtOnceAndNewRowStaysCurrent_data() { addAccessRows(); }
    void insertPostsAtOnceAndNewRowStaysCurrent();
    void postShowsTheRowAsTheServerStoredIt();
    void modifyFindsTheRowByItsOldLogin_data() { addAccessRows(); }
    void modifyFindsTheRowByItsOldLogin();
    void deleteRunsAtOnce();
    void modifyOfARowChangedElsewhere_data();
    void modifyOfARowChangedElsewhere();
    void deleteOfARowDeletedElsewhereIsSilent();
    void cancelUndoesInsertAndEdit();
    void duplicateLoginKeepsTheInsertOpen();
    void requiredFieldMustHaveAValue();
    void textIsCutToTheFieldSize();
    void readOnlyAndNoDeleteQueryErrors();
    void nullValues();
    void originIsQuotedByDialect_data();
    void originIsQuotedByDialect();
    void locate_data();
    void locate();
    void locateOnANumberComparesText();
    void locateOnANullNumberMatchesEmptyText();
    void locateOverAUtf8Connection();
    void fieldDefinitionsSurviveReopen();
    void disabledControlsNotifyOnceOnLastEnable();
    void notificationsFollowChanges();
    void openNeedsAnActiveTransaction();
};

void DataSetTest::openShowsRowsAndFields()
{
    QFETCH(Access, access);
    UsersList list(access);
    QSignalSpy scrolls(&list.set, &DataSet::afterScroll);
    list.set.open();
    QVERIFY(list.set.active());
    QCOMPARE(list.set.recordCount(), 3);
    QCOMPARE(list.set.recNo(), 1);
    QCOMPARE(scrolls.size(), 1);
    QCOMPARE(list.set.fieldCount(), 7);
    const platform::Field *login = list.set.field(0);
    QCOMPARE(login->fieldName(), QStringLiteral("UZI$LOGIN"));
    QCOMPARE(login->dataType(), platform::ftString);
    QCOMPARE(login->size(), 40);
    QVERIFY(login->required());
    QCOMPARE(list.set.fieldByName(QStringLiteral("uzi$pravo"))->size(), 1);
    QVERIFY(list.set.fieldByName(QStringLiteral("UZI$PRAVO"))->required());
    QVERIFY(!list.set.fieldByName(QStringLiteral("UZI$JMENO"))->required());
    QCOMPARE(list.set.fieldByName(QStringLiteral("UZI$POZN"))->size(), 160);
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("CERNY"));
    QCOMPARE(list.field(QStringLiteral("UZI$PRIJMENI")), QStringLiteral("Černý"));
    QCOMPARE(list.set.text(1, 2), QStringLiteral("Novák"));
    QCOMPARE(list.set.selectText(), QStringLiteral("select * from DB$UZIV\norder by UZI$LOGIN"));
    QVERIFY(!list.set.findField(QStringLiteral("NOTHING")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, list.set.fieldByName(QStringLiteral("NOTHING")));
    list.set.close();
    QVERIFY(!list.set.active());
    QCOMPARE(list.set.recordCount(), 0);
}

void DataSetTest::navigationAndRecordNumbers()
{
    UsersList list;
    list.set.open();
    QVERIFY(!list.set.eof());
    list.set.next();
    list.set.next();
    QCOMPARE(list.set.recNo(), 3);
    QVERIFY(!list.set.eof());
    list.set.next();
    QVERIFY(list.set.eof());
    QCOMPARE(list.set.recNo(), 3);
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("dvorak"));
    list.set.setRecNo(2);
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("NOVAK"));
    list.set.first();
    QCOMPARE(list.set.recNo(), 1);

    list.set.setSelectLine(1, QStringLiteral("where UZI$LOGIN = 'nobody'"));
    list.set.close();
    list.set.open();
    QVERIFY(list.set.isEmpty());
    QVERIFY(list.set.eof());
    QCOMPARE(list.set.recNo(), 0);
    QVERIFY(list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->isNull());
}

void DataSetTest::insertPostsAtOnceAndNewRowStaysCurrent()
{
    QFETCH(Access, access);
    UsersList list(access);
    list.set.open();
    list.set.insert();
    QCOMPARE(list.set.state(), platform::DataSetState::Insert);
    QCOMPARE(list.set.recordCount(), 4);
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("SVOBODA"));
    list.set.fieldByName(QStringLiteral("UZI$HESLO"))->setAsString(QStringLiteral("123456"));
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Svoboda"));
    list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QStringLiteral("Řehoř"));
    list.set.fieldByName(QStringLiteral("UZI$PRAVO"))->setAsString(QStringLiteral("Z"));
    list.set.post();
    QCOMPARE(list.set.state(), platform::DataSetState::Browse);
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("SVOBODA"));
    list.transaction.commitRetaining();
    QCOMPARE(list.stored(QStringLiteral("UZI$JMENO"), QStringLiteral("SVOBODA")), QStringLiteral("Řehoř"));
    QCOMPARE(list.stored(QStringLiteral("UZI$EMAIL"), QStringLiteral("SVOBODA")), QStringLiteral("<NULL>"));
    QCOMPARE(list.stored(QStringLiteral("UZI$POZN"), QStringLiteral("SVOBODA")), QStringLiteral("<NULL>"));
    QCOMPARE(list.stored(QStringLiteral("UZI$HESLO"), QStringLiteral("SVOBODA")), QStringLiteral("123456"));
}

void DataSetTest::postShowsTheRowAsTheServerStoredIt()
{
    UsersList list;
    // The server overrides what was posted: a value where NULL was sent, NULL where a value was.
    list.fixture.execute(QStringLiteral("create trigger DB$UZIV_SERVER for DB$UZIV before insert or update as "
                                        "begin "
                                        "  if (inserting) then begin"
                                        "    new.UZI$POZN = 'vloženo serverem'; new.UZI$EMAIL = null; end "
                                        "  else begin"
                                        "    new.UZI$POZN = 'změněno serverem'; new.UZI$JMENO = null; end "
                                        "end"));
    list.set.open();
    const int email = list.set.fieldByName(QStringLiteral("UZI$EMAIL"))->index();
    const int jmeno = list.set.fieldByName(QStringLiteral("UZI$JMENO"))->index();
    const int pozn = list.set.fieldByName(QStringLiteral("UZI$POZN"))->index();
    list.set.append();
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("NOVY"));
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Nový"));
    list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QStringLiteral("Jan"));
    list.set.fieldByName(QStringLiteral("UZI$EMAIL"))->setAsString(QStringLiteral("novy@firma.cz"));
    list.set.fieldByName(QStringLiteral("UZI$PRAVO"))->setAsString(QStringLiteral("R"));
    list.set.post();
    const int row = list.set.currentRow();
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("NOVY"));
    QCOMPARE(list.field(QStringLiteral("UZI$POZN")), QStringLiteral("vloženo serverem"));
    QVERIFY(!list.set.isNull(row, pozn));
    QVERIFY(list.set.fieldByName(QStringLiteral("UZI$EMAIL"))->isNull());
    QVERIFY(list.set.isNull(row, email));
    QCOMPARE(list.field(QStringLiteral("UZI$JMENO")), QStringLiteral("Jan"));

    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$EMAIL"))->setAsString(QStringLiteral("jan@firma.cz"));
    list.set.post();
    QCOMPARE(list.set.currentRow(), row);
    QCOMPARE(list.set.text(row, pozn), QStringLiteral("změněno serverem"));
    QVERIFY(list.set.isNull(row, jmeno));
    QVERIFY(list.set.fieldByName(QStringLiteral("UZI$JMENO"))->isNull());
    QCOMPARE(list.set.text(row, email), QStringLiteral("jan@firma.cz"));
    QVERIFY(!list.set.isNull(row, email));
}

void DataSetTest::modifyFindsTheRowByItsOldLogin()
{
    QFETCH(Access, access);
    UsersList list(access);
    list.set.open();
    QVERIFY(list.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("NOVAK")));
    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("NOVAKOVA"));
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Nováková"));
    list.set.fieldByName(QStringLiteral("UZI$HESLO"))->clear();
    list.set.post();
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("NOVAKOVA"));
    list.transaction.commitRetaining();
    QCOMPARE(list.fixture.readValue(QStringLiteral("select count(*) from DB$UZIV where UZI$LOGIN = 'NOVAK'")),
             QStringLiteral("0"));
    QCOMPARE(list.stored(QStringLiteral("UZI$PRIJMENI"), QStringLiteral("NOVAKOVA")), QStringLiteral("Nováková"));
    QCOMPARE(list.stored(QStringLiteral("UZI$HESLO"), QStringLiteral("NOVAKOVA")), QStringLiteral("<NULL>"));
    // The columns the program never edits keep what they were read with.
    QCOMPARE(list.stored(QStringLiteral("UZI$EMAIL"), QStringLiteral("NOVAKOVA")), QStringLiteral("jan@firma.cz"));
    QCOMPARE(list.stored(QStringLiteral("UZI$POZN"), QStringLiteral("NOVAKOVA")), QStringLiteral("poznámka"));
    QCOMPARE(list.fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("3"));
}

void DataSetTest::deleteRunsAtOnce()
{
    UsersList list;
    list.set.open();
    list.set.setRecNo(2);
    list.set.deleteRecord();
    QCOMPARE(list.set.recordCount(), 2);
    QCOMPARE(list.set.recNo(), 2);
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("dvorak"));
    list.set.deleteRecord();
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("CERNY"));
    list.transaction.commitRetaining();
    QCOMPARE(list.fixture.readValue(QStringLiteral("select max(UZI$LOGIN) || count(*) from DB$UZIV")),
             QStringLiteral("CERNY1"));
}

// Another user's committed work is seen by the next statement, so the row
// being edited may be gone by its post.
void DataSetTest::modifyOfARowChangedElsewhere_data()
{
    QTest::addColumn<QString>("otherSql");
    QTest::addColumn<bool>("saved");
    QTest::newRow("deleted") << QStringLiteral("delete from DB$UZIV where UZI$LOGIN = 'NOVAK'") << false;
    QTest::newRow("login changed") << QStringLiteral(
                                          "update DB$UZIV set UZI$LOGIN = 'NOVAK2' where UZI$LOGIN = 'NOVAK'")
                                   << false;
    QTest::newRow("other column changed")
        << QStringLiteral("update DB$UZIV set UZI$JMENO = 'Josef' where UZI$LOGIN = 'NOVAK'") << true;
}

void DataSetTest::modifyOfARowChangedElsewhere()
{
    QFETCH(QString, otherSql);
    QFETCH(bool, saved);
    UsersList list;
    list.readCommitted();
    list.set.open();
    // A change that finds its row still saves, also before and after one that does not.
    QVERIFY(list.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("CERNY")));
    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QStringLiteral("Adam"));
    list.set.post();

    QVERIFY(list.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("NOVAK")));
    list.fixture.execute(otherSql);
    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Nový"));
    if (saved) {
        list.set.post();
        QCOMPARE(list.set.state(), platform::DataSetState::Browse);
    } else {
        try {
            list.set.post();
            QFAIL("a change of a row that is gone passed for saved");
        } catch (const EIBError &error) {
            QFAIL(qPrintable(error.message()));
        } catch (const EDatabaseError &error) {
            QCOMPARE(TranslateException(error),
                     QStringLiteral("Záznam byl mezitím změněn nebo smazán jiným uživatelem."));
        }
        // Nothing of the edit is lost: the user can still correct it or cancel.
        QCOMPARE(list.set.state(), platform::DataSetState::Edit);
        QCOMPARE(list.field(QStringLiteral("UZI$PRIJMENI")), QStringLiteral("Nový"));
        QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("NOVAK"));
        list.set.cancel();
    }
    QVERIFY(list.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("dvorak")));
    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QStringLiteral("Pavel"));
    list.set.post();
    list.transaction.commit();
    QCOMPARE(list.stored(QStringLiteral("UZI$JMENO"), QStringLiteral("CERNY")), QStringLiteral("Adam"));
    QCOMPARE(list.stored(QStringLiteral("UZI$JMENO"), QStringLiteral("dvorak")), QStringLiteral("Pavel"));
    QCOMPARE(list.fixture.readValue(QStringLiteral("select count(*) from DB$UZIV where UZI$PRIJMENI = 'Nový'")),
             saved ? QStringLiteral("1") : QStringLiteral("0"));
}

void DataSetTest::deleteOfARowDeletedElsewhereIsSilent()
{
    UsersList list;
    list.readCommitted();
    list.set.open();
    QVERIFY(list.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("NOVAK")));
    list.fixture.execute(QStringLiteral("delete from DB$UZIV where UZI$LOGIN = 'NOVAK'"));
    // The row is gone, which is what the delete asked for.
    list.set.deleteRecord();
    QCOMPARE(list.set.recordCount(), 2);
    list.transaction.commit();
    QCOMPARE(list.fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("2"));
}

void DataSetTest::cancelUndoesInsertAndEdit()
{
    UsersList list;
    list.set.open();
    list.set.setRecNo(2);
    list.set.insert();
    QCOMPARE(list.set.recNo(), 2);
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("NEW"));
    list.set.cancel();
    QCOMPARE(list.set.recordCount(), 3);
    QCOMPARE(list.field(QStringLiteral("UZI$LOGIN")), QStringLiteral("NOVAK"));

    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Jiný"));
    QCOMPARE(list.set.text(1, 2), QStringLiteral("Jiný"));
    list.set.cancel();
    QCOMPARE(list.field(QStringLiteral("UZI$PRIJMENI")), QStringLiteral("Novák"));
    list.transaction.commitRetaining();
    QCOMPARE(list.fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("3"));
    QCOMPARE(list.stored(QStringLiteral("UZI$PRIJMENI"), QStringLiteral("NOVAK")), QStringLiteral("Novák"));
}

void DataSetTest::duplicateLoginKeepsTheInsertOpen()
{
    UsersList list;
    list.set.open();
    list.set.append();
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("CERNY"));
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(QStringLiteral("Druhý"));
    list.set.fieldByName(QStringLiteral("UZI$PRAVO"))->setAsString(QStringLiteral("R"));
    try {
        list.set.post();
        QFAIL("a duplicate login was posted");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544665);
    }
    QCOMPARE(list.set.state(), platform::DataSetState::Insert);
    QCOMPARE(list.field(QStringLiteral("UZI$PRIJMENI")), QStringLiteral("Druhý"));
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("CERNY2"));
    list.set.post();
    QCOMPARE(list.set.recNo(), 4);
    list.transaction.commitRetaining();
    QCOMPARE(list.stored(QStringLiteral("UZI$PRIJMENI"), QStringLiteral("CERNY2")), QStringLiteral("Druhý"));
}

void DataSetTest::requiredFieldMustHaveAValue()
{
    UsersList list;
    list.set.open();
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setDisplayLabel(QStringLiteral("Příjmení"));
    list.set.insert();
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("X"));
    list.set.fieldByName(QStringLiteral("UZI$PRAVO"))->setAsString(QStringLiteral("R"));
    try {
        list.set.post();
        QFAIL("a NULL required field was posted");
    } catch (const EIBError &) {
        QFAIL("the server was asked");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), QStringLiteral("Field 'Příjmení' must have a value"));
        QCOMPARE(TranslateException(error), QStringLiteral("Údaj 'Příjmení' musí být vyplněn!"));
    }
    // Not required any more: the server's own check refuses the NULL.
    list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->setRequired(false);
    try {
        list.set.post();
        QFAIL("the server accepted a NULL surname");
    } catch (const EIBError &error) {
        QCOMPARE(error.errorCode(), 335544347);
    }
}

void DataSetTest::textIsCutToTheFieldSize()
{
    UsersList list;
    list.set.open();
    list.set.edit();
    const QString password = QStringLiteral("123456789012345678901234567890123456");
    list.set.fieldByName(QStringLiteral("UZI$HESLO"))->setAsString(password);
    list.set.fieldByName(QStringLiteral("UZI$PRAVO"))->setAsString(QStringLiteral("ZA"));
    list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QString(45, QChar(0x0161)));
    QCOMPARE(list.field(QStringLiteral("UZI$HESLO")), password.left(30));
    list.set.post();
    list.transaction.commitRetaining();
    QCOMPARE(list.stored(QStringLiteral("UZI$HESLO"), QStringLiteral("CERNY")), password.left(30));
    QCOMPARE(list.stored(QStringLiteral("UZI$PRAVO"), QStringLiteral("CERNY")), QStringLiteral("Z"));
    QCOMPARE(list.stored(QStringLiteral("UZI$JMENO"), QStringLiteral("CERNY")), QString(40, QChar(0x0161)));
}

void DataSetTest::readOnlyAndNoDeleteQueryErrors()
{
    UsersList list;
    list.set.setInsertSql({});
    list.set.setModifySql({});
    list.set.setDeleteSql({});
    list.set.open();
    // What the data layer raises, and what the user then reads.
    const QString readOnly = QStringLiteral("Cannot modify a read-only dataset");
    const QString translated = QStringLiteral("Data jsou určena pouze pro čtení!");
    try {
        list.set.insert();
        QFAIL("insert without a statement");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), readOnly);
        QCOMPARE(TranslateException(error), translated);
    }
    try {
        list.set.edit();
        QFAIL("edit without a statement");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), readOnly);
        QCOMPARE(TranslateException(error), translated);
    }
    try {
        list.set.deleteRecord();
        QFAIL("delete without a statement");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot delete from dataset. (No delete query)"));
        QCOMPARE(TranslateException(error), translated);
    }
    QCOMPARE(list.set.recordCount(), 3);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                             list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QStringLiteral("x")));
}

void DataSetTest::nullValues()
{
    UsersList list;
    list.set.open();
    const platform::Field *heslo = list.set.fieldByName(QStringLiteral("UZI$HESLO"));
    QVERIFY(heslo->isNull());
    QCOMPARE(heslo->asString(), QString());
    QVERIFY(list.set.isNull(0, 1));
    list.set.edit();
    list.set.fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(QString());
    QVERIFY(!list.set.fieldByName(QStringLiteral("UZI$JMENO"))->isNull());
    list.set.post();
    list.transaction.commitRetaining();
    QCOMPARE(list.stored(QStringLiteral("UZI$JMENO"), QStringLiteral("CERNY")), QString());
    QCOMPARE(list.stored(QStringLiteral("UZI$HESLO"), QStringLiteral("CERNY")), QStringLiteral("<NULL>"));
}

void DataSetTest::originIsQuotedByDialect_data()
{
    QTest::addColumn<int>("dialect");
    QTest::addColumn<QString>("origin");
    QTest::newRow("dialect 3") << 3 << QStringLiteral("\"DB$UZIV\".\"UZI$LOGIN\"");
    QTest::newRow("dialect 1") << 1 << QStringLiteral("DB$UZIV.UZI$LOGIN");
}

void DataSetTest::originIsQuotedByDialect()
{
    QFETCH(int, dialect);
    QFETCH(QString, origin);
    UsersList list(Access::Tcp, dialect);
    list.set.setSelectSql({QStringLiteral("select UZI$LOGIN as KDO, upper(UZI$JMENO) as VELKE from DB$UZIV")});
    list.set.open();
    QCOMPARE(list.set.fieldByName(QStringLiteral("KDO"))->origin(), origin);
    QCOMPARE(list.set.fieldByName(QStringLiteral("VELKE"))->origin(), QString());
}

void DataSetTest::locate_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<platform::LocateOptions>("options");
    QTest::addColumn<int>("recNo"); // 0: not found, the current row stays
    const platform::LocateOptions none;
    const platform::LocateOptions both = LocateOption::CaseInsensitive | LocateOption::PartialKey;
    QTest::newRow("exact") << "UZI$LOGIN"
                           << "NOVAK" << none << 3;
    QTest::newRow("exact is case-sensitive") << "UZI$LOGIN"
                                             << "novak" << none << 0;
    QTest::newRow("exact is whole") << "UZI$LOGIN"
                                    << "NOV" << none << 0;
    QTest::newRow("case-insensitive") << "UZI$LOGIN"
                                      << "Dvorak" << platform::LocateOptions(LocateOption::CaseInsensitive) << 2;
    QTest::newRow("partial") << "UZI$LOGIN"
                             << "NOV" << platform::LocateOptions(LocateOption::PartialKey) << 3;
    QTest::newRow("partial is case-sensitive") << "UZI$LOGIN"
                                               << "dv" << platform::LocateOptions(LocateOption::PartialKey) << 2;
    QTest::newRow("partial, case-insensitive, diacritics") << "UZI$PRIJMENI"
                                                           << "čer" << both << 1;
    QTest::newRow("both, first match from the top") << "UZI$PRIJMENI"
                                                    << "" << both << 1;
    QTest::newRow("no match") << "UZI$PRIJMENI"
                              << "x" << both << 0;
    QTest::newRow("NULL matches nothing exactly") << "UZI$JMENO"
                                                  << "Jan" << none << 3;
    QTest::newRow("fixed-length text, case-insensitive")
        << "UZI$PRAVO"
        << "z" << platform::LocateOptions(LocateOption::CaseInsensitive) << 2;
    QTest::newRow("key longer than the value") << "UZI$PRAVO"
                                               << "RR" << both << 0;
    QTest::newRow("upper case key, lower case value, exact") << "UZI$JMENO"
                                                             << "PETR" << none << 0;
}

void DataSetTest::locate()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(platform::LocateOptions, options);
    QFETCH(int, recNo);
    UsersList list;
    list.set.open(); // CERNY, dvorak, NOVAK: "dvorak" sorts after upper case
    list.set.setSelectLine(1, QStringLiteral("order by upper(UZI$LOGIN)"));
    list.set.close();
    list.set.open();
    list.set.setRecNo(2);
    QCOMPARE(list.set.locate(field, value, options), recNo != 0);
    QCOMPARE(list.set.recNo(), recNo != 0 ? recNo : 2);
}

void DataSetTest::locateOnANumberComparesText()
{
    UsersList list;
    list.set.setSelectSql({QStringLiteral("select UZI$LOGIN, char_length(UZI$PRIJMENI) as DELKA from DB$UZIV "
                                          "order by UZI$LOGIN")});
    list.set.open();
    QCOMPARE(list.set.fieldByName(QStringLiteral("DELKA"))->dataType(), platform::ftInteger);
    // CERNY and NOVAK have five letters, dvorak six; partial key does not apply.
    QVERIFY(list.set.locate(QStringLiteral("DELKA"), QStringLiteral("6"), LocateOption::PartialKey));
    QCOMPARE(list.set.recNo(), 3);
    QVERIFY(!list.set.locate(QStringLiteral("DELKA"), QStringLiteral("06")));
    QVERIFY(!list.set.locate(QStringLiteral("DELKA"), QStringLiteral(""), LocateOption::PartialKey));
    QCOMPARE(list.set.recNo(), 3);
    QVERIFY(list.set.locate(QStringLiteral("DELKA"), QStringLiteral("5")));
    QCOMPARE(list.set.recNo(), 1);
    // Only the value's own digits are equal text: no sign, blank or zero in front.
    for (const char *other : {"+6", " 6", "6 ", "006", "6.0", "x"})
        QVERIFY2(!list.set.locate(QStringLiteral("DELKA"), QString::fromLatin1(other)), other);
    QCOMPARE(list.set.recNo(), 1);
}

void DataSetTest::locateOnANullNumberMatchesEmptyText()
{
    UsersList list;
    list.set.setSelectSql({QStringLiteral("select UZI$LOGIN, char_length(UZI$JMENO) as DELKA from DB$UZIV "
                                          "order by UZI$LOGIN desc")});
    list.set.open(); // dvorak 4, NOVAK 3, CERNY NULL
    QVERIFY(list.set.locate(QStringLiteral("DELKA"), QString()));
    QCOMPARE(list.set.recNo(), 3);
    QVERIFY(list.set.locate(QStringLiteral("DELKA"), QStringLiteral("3")));
    QCOMPARE(list.set.recNo(), 2);
}

// A character set of several bytes per character is compared as text too.
void DataSetTest::locateOverAUtf8Connection()
{
    UsersList list;
    list.database->close();
    QStringList params = DbFixture::connectionParams();
    params.replaceInStrings(QStringLiteral("lc_ctype=WIN1250"), QStringLiteral("lc_ctype=UTF8"));
    list.database->setParams(params);
    list.database->open();
    list.transaction.start();
    list.set.open(); // CERNY, NOVAK, dvorak
    const auto both = LocateOption::CaseInsensitive | LocateOption::PartialKey;
    QVERIFY(list.set.locate(QStringLiteral("UZI$PRIJMENI"), QStringLiteral("DVOŘ"), both));
    QCOMPARE(list.set.recNo(), 3);
    QVERIFY(list.set.locate(QStringLiteral("UZI$PRAVO"), QStringLiteral("r"), LocateOption::CaseInsensitive));
    QCOMPARE(list.set.recNo(), 1);
    QVERIFY(!list.set.locate(QStringLiteral("UZI$PRIJMENI"), QStringLiteral("dvoř")));
}

void DataSetTest::fieldDefinitionsSurviveReopen()
{
    UsersList list;
    platform::Field *login = list.set.addField(QStringLiteral("UZI$LOGIN"));
    login->setDisplayLabel(QStringLiteral("Přihlašovací jméno"));
    platform::Field *jmeno = list.set.addField(QStringLiteral("UZI$JMENO"));
    jmeno->setRequired(true);
    for (int run = 0; run < 2; ++run) {
        list.set.open();
        QCOMPARE(list.set.fieldByName(QStringLiteral("UZI$LOGIN")), login);
        QCOMPARE(login->displayLabel(), QStringLiteral("Přihlašovací jméno"));
        QCOMPARE(login->index(), 0);
        QVERIFY(jmeno->required());
        QCOMPARE(list.set.fieldByName(QStringLiteral("UZI$PRIJMENI"))->displayLabel(), QStringLiteral("UZI$PRIJMENI"));
        list.set.close();
    }
}

void DataSetTest::disabledControlsNotifyOnceOnLastEnable()
{
    UsersList list;
    list.set.open();
    QSignalSpy scrolls(&list.set, &DataSet::afterScroll);
    QSignalSpy resets(&list.set, &DataSet::rowsReset);
    QSignalSpy current(&list.set, &DataSet::currentRowChanged);
    list.set.disableControls();
    list.set.disableControls();
    list.set.next();
    list.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("dvorak"));
    list.set.enableControls();
    QCOMPARE(scrolls.size(), 0);
    QCOMPARE(resets.size(), 0);
    list.set.enableControls();
    QCOMPARE(scrolls.size(), 1);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(current.size(), 1);
    QCOMPARE(current.first().first().toInt(), 2);
    list.set.enableControls();
    QCOMPARE(scrolls.size(), 1);
}

void DataSetTest::notificationsFollowChanges()
{
    UsersList list;
    QSignalSpy resets(&list.set, &DataSet::rowsReset);
    QSignalSpy inserted(&list.set, &DataSet::rowInserted);
    QSignalSpy removed(&list.set, &DataSet::rowRemoved);
    QSignalSpy changed(&list.set, &DataSet::rowChanged);
    QSignalSpy scrolls(&list.set, &DataSet::afterScroll);
    list.set.open();
    QCOMPARE(resets.size(), 1);
    list.set.next();
    list.set.next();
    list.set.next(); // at the end: no move, no notification
    QCOMPARE(scrolls.size(), 3);
    list.set.insert();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().first().toInt(), 2);
    QCOMPARE(scrolls.size(), 4);
    list.set.fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(QStringLiteral("Z"));
    QCOMPARE(changed.size(), 1);
    list.set.cancel();
    QCOMPARE(removed.size(), 1);
    list.set.deleteRecord();
    QCOMPARE(removed.size(), 2);
    list.set.close();
    QCOMPARE(resets.size(), 2);
}

void DataSetTest::openNeedsAnActiveTransaction()
{
    UsersList list;
    list.transaction.commit();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, list.set.open());
    QVERIFY(!list.transaction.inTransaction());
    QVERIFY(!list.set.active());
}

QTEST_GUILESS_MAIN(DataSetTest)
#include "tst_DataSet.moc"
