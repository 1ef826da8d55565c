#pragma once

// A backup file that the server opens and then waits on: a named pipe that
// nobody writes. A restore from it keeps running, and sends no output line,
// until the test lets it go; it then fails at the end of the empty pipe.

#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace restoretest {

class StalledBackup {
public:
    explicit StalledBackup(const QString &name) : path(testsupport::newDatabasePath(name) + QStringLiteral(".gbk"))
    {
        ::mkfifo(QFile::encodeName(path).constData(), 0666);
    }
    ~StalledBackup()
    {
        release();
        QFile::remove(path);
    }
    StalledBackup(const StalledBackup &) = delete;
    StalledBackup &operator=(const StalledBackup &) = delete;

    // Waits until a restore has the pipe open for reading and keeps it
    // waiting for data; false when none came.
    bool waitForReader(int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (writer_ < 0 && !deadline.hasExpired()) {
            writer_ = openWriter();
            if (writer_ < 0)
                QThread::msleep(10);
        }
        return writer_ >= 0;
    }

    // After waitForReader: true while the restore still reads the pipe.
    bool stillRead() const
    {
        const int probe = openWriter();
        if (probe < 0)
            return false;
        ::close(probe);
        return true;
    }

    // The restore reads the end of the pipe and fails.
    void release()
    {
        if (writer_ < 0)
            writer_ = openWriter();
        if (writer_ >= 0)
            ::close(writer_);
        writer_ = -1;
    }

    const QString path;

private:
    // A writer opens at once only while a reader has the pipe open.
    int openWriter() const { return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); }

    int writer_ = -1;
};

} // namespace restoretest
