#include "DbFixture.h"
#include "ErrorTranslation.h"
#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QTest>

#include <optional>

using testsupport::DbFixture;

// Real failures of the private server, as the data layer raises them,
// through the translation.
class tst_ServerErrorTranslation : public QObject {
    Q_OBJECT

    std::optional<DbFixture> db_;

    static void run(platform::Database &database, const QString &sql)
    {
        platform::Query query;
        query.setDatabase(&database);
        query.setSql(sql);
        query.execQuery();
    }

    // The translation of the failure that the statement raises.
    QString translatedFailure(const QString &sql)
    {
        try {
            db_->execute(sql);
        } catch (const EIBError &e) {
            return TranslateException(e);
        }
        return QStringLiteral("no failure");
    }

private slots:
    void initTestCase()
    {
        db_.emplace(QStringLiteral("errors"));
        db_->execute(QStringLiteral("create table STAT (ID integer not null, constraint PK_STAT primary key (ID))"));
        db_->execute(QStringLiteral("create table SUBJEKT (ID integer not null, STAT_ID integer, ICO varchar(10), "
                                    "PROVOZ integer, constraint PK_SUB primary key (ID), "
                                    "constraint FK_SUB_STA foreign key (STAT_ID) references STAT (ID))"));
        db_->execute(QStringLiteral("create unique index IDX_SUB_PRO on SUBJEKT (ICO, PROVOZ)"));
        db_->execute(QStringLiteral("insert into SUBJEKT (ID, ICO, PROVOZ) values (1, '123', 1)"));
    }

    void duplicateKeyNamesTableAndConstraint()
    {
        QCOMPARE(translatedFailure(QStringLiteral("insert into SUBJEKT (ID) values (1)")),
                 QStringLiteral("Pokus o uložení duplicitního záznamu v tabulce \"Subjekty\" !\r\n\r\n"
                                "(chyba: \"PK_SUB\")"));
    }

    // Firebird 3 names the column with its table, both quoted: the box shows
    // the column alone, inside its own quotes.
    void missingRequiredValueNamesColumn()
    {
        QCOMPARE(translatedFailure(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRAVO) values ('NOVAK', 'A')")),
                 QStringLiteral("Chybně vyplněný údaj \"UZI$PRIJMENI\" !"));
    }

    void missingParentNamesDependency()
    {
        QCOMPARE(translatedFailure(QStringLiteral("insert into SUBJEKT (ID, STAT_ID) values (2, 5)")),
                 QStringLiteral("Porušení závislosti na jiné tabulce v tabulce \"Subjekty\" !\r\n\r\n"
                                "(závislost: \"Kód státu musí existovat v číselníku států\")"));
    }

    void duplicateInUniqueIndexNamesIndex()
    {
        QCOMPARE(translatedFailure(QStringLiteral("insert into SUBJEKT (ID, ICO, PROVOZ) values (3, '123', 1)")),
                 QStringLiteral("Pokus o uložení duplicitní hodnoty.\r\n\r\n(chyba: \"Subjekty nesmí obsahovat 2 "
                                "záznamy se stejnými údaji IČ a provoz\")"));
    }

    void lockedRow()
    {
        const QStringList noWait{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                 QStringLiteral("nowait")};
        auto first = db_->openConnection(noWait);
        auto second = db_->openConnection(noWait);
        run(*first, QStringLiteral("update SUBJEKT set PROVOZ = 2 where ID = 1"));
        try {
            run(*second, QStringLiteral("update SUBJEKT set PROVOZ = 3 where ID = 1"));
            QFAIL("no lock conflict");
        } catch (const EIBError &e) {
            QCOMPARE(TranslateException(e), QStringLiteral("Věta je uzamčena jiným uživatelem!"));
        }
        first->defaultTransaction()->rollback();
    }

    void wrongPassword()
    {
        platform::Database database;
        database.setDatabaseName(db_->databaseName());
        database.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=wrong")});
        try {
            database.open();
            QFAIL("opened with a wrong password");
        } catch (const EIBError &e) {
            QCOMPARE(ComposeErrorMessage(QStringLiteral("Chyba připojení k databázi!"), e),
                     QStringLiteral("Chyba připojení k databázi!\r\n\r\nPřihlašovací jméno a heslo nejsou "
                                    "definovány v seznamu uživatelů. Kontaktujte správce databáze!"));
        }
    }

    void missingRightsNameTable()
    {
        const QString user = QStringLiteral("ZT_ERR_%1").arg(QCoreApplication::applicationPid());
        db_->execute(QStringLiteral("create or alter user %1 password 'heslo1'").arg(user));
        platform::Database database;
        database.setDatabaseName(db_->databaseName());
        database.setParams({QStringLiteral("user_name=") + user, QStringLiteral("password=heslo1")});
        database.setDefaultTransaction(new platform::Transaction(&database));
        database.open();
        database.defaultTransaction()->start();
        try {
            run(database, QStringLiteral("select ID from SUBJEKT"));
            QFAIL("read without rights");
        } catch (const EIBError &e) {
            const QString translation = TranslateException(e);
            QVERIFY2(translation.startsWith(QStringLiteral("Pro vybranou akci nemáte nastavena práva! Kontaktujte "
                                                           "správce databáze!\r\nTabulka: Subjekty\r\n\r\n")),
                     qPrintable(translation));
            QVERIFY(translation.endsWith(e.message()));
        }
        database.close();
        db_->execute(QStringLiteral("drop user %1").arg(user));
    }

    void unknownStatementShowsServerText()
    {
        try {
            db_->execute(QStringLiteral("select * from NEEXISTUJE"));
            QFAIL("no failure");
        } catch (const EIBError &e) {
            const QString translation = TranslateException(e);
            QVERIFY2(translation.startsWith(QStringLiteral("Chyba v databázi:\r\n\r\n")), qPrintable(translation));
            QVERIFY2(translation.contains(QStringLiteral("NEEXISTUJE")), qPrintable(translation));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ServerErrorTranslation)
#include "tst_ServerErrorTranslation.moc"
