// The exclusive file lock, and the fact the restore relies on: a Firebird
// engine that has a database open holds a lock on its file. A database file
// removed while an engine has it open keeps its inode from the next new file
// until the engine has let go of it, as the engine names shared files after it.

#include "DbFixture.h"
#include "FileBytes.h"
#include "TestMain.h"
#include "base/FileLock.h"
#include "db/Database.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>

#include <optional>

using platform::ExclusiveFileLock;
using testsupport::Access;
using testsupport::DbFixture;
using testsupport::inodeOf;
using testsupport::inodeOfANewFileBeside;

class TestFileLock : public QObject {
    Q_OBJECT

private slots:
    void oneHolderAtATime()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("zámek.fdb"));
        testsupport::writeBytes(path, "x");
        {
            const ExclusiveFileLock first(path);
            QVERIFY(first.held());
            QVERIFY(!ExclusiveFileLock(path).held());
        }
        QVERIFY(ExclusiveFileLock(path).held());
        QVERIFY(!ExclusiveFileLock(folder.filePath(QStringLiteral("není.fdb"))).held());
    }

    void releaseInBackground()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("zámek.fdb"));
        testsupport::writeBytes(path, "x");
        std::optional<ExclusiveFileLock> released(std::in_place, path);
        QVERIFY(released->held());
        released->releaseInBackground();
        QVERIFY(!released->held());
        QTRY_VERIFY(ExclusiveFileLock(path).held());
        // The next lock may be given the released descriptor's number: the
        // released object's end must not close it.
        const ExclusiveFileLock next(path);
        QVERIFY(next.held());
        released.reset();
        QVERIFY(!ExclusiveFileLock(path).held());
    }

    // The file renamed over keeps its inode, but not its blocks, whose
    // freeing would hold up the program's end.
    void fileRenamedOverIsEmptiedInBackground()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("stará.fdb"));
        const QString newer = folder.filePath(QStringLiteral("nová.fdb"));
        testsupport::writeBytes(path, QByteArray(1 << 20, 'o'));
        testsupport::writeBytes(newer, "new");
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        ExclusiveFileLock lock(path);
        QVERIFY(lock.held());
        QCOMPARE(::rename(QFile::encodeName(newer).constData(), QFile::encodeName(path).constData()), 0);
        lock.releaseInBackground();
        struct stat info;
        QTRY_VERIFY(::fstat(old.handle(), &info) == 0 && info.st_size == 0);
        QCOMPARE(QFileInfo(path).size(), 3);
    }

    void removedDatabaseKeepsItsInodeFromTheNextNewFile()
    {
        const DbFixture database(QStringLiteral("removed"), Access::Embedded);
        const ino_t removed = inodeOf(database.path());
        QVERIFY(removed != 0);
        {
            // The engine has the file open as it is removed, as the server has
            // the new file of a restore it ended early.
            const auto connection = database.openConnection();
            platform::removeDatabaseFile(database.path());
            QVERIFY(!QFileInfo::exists(database.path()));
        }
        QVERIFY(inodeOfANewFileBeside(database.path()) != removed);
    }

    void openDatabaseIsLockedByItsEngine_data() { testsupport::addAccessRows(); }

    void openDatabaseIsLockedByItsEngine()
    {
        QFETCH(Access, access);
        const DbFixture database(QStringLiteral("locked"), access);
        QVERIFY(ExclusiveFileLock(database.path()).held());
        {
            const auto connection = database.openConnection();
            QVERIFY(!ExclusiveFileLock(database.path()).held());
        }
        QVERIFY(ExclusiveFileLock(database.path()).held());
    }
};

ZELO_TEST_MAIN(TestFileLock)
#include "tst_FileLock.moc"
