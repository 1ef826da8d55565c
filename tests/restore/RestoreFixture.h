#pragma once

// Backups for the restore tests: a users table with Czech names saved by
// gbak from the private server, and what a database holds afterwards.

#include "DbFixture.h"
#include "FileBytes.h"
#include "TestEnvironment.h"
#include "base/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>

namespace restoretest {

// Every letter with a diacritic that Czech has, in a 40-character column.
inline const QString kCzechSurname = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
inline const QString kOldSurname = QStringLiteral("Stará databáze");
// The rows of a database that a failed restore must leave as they were.
inline const QString kOldCzechSurname = QStringLiteral("Stará data: ěščřžýáíéúů ĚŠČŘŽÝÁÍÉÚŮ");

// Runs gbak on the private server as SYSDBA; raises with its output when it
// fails. gbak reads paths in its locale: a UTF-8 one, whatever the test's.
inline void runGbak(const QStringList &args)
{
    QProcess gbak;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    gbak.setProcessEnvironment(environment);
    gbak.setProcessChannelMode(QProcess::MergedChannels);
    gbak.start(QStringLiteral("gbak"), QStringList{QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                                   QStringLiteral("-password"), testsupport::sysdbaPassword()} +
                                           args);
    if (!gbak.waitForFinished(120000) || gbak.exitStatus() != QProcess::NormalExit || gbak.exitCode() != 0)
        throw Exception(
            QStringLiteral("gbak %1 failed: %2").arg(args.join(u' '), QString::fromLocal8Bit(gbak.readAll())));
}

// Users u0 .. u(rows-1), each with the surname.
inline void addSampleUsers(const testsupport::DbFixture &db, int rows, const QString &surname = kCzechSurname)
{
    db.execute(QStringLiteral("execute block as declare i integer = 0; begin"
                              " while (i < %1) do begin"
                              " insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('u' || :i, %2, 'A');"
                              " i = i + 1; end end")
                   .arg(rows)
                   .arg(testsupport::DbFixture::literal(surname)));
}

// A database of sample users and its backup file beside it.
struct SampleBackup {
    explicit SampleBackup(const QString &name, int rows = 3)
        : source(name + QStringLiteral("-source")), path(source.path() + QStringLiteral(".gbk")), rows(rows)
    {
        addSampleUsers(source, rows);
        runGbak({QStringLiteral("-b"), source.databaseName(), path});
    }
    testsupport::DbFixture source;
    QString path;
    int rows;
};

// A database to be replaced: one user with another surname.
inline void addOldUser(const testsupport::DbFixture &db)
{
    db.execute(QStringLiteral("insert into DB$UZIV (UZI$LOGIN, UZI$PRIJMENI, UZI$PRAVO) values ('stary', %1, 'A')")
                   .arg(testsupport::DbFixture::literal(kOldSurname)));
}

// Backups that a restore must refuse, made from a good one.
enum class BadBackup { RandomBytes, Truncated, CorruptedInTheMiddle };

// Writes the bad backup at path. The bytes are the same in every run: the
// random ones come from a fixed seed.
inline void writeBadBackup(BadBackup kind, const QString &goodBackup, const QString &path)
{
    QRandomGenerator random(1250);
    const auto randomBytes = [&](qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        return bytes;
    };
    QByteArray bytes = testsupport::readBytes(goodBackup);
    switch (kind) {
    case BadBackup::RandomBytes:
        bytes = randomBytes(bytes.size());
        break;
    case BadBackup::Truncated:
        bytes.truncate(bytes.size() * 6 / 10);
        break;
    case BadBackup::CorruptedInTheMiddle:
        // A quarter of the file: whatever records the names before it shift there.
        bytes.replace(bytes.size() / 2, bytes.size() / 4, randomBytes(bytes.size() / 4));
        break;
    }
    testsupport::writeBytes(path, bytes);
}

// Files whose names start with the database's file name, the database
// itself left out: what a restore left beside it.
inline QStringList filesBeside(const QString &databasePath)
{
    const QFileInfo database(databasePath);
    QStringList files =
        database.dir().entryList({database.fileName() + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    files.removeAll(database.fileName());
    return files;
}

inline int userCount(const testsupport::DbFixture &db)
{
    return db.readValue(QStringLiteral("select count(*) from DB$UZIV")).value_or(QString()).toInt();
}

// The one surname that every user has (empty when they differ), through a
// fresh WIN1250 connection: equal texts are equal bytes in the database.
inline QString commonSurname(const testsupport::DbFixture &db)
{
    return db
        .readValue(QStringLiteral("select case when count(distinct UZI$PRIJMENI) = 1 then min(UZI$PRIJMENI) end "
                                  "from DB$UZIV"))
        .value_or(QString());
}

} // namespace restoretest
