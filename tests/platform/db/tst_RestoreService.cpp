// The restore service over the private server: its request bytes, the
// replies it accepts, and attach, start, output and detach.

#include "../restore/RestoreFixture.h"
#include "../restore/StalledBackup.h"

#include "TestEnvironment.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"
#include "db/Database.h"
#include "db/LoginPrompt.h"
#include "db/RestoreService.h"
#include "ui/LoginDialog.h"

using namespace platform;
using namespace restoretest;
using testsupport::DbFixture;

Q_DECLARE_METATYPE(platform::TRestoreOptions)

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(char(value));
    return result;
}

QByteArray lengthPrefixed(const QByteArray &text)
{
    return bytes({int(text.size() & 0xFF), int(text.size() >> 8)}) + text;
}

// The private server over TCP as SYSDBA, restoring with replace.
void configure(RestoreService &service, const QString &backup, const QString &databasePath)
{
    service.serverName = QStringLiteral("localhost");
    service.protocol = ServiceProtocol::Tcp;
    service.params = {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + testsupport::sysdbaPassword()};
    service.request = {
        .options = {TRestoreOption::Replace},
        .verbose = true,
        .pageSize = 4096,
        .backupFiles = {backup},
        .databaseNames = {databasePath},
    };
}

} // namespace

