// A restore through the local services manager runs in this process: a
// backup that ends early must end the restore, not leave it waiting for an
// answer on standard input (a terminal that nobody watches).

#include "../restore/RestoreFixture.h"

#include "TestMain.h"
#include "base/TerminalInput.h"
#include "db/RestoreService.h"

#include <QTemporaryDir>

#include <unistd.h>

using namespace platform;
using namespace restoretest;

class TestLocalRestoreInput : public QObject {
    Q_OBJECT
private slots:
    void incompleteBackupEndsWithoutReadingTheTerminal()
    {
        // Standard input that stays open and never answers, as a terminal.
        int pipeEnds[2];
        QVERIFY(::pipe(pipeEnds) == 0);
        QVERIFY(::dup2(pipeEnds[0], STDIN_FILENO) >= 0);
        stopReadingStandardInput();

        const SampleBackup good(QStringLiteral("local-input"), 2000);
        QTemporaryDir dir;
        const QString truncated = dir.filePath(QStringLiteral("truncated.gbk"));
        writeBadBackup(BadBackup::Truncated, good.path, truncated);

        RestoreService service;
        service.protocol = ServiceProtocol::Local;
        service.params = {QStringLiteral("user_name=SYSDBA")};
        service.request = {.options = {},
                           .verbose = true,
                           .pageSize = 0,
                           .backupFiles = {truncated},
                           .databaseNames = {dir.filePath(QStringLiteral("restored.fdb"))}};
        QStringList lines;
        try {
            service.run([&](const QString &line) { lines << line; });
        } catch (const Exception &) {
            // The engine may report the incomplete backup as an error too.
        }
        QVERIFY(!lines.isEmpty());
        QVERIFY(!lines.join(u'\n').contains(QLatin1String("finishing, closing, and going home")));
        ::close(pipeEnds[1]);
        ::close(pipeEnds[0]);
    }
};

ZELO_TEST_MAIN(TestLocalRestoreInput)
#include "tst_LocalRestoreInput.moc"
