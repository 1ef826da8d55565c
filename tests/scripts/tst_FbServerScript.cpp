// The private server script owns only the folders it made: it empties and
// stops nothing in a folder that lacks its marker, and a busy port names the
// setting that moves it. A port held by a connection is told from a server
// that failed, and a server that died tells how it ended. The ports of the
// scripts keep out of the range the system gives client connections.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString kMarker = QStringLiteral(".fbserver-folder");

struct ScriptRun {
    int exitCode = -1;
    QString errors;
};

ScriptRun runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    // A start waits up to 90 s for a server that retries its port.
    if (!process.waitForFinished(150000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

ScriptRun runScript(const QStringList &arguments, const QString &portSetting = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FB_PORT_SETTING"));
    if (!portSetting.isEmpty())
        environment.insert(QStringLiteral("FB_PORT_SETTING"), portSetting);
    return runProgram(qEnvironmentVariable("ZELO_SOURCE_DIR") + QStringLiteral("/scripts/fbserver.sh"), arguments,
                      environment);
}

// Sources the scripts' port settings with the given base.
ScriptRun sourcePorts(int base)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELO_PORT_BASE"), QString::number(base));
    return runProgram(QStringLiteral("bash"),
                      {QStringLiteral("-c"), QStringLiteral("source \"$1\""), QStringLiteral("ports"),
                       qEnvironmentVariable("ZELO_SOURCE_DIR") + QStringLiteral("/scripts/ports.sh")},
                      environment);
}

// The lowest and the highest port the system gives client connections.
QPair<int, int> clientPortRange()
{
    QFile file(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> ends = file.readAll().simplified().split(' ');
    return {ends.value(0).toInt(), ends.value(1).toInt()};
}

// A port that nothing listens on now.
quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// True while the process runs; false once it has ended, also when it is a
// child not yet reaped.
bool runningNotEnded(qint64 pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype nameEnd = stat.lastIndexOf(')');
    return nameEnd >= 0 && stat.size() > nameEnd + 2 && stat[nameEnd + 2] != 'Z';
}

} // namespace

class TestFbServerScript : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

private slots:
    void startLeavesAFolderItDidNotMakeAlone_data()
    {
        QTest::addColumn<bool>("plainFile");
        QTest::newRow("folder with a file of someone else's") << false;
        QTest::newRow("a file in place of the folder") << true;
    }
    void startLeavesAFolderItDidNotMakeAlone()
    {
        QFETCH(bool, plainFile);
        const QString target = path(QString::fromLatin1(QTest::currentDataTag()));
        const QString kept = plainFile ? target : target + QStringLiteral("/keep.txt");
        if (!plainFile)
            QVERIFY(QDir().mkpath(target));
        QVERIFY(writeFile(kept, "mine"));

        const ScriptRun run = runScript({QStringLiteral("start"), target, QStringLiteral("1")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("is not a server folder made by this script")),
                 qPrintable(run.errors));
        QCOMPARE(readFile(kept), QByteArray("mine"));
        QVERIFY(!QFile::exists(target + QLatin1Char('/') + kMarker));
    }

    void stopLeavesAProcessNamedInAForeignFolderAlone()
    {
        QProcess bystander;
        bystander.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(bystander.waitForStarted());
        const QString target = path(QStringLiteral("pidfile"));
        QVERIFY(QDir().mkpath(target));
        QVERIFY(writeFile(target + QStringLiteral("/server.pid"), QByteArray::number(bystander.processId())));

        QCOMPARE(runScript({QStringLiteral("stop"), target}).exitCode, 0);
        QVERIFY(runningNotEnded(bystander.processId()));
        QVERIFY(QFile::exists(target + QStringLiteral("/server.pid")));
        bystander.kill();
        bystander.waitForFinished();
    }

    void busyPortNamesTheSettingThatMovesIt_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("named");
        QTest::newRow("a build of one's own") << QString() << "choose another with FB_TEST_PORT";
        QTest::newRow("the scripts") << "ZELO_PORT_BASE"
                                     << "choose another with ZELO_PORT_BASE";
    }
    void busyPortNamesTheSettingThatMovesIt()
    {
        QFETCH(QString, setting);
        QFETCH(QString, named);
        QTcpServer busy;
        QVERIFY(busy.listen(QHostAddress::LocalHost));
        const QString port = QString::number(busy.serverPort());

        const ScriptRun run = runScript({QStringLiteral("start"), path(QStringLiteral("busy-") + port), port}, setting);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("port %1 on 127.0.0.1 is already in use").arg(port)),
                 qPrintable(run.errors));
        QVERIFY2(run.errors.contains(named), qPrintable(run.errors));
    }

    void startEmptiesAFolderItMade()
    {
        QTcpServer busy; // the start stops at the port, after the folder is prepared
        QVERIFY(busy.listen(QHostAddress::LocalHost));
        const QString port = QString::number(busy.serverPort());
        const QString target = path(QStringLiteral("own"));

        QCOMPARE(runScript({QStringLiteral("start"), target, port}).exitCode, 1);
        QVERIFY(QFile::exists(target + QLatin1Char('/') + kMarker));
        QVERIFY(writeFile(target + QStringLiteral("/left-over.fdb"), "old"));

        QCOMPARE(runScript({QStringLiteral("start"), target, port}).exitCode, 1);
        QVERIFY(!QFile::exists(target + QStringLiteral("/left-over.fdb")));
        QVERIFY(QFile::exists(target + QLatin1Char('/') + kMarker));
    }

    void portBaseIsKeptOutOfTheClientPortRange_data()
    {
        QTest::addColumn<int>("offsetFromTheRange");
        QTest::addColumn<bool>("refused");
        // The highest port of a base is the sanitizer build's test port +90.
        QTest::newRow("highest port just below the range") << -92 << false;
        QTest::newRow("highest port the range's first") << -91 << true;
        QTest::newRow("base the range's last") << 0 << true;
        QTest::newRow("base just above the range") << 1 << false;
    }
    void portBaseIsKeptOutOfTheClientPortRange()
    {
        QFETCH(int, offsetFromTheRange);
        QFETCH(bool, refused);
        const auto [low, high] = clientPortRange();
        QVERIFY(low > 0 && high >= low);
        const int base = offsetFromTheRange < 0 ? low + offsetFromTheRange : high + offsetFromTheRange;
        if (base < 1024 || base > 65535 - 91)
            QSKIP("this system's range leaves no such base");

        const ScriptRun run = sourcePorts(base);
        QCOMPARE(run.exitCode, refused ? 2 : 0);
        QCOMPARE(run.errors.contains(QStringLiteral("inside the range the system gives client connections")), refused);
    }

    void portHeldByAConnectionIsToldFromAFailedServer()
    {
        const quint16 port = freePort();
        QVERIFY(port != 0);
        // A client's connection whose own end is the port, as the system may
        // give one from its range; without SO_REUSEADDR, as clients have it.
        QTcpServer peer;
        QVERIFY(peer.listen(QHostAddress::LocalHost));
        QTcpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress));
        holder.connectToHost(QHostAddress::LocalHost, peer.serverPort());
        QVERIFY(holder.waitForConnected());

        const ScriptRun run = runScript({QStringLiteral("start"), path(QStringLiteral("held")), QString::number(port)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("port %1 on 127.0.0.1 is held by a connection").arg(port)),
                 qPrintable(run.errors));
        QVERIFY2(run.errors.contains(QStringLiteral("ESTAB")), qPrintable(run.errors));
        QVERIFY(!run.errors.contains(QStringLiteral("the server failed to start")));
    }

    void stopOfAServerThatDiedTellsHowItEnded()
    {
        const QString target = path(QStringLiteral("dies"));
        const quint16 port = freePort();
        QVERIFY(port != 0);
        const ScriptRun started = runScript({QStringLiteral("start"), target, QString::number(port)});
        QVERIFY2(started.exitCode == 0, qPrintable(started.errors));
        const pid_t server = pid_t(readFile(target + QStringLiteral("/server.pid")).trimmed().toInt());
        QVERIFY(server > 0);
        QCOMPARE(::kill(server, SIGBUS), 0);
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(target + QStringLiteral("/server.ended")); }, 30000));

        const ScriptRun stopped = runScript({QStringLiteral("stop"), target});
        QCOMPARE(stopped.exitCode, 1);
        QVERIFY2(stopped.errors.contains(QStringLiteral("died before it was stopped (signal 7, SIGBUS)")),
                 qPrintable(stopped.errors));
        // Stopped once, the folder's server is no one's to report again.
        QCOMPARE(runScript({QStringLiteral("stop"), target}).exitCode, 0);
    }

    void stopOfARunningServerSucceeds()
    {
        const QString target = path(QStringLiteral("stops"));
        const quint16 port = freePort();
        QVERIFY(port != 0);
        const ScriptRun started = runScript({QStringLiteral("start"), target, QString::number(port)});
        QVERIFY2(started.exitCode == 0, qPrintable(started.errors));
        const qint64 server = readFile(target + QStringLiteral("/server.pid")).trimmed().toLongLong();
        QVERIFY(server > 0);
        const ScriptRun stopped = runScript({QStringLiteral("stop"), target});
        QVERIFY2(stopped.exitCode == 0, qPrintable(stopped.errors));
        QVERIFY(!runningNotEnded(server));
    }

    void badPortIsRefusedBeforeAnythingIsMade_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("not a number") << "abc";
        QTest::newRow("zero") << "0";
        QTest::newRow("above 65535") << "70000";
    }
    void badPortIsRefusedBeforeAnythingIsMade()
    {
        QFETCH(QString, port);
        const QString target = path(QStringLiteral("badport"));
        const ScriptRun run = runScript({QStringLiteral("start"), target, port});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.errors.contains(QStringLiteral("is not a port number")), qPrintable(run.errors));
        QVERIFY(!QFile::exists(target));
    }
};

QTEST_GUILESS_MAIN(TestFbServerScript)
#include "tst_FbServerScript.moc"
