#pragma once

// A Firebird server of a test's own beside the shared one, for tests that stop
// or kill a server: its folder lies in the shared server's folder, its port is
// the one the build declares in the named environment variable. Databases kept
// across a restart belong outside its folder (start makes the folder anew).

#include <QString>
#include <QStringList>

namespace testsupport {

class PrivateServer {
public:
    // SYSDBA's password is the shared server's unless one is given; the
    // server script sets it through isql.
    PrivateServer(const QString &name, const char *portVariable, const QString &sysdbaPassword = QString());
    // Stops the server.
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    // False when the script fails; errors() then tells why.
    bool start();
    // As an administrator stops it (SIGTERM).
    void stop();
    // As a crash ends it (SIGKILL); returns once its port takes no connection.
    bool kill();

    // What the script wrote to its error output the last time it ran.
    QString errors() const { return errors_; }
    QString dir() const { return dir_; }
    int port() const { return port_; }
    // The server over TCP by its port, whatever the client's default port:
    // "localhost/PORT:path".
    QString databaseName(const QString &path) const;

private:
    bool script(const QStringList &arguments);
    QString dir_;
    QString errors_;
    int port_;
    QString sysdbaPassword_;
};

} // namespace testsupport
