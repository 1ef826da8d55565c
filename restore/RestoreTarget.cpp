#include "RestoreTarget.h"

#include "base/Exceptions.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>

#include <cerrno>
#include <cstdio>

using namespace platform;

namespace {

// A name beside the file that nothing uses yet; the server refuses to
// restore over it should it be taken meanwhile (no replace).
QString unusedNameBeside(const QString &file)
{
    for (;;) {
        const QString name = QStringLiteral("%1.obnova-%2")
                                 .arg(file)
                                 .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
        if (!QFileInfo::exists(name))
            return name;
    }
}

} // namespace

bool isThisComputer(const QString &serverName)
{
    const QString name = serverName.trimmed();
    return name.isEmpty() || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           name == QLatin1String("127.0.0.1") || name.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

RestoreTarget::RestoreTarget(bool localManager, const QString &server, const QString &databasePath)
    : localManager_(localManager), server_(server), databasePath_(databasePath)
{
    if (!localManager && !isThisComputer(server))
        return;
    // A relative name means the server's own folder or one of its aliases,
    // unless this process's engine restores.
    const QFileInfo target(databasePath);
    if (!localManager && target.isRelative())
        return;
    // Beside the real file when the name is a link to it.
    const QString file = target.exists() ? target.canonicalFilePath() : target.absoluteFilePath();
    const QFileInfo folder(QFileInfo(file).absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return;
    targetFile_ = file;
    newFile_ = unusedNameBeside(file);
}

RestoreTarget::~RestoreTarget()
{
    if (keepsOldDatabase() && !tookPlace_)
        QFile::remove(newFile_);
}

QString RestoreTarget::restorePath() const
{
    return keepsOldDatabase() ? newFile_ : databasePath_;
}

TRestoreOptions RestoreTarget::restoreOptions(const TRestoreOptions &requested) const
{
    TRestoreOptions options = requested;
    if (keepsOldDatabase())
        options.erase(TRestoreOption::Replace);
    return options;
}

QString RestoreTarget::connectionName() const
{
    return localManager_ ? targetFile_ : server_ + QLatin1Char(':') + targetFile_;
}

void RestoreTarget::requireNoOtherConnection(const QStringList &loginLines) const
{
    Database database;
    database.setDatabaseName(connectionName());
    database.setParams(loginLines);
    auto *transaction = new Transaction(&database);
    database.setDefaultTransaction(transaction);
    database.open();
    transaction->start();
    // The server's own attachments (cache writer, garbage collector) do not count.
    Query query;
    query.setDatabase(&database);
    query.setSql(QStringLiteral("select count(*) from MON$ATTACHMENTS "
                                "where MON$ATTACHMENT_ID <> current_connection and MON$SYSTEM_FLAG = 0"));
    query.execQuery();
    const qint64 others = query.asInt64(0);
    query.close();
    database.close();
    if (others > 0)
        throw databaseInUseError(databasePath_);
}

void RestoreTarget::takeTargetsPlace(const QStringList &loginLines)
{
    if (!keepsOldDatabase())
        return;
    if (QFileInfo::exists(targetFile_))
        requireNoOtherConnection(loginLines);
    // rename() replaces the target in one step: there is always a whole
    // database under its name.
    if (std::rename(QFile::encodeName(newFile_).constData(), QFile::encodeName(targetFile_).constData()) != 0)
        throw EInOutError(
            QStringLiteral("Obnovenou databázi nelze přesunout na místo původní: %1").arg(qt_error_string(errno)));
    tookPlace_ = true;
}

void RestoreEndWatch::see(const QString &outputLine)
{
    // The server's verbose output of a complete restore ends with the lines
    // "gbak:finishing, closing, and going home" and "gbak:adjusting the
    // ONLINE and FORCED WRITES flags"; the output of a truncated backup
    // stops before them, without any error.
    if (outputLine.startsWith(QLatin1String("gbak:finishing, closing, and going home")))
        closingLineSeen_ = true;
}

void RestoreEndWatch::requireEnd() const
{
    if (!closingLineSeen_)
        throw EDatabaseError(QStringLiteral("Soubor se zálohou databáze je neúplný, obnova nebyla dokončena."));
}
