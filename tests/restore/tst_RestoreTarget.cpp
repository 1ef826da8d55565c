// Where a restore writes: into a new file beside a target on this computer,
// which takes the target's place only after a complete restore, never while
// another connection is attached; and how a complete restore is told from
// one the server ended early.

#include "RestoreFixture.h"

#include "RestoreTarget.h"
#include "TestMain.h"
#include "db/Database.h"

#include <QFile>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryDir>

using namespace platform;
using namespace restoretest;
using testsupport::Access;
using testsupport::DbFixture;

namespace {

enum class Place { WritableFolder, MissingFolder, RelativeName };

} // namespace

Q_DECLARE_METATYPE(Place)

namespace {

// Turns a database into the restored one of a test: a copy of another
// database's file at the new file's place, as the server would have written it.
void restoreByCopy(const QString &from, const RestoreTarget &target)
{
    QVERIFY(QFile::copy(from, target.restorePath()));
}

} // namespace

class TestRestoreTarget : public QObject {
    Q_OBJECT

private slots:
    void thisComputer_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("thisComputer");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("localhost") << "localhost" << true;
        QTest::newRow("LOCALHOST") << "LOCALHOST" << true;
        QTest::newRow("loopback address") << "127.0.0.1" << true;
        QTest::newRow("own host name") << QSysInfo::machineHostName() << true;
        QTest::newRow("own host name in capitals") << QSysInfo::machineHostName().toUpper() << true;
        QTest::newRow("localhost with a port") << "localhost/3051" << true;
        QTest::newRow("loopback address with a service") << "127.0.0.1/gds_db" << true;
        QTest::newRow("another server") << "srv" << false;
        QTest::newRow("another server with a port") << "srv/3051" << false;
        QTest::newRow("another address") << "10.0.0.7" << false;
        QTest::newRow("a longer name") << "localhost2" << false;
    }

    void thisComputer()
    {
        QFETCH(QString, server);
        QTEST(isThisComputer(server), "thisComputer");
    }

    void whereTheRestoreGoes_data()
    {
        QTest::addColumn<bool>("localManager");
        QTest::addColumn<QString>("server");
        QTest::addColumn<Place>("place");
        QTest::addColumn<bool>("newFile");
        QTest::newRow("local manager") << true << "" << Place::WritableFolder << true;
        QTest::newRow("local manager, a name relative to this process") << true << "" << Place::RelativeName << true;
        QTest::newRow("this computer's server") << false << "localhost" << Place::WritableFolder << true;
        QTest::newRow("this computer's server by its address") << false << "127.0.0.1" << Place::WritableFolder << true;
        QTest::newRow("another server") << false << "srv" << Place::WritableFolder << false;
        QTest::newRow("a folder that cannot be written") << false << "localhost" << Place::MissingFolder << false;
        QTest::newRow("a name relative to the server") << false << "localhost" << Place::RelativeName << false;
    }

    void whereTheRestoreGoes()
    {
        QFETCH(bool, localManager);
        QFETCH(QString, server);
        QFETCH(Place, place);
        QFETCH(bool, newFile);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        const QString path = place == Place::WritableFolder  ? folder.filePath(QStringLiteral("zelo.fdb"))
                             : place == Place::MissingFolder ? folder.filePath(QStringLiteral("není/zelo.fdb"))
                                                             : QStringLiteral("zelo.fdb");

        const RestoreTarget target(localManager, server, path);
        QCOMPARE(target.keepsOldDatabase(), newFile);
        const TRestoreOptions options = target.restoreOptions({TRestoreOption::Replace, TRestoreOption::NoShadow});
        if (newFile) {
            const QFileInfo restored(target.restorePath());
            QCOMPARE(QFileInfo(restored.absolutePath()).canonicalFilePath(),
                     QFileInfo(folder.path()).canonicalFilePath());
            QVERIFY2(restored.fileName().startsWith(QStringLiteral("zelo.fdb.")), qPrintable(restored.fileName()));
            QVERIFY(!restored.exists());
            QCOMPARE(options, TRestoreOptions{TRestoreOption::NoShadow});
        } else {
            QCOMPARE(target.restorePath(), path);
            QCOMPARE(options, (TRestoreOptions{TRestoreOption::Replace, TRestoreOption::NoShadow}));
        }
    }

    void newFileGoesBesideTheFileALinkNames()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("data")));
        const QString real = folder.filePath(QStringLiteral("data/zelo.fdb"));
        const QString link = folder.filePath(QStringLiteral("zelo.fdb"));
        testsupport::writeBytes(real, "old");
        QVERIFY(QFile::link(real, link));
        const RestoreTarget target(true, QString(), link);
        QCOMPARE(QFileInfo(target.restorePath()).absolutePath(), QFileInfo(real).canonicalPath());
    }

    void newFileIsRemovedWhenTheRestoreFails()
    {
        const DbFixture restored(QStringLiteral("restored"), Access::Embedded);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("zelo.fdb"));
        testsupport::writeBytes(path, "old");
        {
            const RestoreTarget target(true, QString(), path);
            restoreByCopy(restored.path(), target);
            QCOMPARE(filesBeside(path).size(), 1);
        }
        QCOMPARE(filesBeside(path), QStringList());
        QCOMPARE(testsupport::readBytes(path), QByteArray("old"));
    }

    void newFileTakesTheTargetsPlace()
    {
        const DbFixture restored(QStringLiteral("restored"), Access::Embedded);
        addSampleUsers(restored, 4);
        const DbFixture old(QStringLiteral("old"), Access::Embedded);
        addOldUser(old);
        {
            RestoreTarget target(true, QString(), old.path());
            restoreByCopy(restored.path(), target);
            target.takeTargetsPlace();
        }
        QCOMPARE(filesBeside(old.path()), QStringList());
        QCOMPARE(userCount(old), 4);
        QCOMPARE(commonSurname(old), kCzechSurname);
    }

    void newFileTakesAMissingTargetsPlace()
    {
        const DbFixture restored(QStringLiteral("restored"), Access::Embedded);
        addSampleUsers(restored, 2);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("nová.fdb"));
        {
            RestoreTarget target(true, QString(), path);
            restoreByCopy(restored.path(), target);
            target.takeTargetsPlace();
        }
        QCOMPARE(filesBeside(path), QStringList());
        Database database;
        database.setDatabaseName(path);
        database.setParams(DbFixture::connectionParams());
        database.open();
        database.close();
    }

    void anotherConnectionKeepsTheOldDatabaseAndTheConnection()
    {
        const DbFixture restored(QStringLiteral("restored"), Access::Tcp);
        addSampleUsers(restored, 3);
        const DbFixture old(QStringLiteral("held"), Access::Tcp);
        addSampleUsers(old, 5, kOldCzechSurname);
        const auto holder = old.openConnection();
        {
            RestoreTarget target(false, QStringLiteral("localhost"), old.path());
            restoreByCopy(restored.path(), target);
            try {
                target.takeTargetsPlace();
                QFAIL("the new file took the place of a database in use");
            } catch (const EIBError &error) {
                QCOMPARE(error.errorCode(), databaseInUseError(old.path()).errorCode());
                QCOMPARE(error.message(), databaseInUseError(old.path()).message());
            }
        }
        QCOMPARE(filesBeside(old.path()), QStringList());
        QVERIFY(holder->connected());
        QCOMPARE(userCount(old), 5);
        QCOMPARE(commonSurname(old), kOldCzechSurname);
    }

    void serverReplacingItselfLeavesTheFilesAlone()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("zelo.fdb"));
        testsupport::writeBytes(path, "replaced by the server");
        {
            RestoreTarget target(false, QStringLiteral("srv"), path);
            target.takeTargetsPlace();
        }
        QCOMPARE(testsupport::readBytes(path), QByteArray("replaced by the server"));
        QCOMPARE(filesBeside(path), QStringList());
    }

    void endOfTheRestore_data()
    {
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<bool>("complete");
        const QStringList start{"gbak:opened file /data/zelo.gbk ", "gbak:transportable backup -- data in XDR format ",
                                "gbak:restoring data for table DB$UZIV ", "gbak:   2000 records restored "};
        const QStringList closing{"gbak:finishing, closing, and going home ",
                                  "gbak:adjusting the ONLINE and FORCED WRITES flags ", ""};
        QTest::newRow("complete") << start + closing << true;
        QTest::newRow("stopped in the data, as a truncated backup does") << start + QStringList{""} << false;
        QTest::newRow("stopped after the privileges")
            << start + QStringList{"gbak:restoring privilege for user SYSDBA ", ""} << false;
        QTest::newRow("no output") << QStringList{""} << false;
    }

    void endOfTheRestore()
    {
        QFETCH(QStringList, output);
        QFETCH(bool, complete);
        RestoreEndWatch end;
        for (const QString &line : output)
            end.see(line);
        if (complete) {
            end.requireEnd();
            return;
        }
        try {
            end.requireEnd();
            QFAIL("an incomplete restore passed");
        } catch (const EDatabaseError &error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Soubor se zálohou databáze je neúplný, obnova nebyla dokončena."));
        }
    }
};

ZELO_TEST_MAIN(TestRestoreTarget)
#include "tst_RestoreTarget.moc"
