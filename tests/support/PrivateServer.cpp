#include "PrivateServer.h"

#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

bool portAccepts(int port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool accepted = ::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(socket);
    return accepted;
}

} // namespace

PrivateServer::PrivateServer(const QString &name, const char *portVariable, const QString &sysdbaPassword)
    : dir_(firebirdDir() + QLatin1Char('/') + name), port_(qEnvironmentVariableIntValue(portVariable)),
      sysdbaPassword_(sysdbaPassword.isEmpty() ? testsupport::sysdbaPassword() : sysdbaPassword)
{
}

PrivateServer::~PrivateServer()
{
    stop();
}

bool PrivateServer::start()
{
    return script({QStringLiteral("start"), dir_, QString::number(port_)});
}

void PrivateServer::stop()
{
    script({QStringLiteral("stop"), dir_});
}

bool PrivateServer::kill()
{
    QFile pidFile(dir_ + QStringLiteral("/server.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
    if (pid <= 0 || ::kill(pid, SIGKILL) != 0)
        return false;
    // The killed server is not our child: its closed port shows it is gone.
    QDeadlineTimer deadline(30000);
    while (portAccepts(port_)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

QString PrivateServer::databaseName(const QString &path) const
{
    return QStringLiteral("localhost/%1:%2").arg(port_).arg(path);
}

bool PrivateServer::script(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FB_TEST_PASSWORD"), sysdbaPassword_);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("ZELO_SOURCE_DIR") + QStringLiteral("/scripts/fbserver.sh"), arguments);
    // A start waits up to 90 s for a server that retries its port.
    const bool finished = process.waitForFinished(150000);
    errors_ = QString::fromLocal8Bit(process.readAllStandardError());
    if (!finished)
        errors_ += QStringLiteral("(the server script did not finish in 150 s)");
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace testsupport
