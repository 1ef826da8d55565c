#include "ProcessSignals.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>

#include <csignal>
#include <optional>

namespace testsupport {

namespace {

// The main thread's blocked signals, from the "SigBlk:" line of its status.
std::optional<quint64> blockedSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigBlk:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    }
    return std::nullopt;
}

} // namespace

bool waitUntilSignalsTakenOver(qint64 pid, int timeoutMs)
{
    const quint64 wanted = (quint64(1) << (SIGTERM - 1)) | (quint64(1) << (SIGINT - 1));
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const std::optional<quint64> blocked = blockedSignals(pid);
        if (!blocked)
            return false;
        if ((*blocked & wanted) == wanted)
            return true;
        QThread::msleep(5);
    }
    return false;
}

void addSignalRows()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

} // namespace testsupport
