// The user list over 100,000 users: from ShowUserList until the list is
// painted, and until it is closed again (its transaction committed). Prints
// the median of five runs and each run.

#include "DbFixture.h"
#include "Median.h"
#include "TestEnvironment.h"
#include "UsersTableSchema.h"
#include "db/Database.h"
#include "db/FbClient.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "fUziv_s.h"
#include "ui/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <vector>

namespace {

constexpr int kUsers = 100000;
constexpr int kRuns = 5;

void createUsers(platform::Database &database)
{
    platform::Query query;
    query.setDatabase(&database);
    query.setSql(UsersTableSchema());
    query.execQuery();
    database.defaultTransaction()->commitRetaining();
    query.setSql(QStringLiteral("execute block as declare n integer = 0; begin while (n < %1) do begin "
                                "insert into DB$UZIV (UZI$LOGIN, UZI$HESLO, UZI$PRIJMENI, UZI$JMENO, UZI$PRAVO) "
                                "values ('UZIVATEL' || :n, '123045067', 'Příjmení ' || :n, 'Jméno', "
                                "substring('RZA' from mod(:n, 3) + 1 for 1)); n = n + 1; end end")
                     .arg(kUsers));
    query.execQuery();
    database.defaultTransaction()->commitRetaining();
}

struct Run {
    double painted = 0;
    double closed = 0;
};

// One ShowUserList: a poller waits for the list to be exposed, paints it at
// once and closes it.
Run showListOnce(platform::Database &database)
{
    Run run;
    QElapsedTimer timer;
    QTimer poller;
    poller.setInterval(0);
    QObject::connect(&poller, &QTimer::timeout, [&] {
        auto *list = qobject_cast<TfrmUziv_s *>(QApplication::activeModalWidget());
        if (!list || !list->windowHandle() || !list->windowHandle()->isExposed())
            return;
        poller.stop();
        list->repaint();
        run.painted = double(timer.nsecsElapsed()) / 1e6;
        list->close();
    });
    timer.start();
    poller.start();
    ShowUserList(&database);
    run.closed = double(timer.nsecsElapsed()) / 1e6;
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    platform::Application app(argc, argv);
    const QString path = testsupport::firebirdDir() + QStringLiteral("/db/bench_userlist.fdb");
    QFile::remove(path);
    const QString name = QStringLiteral("localhost:") + path;
    platform::createDatabase(name, QStringLiteral("SYSDBA"), testsupport::sysdbaPassword());

    platform::Database database;
    database.setDatabaseName(name);
    database.setParams(testsupport::DbFixture::connectionParams());
    auto *transaction = new platform::Transaction(&database);
    transaction->setDefaultDatabase(&database);
    database.setDefaultTransaction(transaction);
    database.open();
    transaction->start();
    createUsers(database);

    std::vector<double> painted, closed;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = showListOnce(database);
        painted.push_back(run.painted);
        closed.push_back(run.closed);
        std::printf("run %d: painted after %.1f ms, closed after %.1f ms\n", i + 1, run.painted, run.closed);
    }
    std::printf("user list over %d users, median of %d: painted after %.1f ms (goal under 500 ms), "
                "closed after %.1f ms\n",
                kUsers, kRuns, median(painted), median(closed));

    database.close();
    QFile::remove(path);
    return 0;
}
