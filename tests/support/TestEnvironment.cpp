#include "TestEnvironment.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace testsupport {

namespace {

std::terminate_handler defaultTerminate = nullptr;

// An error that the server's death caused is no fault of the test program:
// the program names the death, and the failures above it follow from it.
[[noreturn]] void terminateNamingTheServersDeath()
{
    const QString end = sharedServerEnd();
    if (end.isEmpty())
        defaultTerminate();
    QString error;
    try {
        if (const std::exception_ptr escaped = std::current_exception())
            std::rethrow_exception(escaped);
    } catch (const std::exception &escaped) {
        error = QString::fromUtf8(escaped.what());
    } catch (...) {
    }
    std::fprintf(stderr, "FAIL!  : the shared server died (%s); the error that ended this program: %s\n",
                 qPrintable(end), qPrintable(error));
    std::_Exit(EXIT_FAILURE);
}

[[maybe_unused]] const bool terminateInstalled =
    (defaultTerminate = std::set_terminate(terminateNamingTheServersDeath), true);

} // namespace

QString firebirdDir()
{
    return qEnvironmentVariable("FB_TEST_DIR");
}

QString sysdbaPassword()
{
    QFile file(firebirdDir() + QStringLiteral("/sysdba.password"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the private Firebird server's password file is missing: is the test run by ctest?");
    return QString::fromUtf8(file.readAll());
}

QString newDatabasePath(const QString &name)
{
    static QAtomicInt counter;
    const QString dir = firebirdDir() + QStringLiteral("/db");
    QDir().mkpath(dir);
    const QString path = QStringLiteral("%1/%2-%3-%4-%5.fdb")
                             .arg(dir, QCoreApplication::applicationName(), name)
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter.fetchAndAddRelaxed(1));
    QFile::remove(path);
    return path;
}

QString overTcp(const QString &path)
{
    return QStringLiteral("localhost:") + path;
}

QString serverWithPort(const QString &host)
{
    return QStringLiteral("%1/%2").arg(host, qEnvironmentVariable("FB_TEST_PORT"));
}

QString sharedServerEnd()
{
    if (firebirdDir().isEmpty())
        return {};
    QFile pidFile(firebirdDir() + QStringLiteral("/server.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
    if (pid <= 0 || ::kill(pid, 0) == 0)
        return {};
    // The script's watching shell writes the end down as the server ends.
    QFile ended(firebirdDir() + QStringLiteral("/server.ended"));
    const QDeadlineTimer deadline(5000);
    while (!ended.exists() && !deadline.hasExpired())
        QThread::msleep(10);
    if (!ended.open(QIODevice::ReadOnly))
        return QStringLiteral("how is not known");
    return QString::fromUtf8(ended.readAll().trimmed());
}

} // namespace testsupport
