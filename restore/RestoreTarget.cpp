#include "RestoreTarget.h"

#include "base/Exceptions.h"
#include "base/FileLock.h"

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
    // A port or service after "/" names the same computer.
    const QString name = serverName.section(u'/', 0, 0).trimmed();
    return name.isEmpty() || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           name == QLatin1String("127.0.0.1") || name.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

RestoreTarget::RestoreTarget(bool localManager, const QString &server, const QString &databasePath)
    : databasePath_(databasePath)
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
    if (!folder.isDir() || !folder.isWritable() || (target.exists() && !target.isReadable()))
        return;
    targetFile_ = file;
    newFile_ = unusedNameBeside(file);
}

RestoreTarget::~RestoreTarget()
{
    if (keepsOldDatabase() && !tookPlace_)
        removeDatabaseFile(newFile_);
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

void RestoreTarget::takeTargetsPlace()
{
    if (!keepsOldDatabase())
        return;
    // Held until the rename is done, so that no engine opens the old
    // database meanwhile. A missing target has nothing to lock.
    ExclusiveFileLock lock(targetFile_);
    if (QFileInfo::exists(targetFile_) && !lock.held())
        throw databaseInUseError(databasePath_);
    // rename() replaces the target in one step: there is always a whole
    // database under its name.
    if (std::rename(QFile::encodeName(newFile_).constData(), QFile::encodeName(targetFile_).constData()) != 0)
        throw EInOutError(
            QStringLiteral("Obnovenou databázi nelze přesunout na místo původní: %1").arg(qt_error_string(errno)));
    tookPlace_ = true;
    // The old database is gone from its name; freeing its blocks goes on
    // while the program ends.
    lock.releaseInBackground();
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
