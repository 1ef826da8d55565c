#include "RestoreTarget.h"

#include "base/Exceptions.h"
#include "base/FileLock.h"
#include "db/Database.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr int kRandomDigits = 16;
const QString kNewFileMark = QStringLiteral(".obnova-");

// A name that nothing uses yet; the server refuses to restore over it should
// it be taken meanwhile (no replace).
QString unusedName(const QString &stem)
{
    for (;;) {
        const QString name = stem + QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), kRandomDigits,
                                                             16, QLatin1Char('0'));
        if (!QFileInfo::exists(name))
            return name;
    }
}

// The longest file name the folder takes, in bytes.
int nameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? int(limit) : 255;
}

std::optional<struct stat> statOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}

// The rights on the folder and the target as they stand for this program.
std::optional<RenameRights> renameRightsOf(const QString &folder, const QString &file, bool newFileIsOurs)
{
    const std::optional<struct stat> folderInfo = statOf(folder);
    if (!folderInfo)
        return std::nullopt;
    const std::optional<struct stat> fileInfo = statOf(file);
    return RenameRights{
        .stickyFolder = (folderInfo->st_mode & S_ISVTX) != 0,
        .folderOwner = folderInfo->st_uid,
        .targetOwner = fileInfo ? std::optional<uid_t>(fileInfo->st_uid) : std::nullopt,
        .newFileIsOurs = newFileIsOurs,
        .ourUser = ::geteuid(),
    };
}

} // namespace

bool isThisComputer(const QString &serverName)
{
    // A port or service after "/" names the same computer.
    const QString name = serverName.section(u'/', 0, 0).trimmed();
    return name.isEmpty() || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           name == QLatin1String("127.0.0.1") || name.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

bool renameCanSucceed(const RenameRights &rights)
{
    if (!rights.stickyFolder || rights.ourUser == 0 || rights.folderOwner == rights.ourUser)
        return true;
    const bool targetIsOurs = !rights.targetOwner || *rights.targetOwner == rights.ourUser;
    return rights.newFileIsOurs && targetIsOurs;
}

QString newFileNameStem(const QString &targetFileName, int nameLimit)
{
    const auto fits = [nameLimit](const QString &stem) {
        return QFile::encodeName(stem).size() + kRandomDigits <= nameLimit;
    };
    if (fits(targetFileName + kNewFileMark))
        return targetFileName + kNewFileMark;
    const QString hash =
        QLatin1Char('~') +
        QString::fromLatin1(
            QCryptographicHash::hash(QFile::encodeName(targetFileName), QCryptographicHash::Sha1).toHex().left(8));
    QString part = targetFileName;
    while (!part.isEmpty() && !fits(part + hash + kNewFileMark))
        part.chop(part.size() >= 2 && part.back().isLowSurrogate() ? 2 : 1);
    return part + hash + kNewFileMark;
}

RestoreTarget::RestoreTarget(bool localManager, const QString &server, const QString &databasePath,
                             const QStringList &loginLines)
    : localManager_(localManager), server_(server), databasePath_(databasePath), loginLines_(loginLines)
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
    const QString folderPath = QFileInfo(file).absolutePath();
    const QFileInfo folder(folderPath);
    if (!folder.isDir())
        return;
    newFileStem_ = folderPath + QLatin1Char('/') + newFileNameStem(QFileInfo(file).fileName(), nameLimit(folderPath));
    removeLeftovers(folderPath);
    if (!folder.isWritable() || (target.exists() && !target.isReadable()))
        return;
    // This program's own engine writes the new file for the local manager.
    const std::optional<RenameRights> rights = renameRightsOf(folderPath, file, localManager);
    if (!rights || !renameCanSucceed(*rights))
        return;
    targetFile_ = file;
    newFile_ = unusedName(newFileStem_);
}

RestoreTarget::~RestoreTarget()
{
    if (keepsOldDatabase() && !tookPlace_)
        removeRestoredFile(newFile_);
}

QString RestoreTarget::connectionName(const QString &file) const
{
    return localManager_ ? file : server_ + QLatin1Char(':') + file;
}

void RestoreTarget::removeRestoredFile(const QString &file) const
{
    if (removeDatabaseFile(file) || !QFileInfo::exists(file))
        return;
    dropThroughServer(file);
}

void RestoreTarget::dropThroughServer(const QString &file) const
{
    // The server's user owns the file and this program's user may not remove
    // it (a folder with the sticky bit): the server removes it as the
    // database it is. What it refuses stays for the next restore.
    try {
        Database database;
        database.setDatabaseName(connectionName(file));
        database.setParams(loginLines_);
        database.open();
        database.drop();
    } catch (const Exception &) {
    }
}

void RestoreTarget::removeLeftovers(const QString &folder) const
{
    static const QRegularExpression randomDigits(QStringLiteral("^[0-9a-f]{%1}$").arg(kRandomDigits));
    const QString stem = QFileInfo(newFileStem_).fileName();
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    while (entries.hasNext()) {
        const QString file = entries.next();
        const QString name = entries.fileName();
        if (!name.startsWith(stem) || !randomDigits.match(QStringView(name).sliced(stem.size())).hasMatch())
            continue;
        {
            // An engine has it open: a restore still writes it.
            const ExclusiveFileLock lock(file);
            if (!lock.held() || removeDatabaseFile(file))
                continue;
        }
        dropThroughServer(file);
    }
}

void RestoreTarget::endLinger() const
{
    try {
        Database database;
        database.setDatabaseName(connectionName(databasePath_));
        database.setParams(loginLines_ + QStringList{QStringLiteral("nolinger")});
        database.open();
        database.close();
    } catch (const Exception &) {
        // A database that cannot be reached is one in use.
    }
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
    auto lock = std::make_unique<ExclusiveFileLock>(targetFile_);
    if (QFileInfo::exists(targetFile_) && !lock->held()) {
        // Only a connection counts as use: a database with LINGER stays open
        // in its server after its last one (ours from the connection test).
        endLinger();
        lock = std::make_unique<ExclusiveFileLock>(targetFile_);
        if (!lock->held())
            throw databaseInUseError(databasePath_);
    }
    // rename() replaces the target in one step: there is always a whole
    // database under its name.
    if (std::rename(QFile::encodeName(newFile_).constData(), QFile::encodeName(targetFile_).constData()) != 0)
        throw EInOutError(
            QStringLiteral("Obnovenou databázi nelze přesunout na místo původní: %1").arg(qt_error_string(errno)));
    tookPlace_ = true;
    // The old database is gone from its name; freeing its blocks goes on
    // while the program ends.
    lock->releaseInBackground();
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
