// The demo database that the main job script prepares with kelmo-demo-db: its
// settings file connects Kelmo to it, and its users' surnames sort as a Czech
// user expects.

#include "ConnectionSettings.h"
#include "SqlUtils.h"
#include "TestEnvironment.h"
#include "TestMain.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Transaction.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestDemoDatabase : public QObject {
    Q_OBJECT

private slots:
    void settingsConnectAndSurnamesSortInCzechOrder()
    {
        const QString database = testsupport::newDatabasePath(QStringLiteral("demo"));
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("zelo.ini"));
        QProcess tool;
        tool.start(qEnvironmentVariable("ZELO_BINARY_DIR") + QStringLiteral("/useradmin/tools/kelmo-demo-db"),
                   {database, settings});
        QVERIFY(tool.waitForFinished(60000));
        QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0,
                 tool.readAllStandardError().constData());

        const platform::ProfileFile ini(settings);
        platform::Database connection;
        platform::Transaction transaction;
        connection.setDefaultTransaction(&transaction);
        transaction.setDefaultDatabase(&connection);
        LoadConnectionSettings(&ini, &connection);
        QCOMPARE(connection.databaseName(), database);
        connection.open();

        // Binary Windows-1250 order would put "Černý" last.
        QStringList surnames;
        SelectToList(QStringLiteral("select UZI$PRIJMENI from DB$UZIV order by UZI$PRIJMENI"), &connection, &surnames);
        QCOMPARE(surnames, (QStringList{"Černý", "Dvořáková", "Novák", "Richterová", "Správcová", "Vedoucí"}));
        connection.close();
    }
};

ZELO_TEST_MAIN(TestDemoDatabase)
#include "tst_DemoDatabase.moc"
