// The data grid over 100,000 users: open and first paint, a sort by a title
// click, one incremental-search key that lands near the end, and a full-text
// scan that finds nothing. Prints each time and the peak memory.

#include "ADBGrid.h"
#include "DataSource.h"
#include "DbFixture.h"
#include "TestEnvironment.h"
#include "UsersTableSchema.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/FbClient.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "ui/Application.h"
#include "ui/Keys.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWindow>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kUsers = 100000;
// Surnames beginning with "Ž" sort after every other one in the code page.
constexpr int kLastUsers = 10;

void execute(platform::Database &database, const QString &sql)
{
    platform::Query query;
    query.setDatabase(&database);
    query.setSql(sql);
    query.execQuery();
    database.defaultTransaction()->commitRetaining();
}

void fillUsers(platform::Database &database)
{
    execute(database, UsersTableSchema());
    execute(database, QStringLiteral("execute block as declare i integer = 0; begin "
                                     "while (i < %1) do begin "
                                     "insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$JMENO, UZI$PRAVO) values "
                                     "('USER' || lpad(:i, 6, '0'), "
                                     "iif(:i >= %2, 'Žák ', 'Novák ') || lpad(mod(:i * 7919, %1), 6, '0'), "
                                     "'Jiří', 'Z'); "
                                     "i = i + 1; end end")
                          .arg(kUsers)
                          .arg(kUsers - kLastUsers));
}

// Shows the window and handles events until it can be painted.
void showAndWait(QWidget &window)
{
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (waited.elapsed() > 5000)
            qFatal("the window was not shown");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

double milliseconds(QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    platform::Application app(argc, argv);
    const QString path = testsupport::firebirdDir() + QStringLiteral("/db/bench_grid.fdb");
    QFile::remove(path);
    const QString name = QStringLiteral("localhost:") + path;
    platform::createDatabase(name, QStringLiteral("SYSDBA"), testsupport::sysdbaPassword());

    platform::Database database;
    database.setDatabaseName(name);
    database.setParams(testsupport::DbFixture::connectionParams());
    platform::Transaction transaction;
    transaction.setDefaultDatabase(&database);
    database.setDefaultTransaction(&transaction);
    database.open();
    transaction.start();
    fillUsers(database);

    platform::DataSet users;
    users.setDatabase(&database);
    users.setSelectText(QStringLiteral("select * from DB$UZIV"));
    TDataSource source;
    source.SetDataSet(&users);
    QWidget window;
    window.resize(420, 320);
    TADBGrid grid(&window);
    grid.setGeometry(0, 0, 400 + 2 * grid.frameWidth(), 300);
    grid.SetDataSource(&source);
    grid.AddColumn(QStringLiteral("UZI$LOGIN"), 107);
    grid.AddColumn(QStringLiteral("UZI$PRIJMENI"), 134);
    grid.AddColumn(QStringLiteral("UZI$JMENO"), 138);

    QElapsedTimer timer;
    timer.start();
    users.open();
    showAndWait(window);
    grid.viewport()->repaint();
    std::printf("open and first paint of %d users: %.1f ms\n", users.recordCount(), milliseconds(timer));

    timer.restart();
    grid.TitleClick(grid.Columns(1));
    grid.viewport()->repaint();
    std::printf("title click sorting by UZI$PRIJMENI (server sort and reopen): %.1f ms\n", milliseconds(timer));

    timer.restart();
    QChar key(u'ž');
    grid.KeyPress(key);
    grid.viewport()->repaint();
    std::printf("one incremental-search key to record %d: %.1f ms\n", users.recNo(), milliseconds(timer));

    grid.SetSearchText(QStringLiteral("nenajde"));
    users.first();
    timer.restart();
    int repeat = platform::VK_F3;
    grid.KeyDown(repeat, Qt::ControlModifier);
    grid.viewport()->repaint();
    std::printf("full-text scan finding nothing (back on record %d): %.1f ms\n", users.recNo(), milliseconds(timer));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);

    users.close();
    transaction.commit();
    database.close();
    QFile::remove(path);
    return 0;
}
