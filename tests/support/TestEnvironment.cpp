#include "TestEnvironment.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace testsupport {

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

} // namespace testsupport
