// The editable data set against the client's bare fetch loop: 100,000 rows
// of DB$UZIV, embedded and over TCP. Prints figures; asserts nothing.

#include "DbFixture.h"
#include "Median.h"
#include "TestEnvironment.h"
#include "UsersTableSchema.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/FbClient.h"
#include "db/PlainFetch.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <vector>

using namespace platform;

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;
const QString kSelect = QStringLiteral("select * from DB$UZIV");

void run(Database &database, const QString &sql)
{
    Query query;
    query.setDatabase(&database);
    query.setSql(sql);
    query.execQuery();
}

void fill(Database &database)
{
    run(database, UsersTableSchema());
    database.defaultTransaction()->commitRetaining();
    run(database, QStringLiteral("execute block as declare i integer = 0; begin "
                                 "while (i < %1) do begin "
                                 "insert into DB$UZIV values ('UZIVATEL' || lpad(:i, 6, '0'), '123456789', "
                                 "'Příjmení ' || :i, 'Jméno', 'uzivatel@firma.cz', 'Z', 'Poznámka k uživateli'); "
                                 "i = i + 1; end end")
                      .arg(kRows));
    database.defaultTransaction()->commitRetaining();
}

void measure(const char *label, const QString &databaseName)
{
    QFile::remove(databaseName.section(QLatin1Char(':'), -1));
    createDatabase(databaseName, QStringLiteral("SYSDBA"), testsupport::sysdbaPassword());
    Database database;
    Transaction transaction;
    database.setDatabaseName(databaseName);
    database.setParams(testsupport::DbFixture::connectionParams());
    database.setDefaultTransaction(&transaction);
    database.open();
    transaction.start();
    fill(database);

    std::vector<double> plain, dataSet, locate;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        const qint64 rows = fetchAllRowsPlain(transaction, kSelect);
        plain.push_back(double(timer.nsecsElapsed()) / 1e9);
        if (rows != kRows)
            std::printf("plain loop fetched %lld rows\n", static_cast<long long>(rows));

        DataSet set;
        set.setDatabase(&database);
        set.setTransaction(&transaction);
        set.setSelectSql({kSelect});
        timer.restart();
        set.open();
        int walked = 0;
        for (set.first(); !set.eof(); set.next())
            ++walked;
        dataSet.push_back(double(timer.nsecsElapsed()) / 1e9);
        if (walked != kRows)
            std::printf("data set walked %d rows\n", walked);

        set.first();
        timer.restart();
        set.locate(QStringLiteral("UZI$LOGIN"), QStringLiteral("UZIVATEL%1").arg(kRows - 1, 6, 10, QLatin1Char('0')));
        locate.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    const double plainRate = kRows / median(plain);
    const double setRate = kRows / median(dataSet);
    std::printf("%-8s plain fetch: %9.0f rows/s (%.3f s) | data set open+walk: %9.0f rows/s (%.3f s) | ratio %.2f | "
                "locate of the last row: %.1f ms\n",
                label, plainRate, median(plain), setRate, median(dataSet), setRate / plainRate, median(locate) * 1e3);
    database.close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = testsupport::firebirdDir() + QStringLiteral("/db");
    QDir().mkpath(dir);
    std::printf("%d rows, median of %d runs\n", kRows, kRuns);
    measure("embedded", dir + QStringLiteral("/bench-dataset-embedded.fdb"));
    measure("tcp", QStringLiteral("localhost:") + dir + QStringLiteral("/bench-dataset-tcp.fdb"));
    return 0;
}
