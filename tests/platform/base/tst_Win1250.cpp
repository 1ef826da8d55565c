#include "base/Exceptions.h"
#include "base/Win1250.h"

#include <QTest>

using platform::fromServerText;
using platform::fromWin1250;
using platform::toWin1250;

class tst_Win1250 : public QObject {
    Q_OBJECT

private slots:
    void everyByteRoundTrips()
    {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        const QString text = fromWin1250(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(toWin1250(text), all);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(toWin1250(text.mid(i, 1)), all.mid(i, 1));
    }

    void czechLetters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("small") << "áčďéěíňóřšťúůýž"
                               << QByteArray("\xe1\xe8\xef\xe9\xec\xed\xf2\xf3\xf8\x9a\x9d\xfa\xf9\xfd\x9e");
        QTest::newRow("capital") << "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ"
                                 << QByteArray("\xc1\xc8\xcf\xc9\xcc\xcd\xd2\xd3\xd8\x8a\x8d\xda\xd9\xdd\x8e");
        QTest::newRow("ASCII") << "zelo.ini" << QByteArray("zelo.ini");
        QTest::newRow("empty") << "" << QByteArray();
    }

    void czechLetters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toWin1250(text), bytes);
        QCOMPARE(fromWin1250(bytes), text);
    }

    void unencodableCharacterIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("check mark") << "ok ✓";
        QTest::newRow("Cyrillic") << "Москва";
        QTest::newRow("outside the basic plane") << "a\U0001F600";
    }

    void unencodableCharacterIsRefused()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(EConvertError, toWin1250(text));
    }

    void loneSurrogateIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("high at the end") << QStringLiteral("heslo") + QChar(0xD800);
        QTest::newRow("high alone") << QString(QChar(0xDBFF));
        QTest::newRow("high in the middle") << QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
        QTest::newRow("low alone") << QString(QChar(0xDC00));
    }

    void loneSurrogateIsRefused()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(EConvertError, toWin1250(text));
    }

    // No character is replaced or dropped silently: it converts exactly or
    // it is refused.
    void everyCharacterConvertsExactlyOrIsRefused()
    {
        int converted = 0;
        for (char32_t u = 0; u < 0x10000; ++u) {
            const QString text{QChar(char16_t(u))};
            try {
                const QByteArray bytes = toWin1250(text);
                QCOMPARE(bytes.size(), 1);
                QCOMPARE(fromWin1250(bytes), text);
                ++converted;
            } catch (const EConvertError &) {
            }
        }
        QCOMPARE(converted, 256);
    }

    void upperLocale_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Czech letters") << "čřůžýáíéěňťďóš"
                                       << "ČŘŮŽÝÁÍÉĚŇŤĎÓŠ";
        QTest::newRow("mixed") << "Novák, ulice 5"
                               << "NOVÁK, ULICE 5";
        QTest::newRow("already upper") << "ČŘŮ"
                                       << "ČŘŮ";
        // ß has no one-character upper case; ÿ's upper case Ÿ is not in the code page.
        QTest::newRow("no single upper case") << "ßÿ"
                                              << "ßÿ";
        QTest::newRow("empty") << ""
                               << "";
    }

    void upperLocale()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString upper = platform::upperLocale(text);
        QCOMPARE(upper, expected);
        QCOMPARE(upper.size(), text.size());
    }

    void upperAscii()
    {
        QCOMPARE(platform::upperAscii(QStringLiteral("abc xyz č ř ů 09_$")), QStringLiteral("ABC XYZ č ř ů 09_$"));
        QCOMPARE(platform::upperAscii(QString()), QString());
    }

    // The server quotes file names in the bytes they were sent in (UTF-8)
    // and may send other Czech text in Windows-1250.
    void serverText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString path = QStringLiteral("cannot open backup file /data/záloha.gbk");
        QTest::newRow("UTF-8 path") << path.toUtf8() << path;
        const QString line = QStringLiteral("gbak:opened file /data/obnova_čřžůĚŠČŘŽÝÁÍÉÚŮ.fdb ");
        QTest::newRow("UTF-8 capitals and small letters") << line.toUtf8() << line;
        const QString key = QStringLiteral("Problematic key value is (\"UZI$PRIJMENI\" = 'Dvořáková')");
        QTest::newRow("Windows-1250 text") << toWin1250(key) << key;
        const QString table = QStringLiteral("gbak:tabulka ČÍSELNÍK ÚČTŮ ");
        QTest::newRow("Windows-1250 capitals") << toWin1250(table) << table;
        QTest::newRow("plain ASCII") << QByteArray("gbak:finishing, closing, and going home ")
                                     << QStringLiteral("gbak:finishing, closing, and going home ");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void serverText()
    {
        QFETCH(QByteArray, bytes);
        QTEST(fromServerText(bytes), "text");
    }
};

QTEST_APPLESS_MAIN(tst_Win1250)
#include "tst_Win1250.moc"
