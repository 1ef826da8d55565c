#pragma once

// A grid in a window of its own over a real DB$UZIV with Czech names, and
// over a second table with an integer column. The database is made once per
// test program; each test gets a fresh data set and grid.

#include "ADBGrid.h"
#include "DataSource.h"
#include "DbFixture.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Field.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <memory>

struct GridUser {
    QString login;
    QString prijmeni;
    QString jmeno;
};

// In the order of insertion, which is the order of a select without ORDER BY.
inline const QList<GridUser> &gridUsers()
{
    static const QList<GridUser> users = {
        {QStringLiteral("NOVAK"), QStringLiteral("Novák"), QStringLiteral("Jan")},
        {QStringLiteral("DVORAK"), QStringLiteral("Dvořák"), QStringLiteral("Petr")},
        {QStringLiteral("CERNY"), QStringLiteral("Černý"), QStringLiteral("Karel")},
        {QStringLiteral("SVOBODOVA"), QStringLiteral("Svobodová"), QStringLiteral("Jana")},
        {QStringLiteral("RUZICKA"), QStringLiteral("Růžička"), QStringLiteral("Tomáš")},
        {QStringLiteral("PROCHAZKOVA"), QStringLiteral("Procházková"), QStringLiteral("Věra")},
    };
    return users;
}

// GRID$CISLA.ID in the order of insertion.
inline const QList<int> &gridNumbers()
{
    static const QList<int> numbers = {5, 12, 1, 7, 0, 120};
    return numbers;
}

inline const QString kUsersSelect = QStringLiteral("select * from DB$UZIV");

class GridDatabase {
public:
    explicit GridDatabase(int dialect = 3) : db(QStringLiteral("grid"), testsupport::Access::Tcp, dialect)
    {
        db.execute(QStringLiteral("create table GRID$CISLA (ID integer not null, NAZEV varchar(20))"));
        connection = db.openConnection();
        platform::Query query;
        query.setDatabase(connection.get());
        for (const GridUser &user : gridUsers()) {
            query.setSql(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$JMENO, UZI$PRAVO) "
                                        "values ('%1', '%2', '%3', 'A')")
                             .arg(user.login, user.prijmeni, user.jmeno));
            query.execQuery();
        }
        for (int number : gridNumbers()) {
            query.setSql(QStringLiteral("insert into GRID$CISLA (ID, NAZEV) values (%1, 'č. %1')").arg(number));
            query.execQuery();
        }
        connection->defaultTransaction()->commitRetaining();
    }

    // The first login the server gives for that order.
    QString firstLogin(const QString &orderBy) const
    {
        return db.readValue(QStringLiteral("select first 1 UZI$LOGIN from DB$UZIV order by ") + orderBy).value();
    }

    testsupport::DbFixture db;
    std::unique_ptr<platform::Database> connection;
};

class GridUnderTest {
public:
    explicit GridUnderTest(platform::Database *connection)
    {
        dataSet.setDatabase(connection);
        dataSet.setTransaction(connection->defaultTransaction());
        source.SetDataSet(&dataSet);
        window.resize(600, 400);
        grid = new TADBGrid(&window);
        grid->SetDataSource(&source);
        grid->setGeometry(10, 10, 500, 300);
    }

    // The user list's three columns, titled by the fields' display labels.
    void openUsers(const QStringList &select = {kUsersSelect})
    {
        dataSet.addField(QStringLiteral("UZI$LOGIN"))->setDisplayLabel(QStringLiteral("Přihlašovací jméno"));
        dataSet.addField(QStringLiteral("UZI$PRIJMENI"))->setDisplayLabel(QStringLiteral("Příjmení"));
        dataSet.addField(QStringLiteral("UZI$JMENO"))->setDisplayLabel(QStringLiteral("Jméno"));
        grid->AddColumn(QStringLiteral("UZI$LOGIN"), 107);
        grid->AddColumn(QStringLiteral("UZI$PRIJMENI"), 134);
        grid->AddColumn(QStringLiteral("UZI$JMENO"), 138);
        dataSet.setSelectSql(select);
        dataSet.open();
    }

    void openNumbers()
    {
        grid->AddColumn(QStringLiteral("ID"), 80);
        grid->AddColumn(QStringLiteral("NAZEV"), 160);
        dataSet.setSelectText(QStringLiteral("select * from GRID$CISLA"));
        dataSet.open();
    }

    void show()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        grid->setFocus();
        QVERIFY(QTest::qWaitFor([this] { return grid->hasFocus(); }));
    }

    // Makes ClientWidth() exactly that, without fitting on the way.
    void setClientWidth(int width)
    {
        grid->BeginUpdate();
        for (int attempt = 0; attempt < 3 && grid->ClientWidth() != width; ++attempt) {
            grid->resize(grid->width() + width - grid->ClientWidth(), grid->height());
            QCoreApplication::processEvents();
        }
        grid->EndUpdate();
    }

    void clickTitle(int column)
    {
        QHeaderView *titles = grid->horizontalHeader();
        const QPoint centre(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2,
                            titles->height() / 2);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, centre);
    }

    void clickCell(int row, int column)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, column)).center());
    }

    QString currentLogin() const { return dataSet.fieldByName(QStringLiteral("UZI$LOGIN"))->asString(); }
    int currentNumber() const { return dataSet.fieldByName(QStringLiteral("ID"))->asInteger(); }

    platform::DataSet dataSet;
    TDataSource source;
    QWidget window; // destroyed first: the grid goes before its data set
    TADBGrid *grid;
};
