// The private server script owns only the folders it made: it empties and
// stops nothing in a folder that lacks its marker, and a busy port names the
// setting that moves it.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kMarker = QStringLiteral(".fbserver-folder");

struct ScriptRun {
    int exitCode = -1;
    QString errors;
};

ScriptRun runScript(const QStringList &arguments, const QString &portSetting = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FB_PORT_SETTING"));
    if (!portSetting.isEmpty())
        environment.insert(QStringLiteral("FB_PORT_SETTING"), portSetting);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("ZELO_SOURCE_DIR") + QStringLiteral("/scripts/fbserver.sh"), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
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
