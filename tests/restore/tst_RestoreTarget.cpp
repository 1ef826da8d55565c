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

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

constexpr uid_t kNobody = 65534;

// This process acts as another user until the end of the scope, as Pelrin
// run by someone who owns neither the folder nor the files would.
class ActingAs {
public:
    explicit ActingAs(uid_t user) : ok_(::seteuid(user) == 0) {}
    ~ActingAs()
    {
        if (ok_)
            QVERIFY(::seteuid(0) == 0);
    }
    bool ok() const { return ok_; }

private:
    bool ok_;
};

// A folder of the private server's with the sticky bit, as /tmp has it.
QString stickyFolder(const QTemporaryDir &base)
{
    const QString folder = base.filePath(QStringLiteral("sdílená"));
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 01777);
    return folder;
}

QStringList loginLines()
{
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + testsupport::sysdbaPassword()};
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

    void renameRights_data()
    {
        QTest::addColumn<bool>("sticky");
        QTest::addColumn<uint>("folderOwner");
        QTest::addColumn<int>("targetOwner"); // -1: no target yet
        QTest::addColumn<bool>("newFileIsOurs");
        QTest::addColumn<uint>("us");
        QTest::addColumn<bool>("canRename");
        const uint root = 0, us = 1000, other = 1001, server = 102;
        QTest::newRow("no sticky bit") << false << other << int(other) << false << us << true;
        QTest::newRow("sticky, we are root") << true << other << int(other) << false << root << true;
        QTest::newRow("sticky, our folder") << true << us << int(other) << false << us << true;
        QTest::newRow("sticky, the server writes the new file") << true << other << int(us) << false << us << false;
        QTest::newRow("sticky, owning neither") << true << root << int(server) << false << us << false;
        QTest::newRow("sticky, our engine writes over our target") << true << root << int(us) << true << us << true;
        QTest::newRow("sticky, our engine writes over another's target")
            << true << root << int(other) << true << us << false;
        QTest::newRow("sticky, our engine writes, no target yet") << true << root << -1 << true << us << true;
        QTest::newRow("sticky, the server writes, no target yet") << true << root << -1 << false << us << false;
    }

    void renameRights()
    {
        QFETCH(bool, sticky);
        QFETCH(uint, folderOwner);
        QFETCH(int, targetOwner);
        QFETCH(bool, newFileIsOurs);
        QFETCH(uint, us);
        const RenameRights rights{
            .stickyFolder = sticky,
            .folderOwner = folderOwner,
            .targetOwner = targetOwner < 0 ? std::nullopt : std::optional<uid_t>(uid_t(targetOwner)),
            .newFileIsOurs = newFileIsOurs,
            .ourUser = us,
        };
        QTEST(renameCanSucceed(rights), "canRename");
    }

    // The real folder: run as a user who owns neither it nor the target, the
    // server's replace is taken before the restore, not a rename refused after.
    void stickyFolderOfAnotherUserTakesTheReplacePath()
    {
        if (::geteuid() != 0)
            QSKIP("only root can act as another user");
        QTemporaryDir base(testsupport::firebirdDir() + QStringLiteral("/db/sticky-XXXXXX"));
        QVERIFY(base.isValid());
        const QString folder = stickyFolder(base);
        const QString path = folder + QStringLiteral("/zelo.fdb");
        testsupport::writeBytes(path, "old");
        ::chmod(QFile::encodeName(path).constData(), 0644);
        {
            const RestoreTarget asRoot(false, QStringLiteral("localhost"), path);
            QVERIFY(asRoot.keepsOldDatabase());
        }
        const ActingAs nobody(kNobody);
        QVERIFY(nobody.ok());
        const RestoreTarget target(false, QStringLiteral("localhost"), path);
        QVERIFY(!target.keepsOldDatabase());
        QCOMPARE(target.restorePath(), path);
    }

    // The server's file in a folder where this user may not remove it: the
    // server drops it.
    void newFileThatThisUserMayNotRemoveIsDroppedThroughTheServer()
    {
        if (::geteuid() != 0)
            QSKIP("only root can act as another user");
        const DbFixture restored(QStringLiteral("restored"), Access::Tcp);
        // The server's folder for the databases it drops itself.
        QTemporaryDir base(testsupport::firebirdDir() + QStringLiteral("/dropped/sticky-XXXXXX"));
        QVERIFY(base.isValid());
        const QString path = stickyFolder(base) + QStringLiteral("/zelo.fdb");
        {
            std::optional<RestoreTarget> target(std::in_place, false, QStringLiteral("localhost"), path, loginLines());
            QVERIFY(target->keepsOldDatabase());
            restoreByCopy(restored.path(), *target);
            const ActingAs nobody(kNobody);
            QVERIFY(nobody.ok());
            // The client library reads the server's settings as this user too.
            if (!QFile(testsupport::firebirdDir() + QStringLiteral("/databases.conf")).open(QIODevice::ReadOnly))
                QSKIP("another user cannot reach the test folder (a folder above it is closed to others)");
            QVERIFY(!QFile::remove(target->restorePath()));
            target.reset();
        }
        QCOMPARE(filesBeside(path), QStringList());
    }

    void newFileNameFitsTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("short") << "zelo.fdb";
        QTest::newRow("231 bytes") << QString(227, u'a') + ".fdb";
        QTest::newRow("232 bytes") << QString(228, u'a') + ".fdb";
        QTest::newRow("255 bytes") << QString(251, u'a') + ".fdb";
        QTest::newRow("125 Czech letters") << QString(125, u'ž') + ".fdb";
        QTest::newRow("a letter outside the basic plane") << QString(120, u'ř') + QStringLiteral("\U0001F4BE.fdb");
    }

    void newFileNameFitsTheFolder()
    {
        QFETCH(QString, name);
        const QString stem = newFileNameStem(name, 255);
        QVERIFY2(QFile::encodeName(stem).size() + 16 <= 255, qPrintable(stem));
        QVERIFY(stem.endsWith(QStringLiteral(".obnova-")));
        QVERIFY(QString(stem + QStringLiteral("0123456789abcdef")).isValidUtf16());
        if (QFile::encodeName(name).size() + 24 <= 255)
            QCOMPARE(stem, name + QStringLiteral(".obnova-"));
        else
            QCOMPARE(stem.left(20), name.left(20));
        // Two long names that differ only at their end keep apart.
        QString other = name;
        other.insert(other.size() - 4, u'b');
        QVERIFY(newFileNameStem(other, 255) != stem);
    }

    // What a killed restore left beside this target goes; what an engine
    // still has open and what has another name stay.
    void leftoversOfThisTargetAreRemoved()
    {
        const DbFixture target(QStringLiteral("leftovers"));
        addOldUser(target);
        const QString stem = target.path() + QStringLiteral(".obnova-");
        const DbFixture leftover = DbFixture::atPath(stem + QStringLiteral("0123456789abcdef"));
        const DbFixture writing = DbFixture::atPath(stem + QStringLiteral("fedcba9876543210"));
        const auto writer = writing.openConnection();
        const QStringList others{QStringLiteral(".obnova-0123456789ABCDEF"), QStringLiteral(".obnova-0123456789abcde"),
                                 QStringLiteral(".obnova-0123456789abcdef.kopie"), QStringLiteral(".obnova-zaloha"),
                                 QStringLiteral(".zaloha")};
        for (const QString &suffix : others)
            testsupport::writeBytes(target.path() + suffix, "keep");
        {
            const RestoreTarget restore(false, QStringLiteral("localhost"), target.path(), loginLines());
            QVERIFY(restore.keepsOldDatabase());
        }
        QStringList expected{QFileInfo(writing.path()).fileName()};
        for (const QString &suffix : others)
            expected << QFileInfo(target.path()).fileName() + suffix;
        expected.sort();
        QStringList left = filesBeside(target.path());
        left.sort();
        QCOMPARE(left, expected);
        QCOMPARE(commonSurname(target), kOldSurname);
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
