// The exclusive file lock, and the fact the restore relies on: a Firebird
// engine that has a database open holds a lock on its file.

#include "DbFixture.h"
#include "FileBytes.h"
#include "TestMain.h"
#include "base/FileLock.h"
#include "db/Database.h"

#include <QTemporaryDir>

#include <optional>

using platform::ExclusiveFileLock;
using testsupport::Access;
using testsupport::DbFixture;

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
