#include "StationName.h"
#include "base/Win1250.h"

#include <QSysInfo>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

class tst_StationName : public QObject {
    Q_OBJECT

private slots:
    void joinsNames_data()
    {
        QTest::addColumn<QString>("computer");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both names") << "pc01"
                                    << "novak"
                                    << "PC01_NOVAK";
        QTest::newRow("empty user") << "pc01"
                                    << ""
                                    << "PC01";
        QTest::newRow("blank user") << "pc01"
                                    << "   "
                                    << "PC01";
        QTest::newRow("control characters only") << "pc01"
                                                 << "\t\x01\x1f "
                                                 << "PC01";
        QTest::newRow("leading blanks kept") << "pc01"
                                             << "  novak"
                                             << "PC01_  NOVAK";
        QTest::newRow("trailing blanks vanish") << "pc01"
                                                << "novak  "
                                                << "PC01_NOVAK";
        QTest::newRow("whole text trimmed") << " pc01"
                                            << "novak\t"
                                            << "PC01_NOVAK";
        QTest::newRow("diacritics") << "počítač"
                                    << "čeněk.řehoř"
                                    << "POČÍTAČ_ČENĚK.ŘEHOŘ";
        QTest::newRow("empty computer") << ""
                                        << "novak"
                                        << "_NOVAK";
        QTest::newRow("no names at all") << ""
                                         << ""
                                         << "";
        // The user test trims blanks only; a no-break space is a name.
        QTest::newRow("no-break space user") << "pc"
                                             << "\u00a0"
                                             << "PC_\u00a0";
    }

    void joinsNames()
    {
        QFETCH(QString, computer);
        QFETCH(QString, user);
        QFETCH(QString, expected);
        QCOMPARE(StationNameFrom([&] { return computer; }, [&] { return user; }), expected);
    }

    void failedReadingGivesFallback()
    {
        const auto fails = []() -> QString { throw std::runtime_error("no name"); };
        const auto name = [] { return QStringLiteral("pc01"); };
        QCOMPARE(StationNameFrom(fails, name), QStringLiteral("BRIX8_LOKAL"));
        QCOMPARE(StationNameFrom(name, fails), QStringLiteral("BRIX8_LOKAL"));
    }

    void trimAtNull_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("zero inside") << QByteArray("abc\0def", 7) << QByteArray("abc");
        QTest::newRow("zero first") << QByteArray("\0abc", 4) << QByteArray();
        QTest::newRow("zeros at the end") << QByteArray("pc01\0\0\0", 7) << QByteArray("pc01");
        QTest::newRow("no zero") << QByteArray("abc") << QByteArray("abc");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void trimAtNull()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(QByteArray, expected);
        TrimAtNull(buffer);
        QCOMPARE(buffer, expected);
    }

    void readsTheSystemsNames()
    {
        const QString host = QSysInfo::machineHostName().section(u'.', 0, 0).left(15);
        const passwd *entry = getpwuid(geteuid());
        QVERIFY(entry);
        const QString user = QString::fromLocal8Bit(entry->pw_name);

        QCOMPARE(GetComputerNameText(), host);
        QCOMPARE(GetUserNameText(), user);
        QCOMPARE(StationName(), platform::upperLocale(host + u'_' + user).trimmed());
    }
};

QTEST_APPLESS_MAIN(tst_StationName)
#include "tst_StationName.moc"