class TestRestoreService : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { installLoginDialog(); }

    void startRequestHasTheItemsInOrder()
    {
        const RestoreRequest request{.options = {TRestoreOption::Replace},
                                     .verbose = true,
                                     .pageSize = 4096,
                                     .backupFiles = {QStringLiteral("/b/x.gbk")},
                                     .databaseNames = {QStringLiteral("/d/x.fdb")}};
        // The items as the server reads them: options 0x1000, verbose, page size 4096, backup file, database.
        const QByteArray expected = bytes({0x02}) + bytes({0x6c, 0x00, 0x10, 0x00, 0x00}) + bytes({0x6b}) +
                                    bytes({0x0a, 0x00, 0x10, 0x00, 0x00}) + bytes({0x05, 0x08, 0x00}) + "/b/x.gbk" +
                                    bytes({0x6a, 0x08, 0x00}) + "/d/x.fdb";
        QCOMPARE(restoreStartBuffer(request).toHex(' '), expected.toHex(' '));
    }

    void startRequestLeavesOutVerboseAndPageSizeWhenNotAsked()
    {
        const RestoreRequest request{.options = {},
                                     .verbose = false,
                                     .pageSize = 0,
                                     .backupFiles = {QStringLiteral("b")},
                                     .databaseNames = {QStringLiteral("d")}};
        const QByteArray expected = bytes({0x02, 0x6c, 0, 0, 0, 0, 0x05, 1, 0}) + "b" + bytes({0x6a, 1, 0}) + "d";
        QCOMPARE(restoreStartBuffer(request).toHex(' '), expected.toHex(' '));
    }

    void startRequestCarriesPathsInUtf8()
    {
        const QString path = QStringLiteral("/zálohy/účetní.gbk");
        const RestoreRequest request{
            .options = {}, .verbose = false, .pageSize = 0, .backupFiles = {path}, .databaseNames = {}};
        QVERIFY(restoreStartBuffer(request).endsWith(bytes({0x05}) + lengthPrefixed("/z\xc3\xa1lohy/\xc3\xba\xc4\x8d"
                                                                                    "etn\xc3\xad.gbk")));
    }

    void optionFlags_data()
    {
        QTest::addColumn<TRestoreOptions>("options");
        QTest::addColumn<uint>("flags");
        QTest::newRow("none") << TRestoreOptions{} << 0u;
        QTest::newRow("DeactivateIndexes") << TRestoreOptions{TRestoreOption::DeactivateIndexes} << 0x100u;
        QTest::newRow("NoShadow") << TRestoreOptions{TRestoreOption::NoShadow} << 0x200u;
        QTest::newRow("NoValidityCheck") << TRestoreOptions{TRestoreOption::NoValidityCheck} << 0x400u;
        QTest::newRow("OneRelationAtATime") << TRestoreOptions{TRestoreOption::OneRelationAtATime} << 0x800u;
        QTest::newRow("Replace") << TRestoreOptions{TRestoreOption::Replace} << 0x1000u;
        QTest::newRow("CreateNewDB") << TRestoreOptions{TRestoreOption::CreateNewDB} << 0x2000u;
        QTest::newRow("UseAllSpace") << TRestoreOptions{TRestoreOption::UseAllSpace} << 0x4000u;
        QTest::newRow("Replace and NoShadow")
            << TRestoreOptions{TRestoreOption::Replace, TRestoreOption::NoShadow} << 0x1200u;
    }

    void optionFlags()
    {
        QFETCH(TRestoreOptions, options);
        QFETCH(uint, flags);
        QCOMPARE(uint(restoreOptionFlags(options)), flags);
    }

    void attachBuffer_data()
    {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray version = bytes({0x02, 0x02});
        // Every buffer ends with utf8_filename: its texts are UTF-8.
        const QByteArray utf8 = bytes({0x76, 0});
        QTest::newRow("both lines, Czech letters in UTF-8")
            << QStringList{"user_name=SYSDBA", "password=tajné"}
            << version + bytes({0x1c, 6}) + "SYSDBA" + bytes({0x1d, 6}) + QByteArray("tajn\xc3\xa9") + utf8;
        QTest::newRow("names in any case") << QStringList{"USER_NAME=a", "Password=b"}
                                           << version + bytes({0x1c, 1}) + "a" + bytes({0x1d, 1}) + "b" + utf8;
        QTest::newRow("user only") << QStringList{"user_name=SYSDBA"} << version + bytes({0x1c, 6}) + "SYSDBA" + utf8;
        QTest::newRow("password kept with its blanks")
            << QStringList{"password= x "} << version + bytes({0x1d, 3}) + " x " + utf8;
        QTest::newRow("no lines") << QStringList{} << version + utf8;
    }

    void attachBuffer()
    {
        QFETCH(QStringList, params);
        QFETCH(QByteArray, expected);
        QCOMPARE(serviceAttachBuffer(params).toHex(' '), expected.toHex(' '));
    }

    void managerName()
    {
        QCOMPARE(serviceManagerName(ServiceProtocol::Local, QStringLiteral("srv")), QStringLiteral("service_mgr"));
        QCOMPARE(serviceManagerName(ServiceProtocol::Tcp, QStringLiteral("srv")), QStringLiteral("srv:service_mgr"));
    }

    void lineReply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("line");
        QTest::newRow("line") << bytes({0x3e}) + lengthPrefixed("gbak:opened file x ") + bytes({0x01, 0, 0})
                              << QStringLiteral("gbak:opened file x ");
        QTest::newRow("Czech text") << bytes({0x3e}) + lengthPrefixed(toWin1250("gbak:tabulka ČÍSELNÍK ")) +
                                           bytes({0x01})
                                    << QStringLiteral("gbak:tabulka ČÍSELNÍK ");
        QTest::newRow("end of output") << bytes({0x3e, 0, 0, 0x01}) << QString();
    }

    void lineReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        QCOMPARE(serviceLineFromReply(reply), line);
    }

    void replyOfAnotherShapeRaises_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << bytes({0x02, 0x01});
        QTest::newRow("another item") << bytes({0x3f, 0, 0, 0x01});
        QTest::newRow("no end item") << bytes({0x3e, 2, 0}) + "ab" + bytes({0x3e});
        QTest::newRow("length beyond the reply") << bytes({0x3e, 0x10, 0}) + "ab" + bytes({0x01});
    }

    void replyOfAnotherShapeRaises()
    {
        QFETCH(QByteArray, reply);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, serviceLineFromReply(reply));
    }

    void replyThatTimedOut_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("timedOut");
        QTest::newRow("no line in time") << bytes({0x3e, 0, 0, 0x40, 0x01}) << true;
        QTest::newRow("end of output") << bytes({0x3e, 0, 0, 0x01}) << false;
        QTest::newRow("line") << bytes({0x3e, 2, 0}) + "ab" + bytes({0x01}) << false;
        QTest::newRow("line whose text starts with the time-out code") << bytes({0x3e, 1, 0, 0x40, 0x01}) << false;
        QTest::newRow("truncated") << bytes({0x3e, 0, 0}) << false;
    }

    void replyThatTimedOut()
    {
        QFETCH(QByteArray, reply);
        QTEST(serviceReplyTimedOut(reply), "timedOut");
    }

    void aQuietRestoreCallsOnQuietUntilItRaises()
    {
        const DbFixture target(QStringLiteral("quiet-target"));
        StalledBackup backup(QStringLiteral("quiet"));
        RestoreService service;
        configure(service, backup.path, target.path());
        int quietSpells = 0;
        service.onQuiet = [&] {
            if (++quietSpells == 2)
                throw Exception(QStringLiteral("enough"));
        };
        QStringList lines;
        QVERIFY_THROWS_EXCEPTION(Exception, service.run([&](const QString &line) { lines << line; }));
        QCOMPARE(quietSpells, 2);
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(u'\n')));
        QVERIFY(!service.isAttached());
        // Left to the server, the restore still waits on the backup.
        QVERIFY(backup.waitForReader());
    }

    void restoreReplacesTheDatabaseOverTcp()
    {
        const SampleBackup backup(QStringLiteral("tcp"));
        const DbFixture target(QStringLiteral("tcp-target"));
        addOldUser(target);
        RestoreService service;
        configure(service, backup.path, target.path());
        QStringList lines;
        service.run([&](const QString &line) { lines << line; });

        QVERIFY(!service.isAttached());
        QVERIFY(lines.size() > 10);
        QCOMPARE(lines.last(), QString());
        for (const QString &line : lines.first(lines.size() - 1))
            QVERIFY2(line.startsWith(QLatin1String("gbak:")), qPrintable(line));
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
        QCOMPARE(target.readValue(QStringLiteral("select mon$page_size from mon$database")), QStringLiteral("4096"));
    }

    void czechLettersInTheFileNamesReachTheFilesAndComeBackInTheLines()
    {
        const SampleBackup backup(QStringLiteral("záloha-účetní"));
        const DbFixture target(QStringLiteral("cíl-účetní"));
        addOldUser(target);
        RestoreService service;
        configure(service, backup.path, target.path());
        QStringList lines;
        service.run([&](const QString &line) { lines << line; });
        QCOMPARE(userCount(target), backup.rows);
        QCOMPARE(commonSurname(target), kCzechSurname);
        const QString opened = QStringLiteral("gbak:opened file %1 ").arg(backup.path);
        QVERIFY2(lines.contains(opened), qPrintable(lines.join(u'\n')));
    }

    void databaseInUseErrorIsTheServersOwn()
    {
        const SampleBackup backup(QStringLiteral("used"));
        const DbFixture target(QStringLiteral("používaná"));
        addOldUser(target);
        const auto holder = target.openConnection();
        RestoreService service;
        configure(service, backup.path, target.path());
        try {
            service.run([](const QString &) {});
            QFAIL("the restore did not fail");
        } catch (const EIBError &server) {
            const EIBError own = databaseInUseError(target.path());
            QCOMPARE(own.errorCode(), server.errorCode());
            QCOMPARE(own.sqlCode(), server.sqlCode());
            QCOMPARE(own.message(), server.message());
            QVERIFY2(own.message().contains(target.path()), qPrintable(own.message()));
        }
        QCOMPARE(commonSurname(target), kOldSurname);
    }

    void missingBackupFileRaisesTheServerError()
    {
        const DbFixture target(QStringLiteral("missing-target"));
        RestoreService service;
        const QString missing = testsupport::firebirdDir() + QStringLiteral("/chybějící záloha.gbk");
        configure(service, missing, target.path());
        try {
            service.run([](const QString &) {});
            QFAIL("the restore did not fail");
        } catch (const EIBError &error) {
            QCOMPARE(error.errorCode(), 336330817);
            QVERIFY2(error.message().contains(QStringLiteral("cannot open backup file ") + missing),
                     qPrintable(error.message()));
        }
        QVERIFY(!service.isAttached());
    }

    void failedStartDetaches_data()
    {
        QTest::addColumn<QStringList>("databases");
        QTest::addColumn<bool>("fromServer");
        // The server refuses a restore without a database, at the start or at the first query.
        QTest::newRow("no database item") << QStringList{} << true;
        QTest::newRow("path too long for the request") << QStringList{QString(70000, u'x')} << false;
    }

    void failedStartDetaches()
    {
        QFETCH(QStringList, databases);
        QFETCH(bool, fromServer);
        const SampleBackup backup(QStringLiteral("nodb"));
        RestoreService service;
        configure(service, backup.path, QString());
        service.request.databaseNames = databases;
        int lines = 0;
        try {
            service.run([&](const QString &) { ++lines; });
            QFAIL("the restore did not fail");
        } catch (const EIBError &error) {
            QVERIFY(fromServer);
            QCOMPARE(error.errorCode(), 336330762);
        } catch (const EDatabaseError &) {
            QVERIFY(!fromServer);
        }
        QCOMPARE(lines, 0);
        QVERIFY(!service.isAttached());
    }

    void detachEndsTheAttachment()
    {
        RestoreService service;
        configure(service, QStringLiteral("x.gbk"), QStringLiteral("x.fdb"));
        service.attach();
        QVERIFY(service.isAttached());
        service.detach();
        QVERIFY(!service.isAttached());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, service.nextLine());
    }

    void wrongPasswordFailsTheAttach()
    {
        RestoreService service;
        configure(service, QStringLiteral("x.gbk"), QStringLiteral("x.fdb"));
        service.params = {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=wrong")};
        try {
            service.attach();
            QFAIL("the attach did not fail");
        } catch (const EIBError &error) {
            QCOMPARE(error.errorCode(), 335544472);
        }
        QVERIFY(!service.isAttached());
    }

    void loginPromptSuppliesUserAndPassword()
    {
        const SampleBackup backup(QStringLiteral("prompt"));
        const DbFixture target(QStringLiteral("prompt-target"));
        QString askedName;
        QString offeredUser;
        setLoginHandler([&](const QString &name, QString &user, QString &password) {
            askedName = name;
            offeredUser = user;
            password = testsupport::sysdbaPassword();
            return true;
        });
        RestoreService service;
        configure(service, backup.path, target.path());
        service.params = {QStringLiteral("user_name=SYSDBA")};
        service.loginPrompt = true;
        service.run([](const QString &) {});
        QCOMPARE(askedName, QStringLiteral("localhost:service_mgr"));
        QCOMPARE(offeredUser, QStringLiteral("SYSDBA"));
        QCOMPARE(userCount(target), backup.rows);
    }

    void cancelledLoginFailsTheAttach()
    {
        setLoginHandler([](const QString &, QString &, QString &) { return false; });
        RestoreService service;
        configure(service, QStringLiteral("x.gbk"), QStringLiteral("x.fdb"));
        service.loginPrompt = true;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, service.attach());
        QVERIFY(!service.isAttached());
    }

    void readingWithoutAttachRaises()
    {
        RestoreService service;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, service.start());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, service.nextLine());
    }
};

ZELO_TEST_MAIN(TestRestoreService)
#include "tst_RestoreService.moc"
