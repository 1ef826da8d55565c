// The users table's data set: what its statements write and refuse, its
// fields, and the status texts of the right letters.

#include "DbFixture.h"
#include "TestMain.h"
#include "UsersSet.h"
#include "UsersTable.h"
#include "base/Exceptions.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Field.h"
#include "db/Transaction.h"

using testsupport::Access;
using testsupport::DbFixture;

namespace {

const QString kSelectColumns = QStringLiteral("select UZI$LOGIN || '|' || coalesce(UZI$HESLO, '<null>') || '|' || "
                                              "UZI$PRIJMENI || '|' || coalesce(UZI$JMENO, '<null>') || '|' || "
                                              "coalesce(UZI$EMAIL, '<null>') || '|' || UZI$PRAVO || '|' || "
                                              "coalesce(UZI$POZN, '<null>') from DB$UZIV where UZI$LOGIN = '%1'");

} // namespace

class TestUsersTable : public QObject {
    Q_OBJECT

private slots:
    void fieldsCarryLabelsAndRequiredFlags()
    {
        DbFixture fixture(QStringLiteral("users-fields"));
        UsersSet users(fixture);
        struct Expected {
            const char *name;
            QString label;
            bool required;
            int size;
        };
        const Expected expected[] = {
            {"UZI$LOGIN", QStringLiteral("Přihlašovací jméno"), true, 40},
            {"UZI$HESLO", QStringLiteral("UZI$HESLO"), false, 30},
            {"UZI$PRIJMENI", QStringLiteral("Příjmení"), true, 40},
            {"UZI$JMENO", QStringLiteral("Jméno"), false, 40},
            {"UZI$EMAIL", QStringLiteral("UZI$EMAIL"), false, 40},
            {"UZI$PRAVO", QStringLiteral("UZI$PRAVO"), true, 1},
            {"UZI$POZN", QStringLiteral("UZI$POZN"), false, 160},
        };
        QCOMPARE(users.set.fieldCount(), int(std::size(expected)));
        for (int i = 0; i < users.set.fieldCount(); ++i) {
            const platform::Field *field = users.set.field(i);
            QCOMPARE(field->fieldName(), QString::fromLatin1(expected[i].name));
            QCOMPARE(field->displayLabel(), expected[i].label);
            QCOMPARE(field->required(), expected[i].required);
            QCOMPARE(field->size(), expected[i].size);
        }
    }

    void insertedRowIsStoredWithNullsInUntouchedColumns_data()
    {
        QTest::addColumn<Access>("access");
        QTest::newRow("server over TCP") << Access::Tcp;
        QTest::newRow("embedded engine") << Access::Embedded;
    }
    void insertedRowIsStoredWithNullsInUntouchedColumns()
    {
        QFETCH(Access, access);
        DbFixture fixture(QStringLiteral("users-insert"), access);
        {
            UsersSet users(fixture);
            users.set.insert();
            users.write("UZI$LOGIN", QStringLiteral("NOVAK"));
            users.write("UZI$PRIJMENI", QStringLiteral("Novák"));
            users.write("UZI$PRAVO", QStringLiteral("Z"));
            users.set.post();
            QCOMPARE(users.set.state(), platform::DataSetState::Browse);
            QCOMPARE(users.set.fieldByName(QStringLiteral("UZI$LOGIN"))->asString(), QStringLiteral("NOVAK"));
            users.commit();
        }
        QCOMPARE(fixture.readValue(kSelectColumns.arg(QStringLiteral("NOVAK"))),
                 QStringLiteral("NOVAK|<null>|Novák|<null>|<null>|Z|<null>"));
    }

    void changedRowKeepsTheColumnsTheProgramDoesNotEdit()
    {
        DbFixture fixture(QStringLiteral("users-modify"));
        fixture.addUser(QStringLiteral("DVORAK"), QStringLiteral("123"), QStringLiteral("Dvořák"),
                        QStringLiteral("Jan"), QStringLiteral("A"), QStringLiteral("jan@example.cz"),
                        QStringLiteral("poznámka"));
        {
            UsersSet users(fixture);
            users.set.edit();
            // The login itself changes: the row is found by its old login.
            users.write("UZI$LOGIN", QStringLiteral("DVORSKY"));
            users.write("UZI$JMENO", QStringLiteral("Petr"));
            users.set.post();
            users.commit();
        }
        QCOMPARE(fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")), QStringLiteral("1"));
        QCOMPARE(fixture.readValue(kSelectColumns.arg(QStringLiteral("DVORSKY"))),
                 QStringLiteral("DVORSKY|123|Dvořák|Petr|jan@example.cz|A|poznámka"));
    }

    void deleteRemovesOnlyTheCurrentRow()
    {
        DbFixture fixture(QStringLiteral("users-delete"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("CAPEK"), std::nullopt, QStringLiteral("Čapek"));
        {
            UsersSet users(fixture);
            QVERIFY(users.set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("CAPEK")));
            users.set.deleteRecord();
            users.commit();
        }
        QCOMPARE(fixture.readValue(QStringLiteral("select cast(list(UZI$LOGIN) as varchar(200)) from DB$UZIV")),
                 QStringLiteral("BENES"));
    }

    void passwordTextIsCutToThirtyCharacters()
    {
        DbFixture fixture(QStringLiteral("users-cut"));
        {
            UsersSet users(fixture);
            users.set.insert();
            users.write("UZI$LOGIN", QStringLiteral("DLOUHY"));
            users.write("UZI$HESLO", QString(60, QLatin1Char('7')));
            users.write("UZI$PRIJMENI", QStringLiteral("Dlouhý"));
            users.write("UZI$PRAVO", QStringLiteral("R"));
            users.set.post();
            users.commit();
        }
        QCOMPARE(fixture.readValue(QStringLiteral("select UZI$HESLO from DB$UZIV")), QString(30, QLatin1Char('7')));
    }

    void secondRowWithTheSameLoginIsRefusedByTheServer()
    {
        DbFixture fixture(QStringLiteral("users-duplicate"));
        fixture.addUser(QStringLiteral("DVORAK"), std::nullopt, QStringLiteral("Dvořák"));
        UsersSet users(fixture);
        users.set.insert();
        users.write("UZI$LOGIN", QStringLiteral("DVORAK"));
        users.write("UZI$PRIJMENI", QStringLiteral("Jiný"));
        users.write("UZI$PRAVO", QStringLiteral("R"));
        try {
            users.set.post();
            QFAIL("the duplicate login was stored");
        } catch (const EIBError &error) {
            QCOMPARE(error.errorCode(), 335544665);
        }
        QCOMPARE(users.set.state(), platform::DataSetState::Insert);
    }

    void rightLettersHaveTheirStatusTexts_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("text"); // empty: no text
        QTest::newRow("read only") << "R"
                                   << "JEN ČTENÍ";
        QTest::newRow("write") << "Z"
                               << "ZÁPIS";
        QTest::newRow("administrator") << "A"
                                       << "ADMINISTRÁTOR";
        QTest::newRow("lower case") << "a"
                                    << "";
        QTest::newRow("other letter") << "X"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void rightLettersHaveTheirStatusTexts()
    {
        QFETCH(QString, letter);
        QFETCH(QString, text);
        QCOMPARE(RightStatusText(letter).value_or(QString()), text);
    }
};

ZELO_TEST_MAIN(TestUsersTable)
#include "tst_UsersTable.moc"
