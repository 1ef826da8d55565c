#include "TestEnvironment.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

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
    // A server that dumps its core still exists while its clients already
    // meet its end: its script writes the end down once it is gone.
    QString end = sharedServerEnd();
    const QDeadlineTimer deadline(10000);
    while (end.isEmpty() && !firebirdDir().isEmpty() && !deadline.hasExpired()) {
        QThread::msleep(50);
        end = sharedServerEnd();
    }
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
    QFile ended(firebirdDir() + QStringLiteral("/server.ended"));
    return ended.open(QIODevice::ReadOnly) ? QString::fromUtf8(ended.readAll().trimmed()) : QString();
}

} // namespace testsupport
