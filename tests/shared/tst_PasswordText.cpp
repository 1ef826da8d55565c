#include "DACrypt.h"
#include "EncryptIt.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

class tst_PasswordText : public QObject {
    Q_OBJECT

    static QByteArray randomBytes(QRandomGenerator &random, int maxLength)
    {
        QByteArray bytes(random.bounded(maxLength + 1), '\0');
        for (char &c : bytes)
            c = static_cast<char>(random.bounded(256));
        return bytes;
    }

    static quint16 randomKey(QRandomGenerator &random) { return static_cast<quint16>(random.bounded(65536)); }

private slots:
    void keysHaveTheirFixedValues()
    {
        QCOMPARE(kSettingsFileKey, quint16(2587));
        QVERIFY(kUsersTableKey >= 10 && kUsersTableKey <= 99);
        QVERIFY(kUsersTableKey != kSettingsFileKey);
    }

    void encodeGivesKnownText_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << 2587 << QString();
        QTest::newRow("two letters") << QByteArray("AB") << 2587 << QStringLiteral("075138");
        QTest::newRow("settings key") << QByteArray("heslo") << 2587 << QStringLiteral("098043217108170");
        QTest::newRow("users key") << QByteArray("heslo") << 47 << QStringLiteral("104254165073132");
        QTest::newRow("key zero") << QByteArray("x") << 0 << QStringLiteral("120");
        QTest::newRow("extreme bytes, key wraps")
            << QByteArray("\x00\xff\x80\x01", 4) << 65535 << QStringLiteral("255026024066");
        QTest::newRow("Czech letters") << platform::toWin1250(QStringLiteral("Žluťoučký kůň")) << 47
                                       << QStringLiteral("142169119156072034246013245054069244210");
    }

    void encodeGivesKnownText()
    {
        QFETCH(QByteArray, password);
        QFETCH(int, key);
        QFETCH(QString, text);
        QCOMPARE(EncodePassword(platform::fromWin1250(password), quint16(key)), text);
        QCOMPARE(DecodePassword(text, quint16(key)), platform::fromWin1250(password));
    }

    // Every byte string and key: the text form is three digits 000..255 per
    // byte, and it reads back to the same bytes.
    void randomPasswordsRoundTrip()
    {
        QRandomGenerator random(20240611);
        const QRegularExpression groups(QStringLiteral("^(?:[01][0-9][0-9]|2[0-4][0-9]|25[0-5])*$"));
        for (int i = 0; i < 5000; ++i) {
            const QByteArray bytes = randomBytes(random, 40);
            const quint16 key = randomKey(random);
            const QString password = platform::fromWin1250(bytes);
            const QString text = EncodePassword(password, key);
            QCOMPARE(text.size(), bytes.size() * 3);
            QVERIFY2(groups.match(text).hasMatch(), qPrintable(text));
            QCOMPARE(EncodePassword(password, key), text);
            const QString decoded = DecodePassword(text, key);
            QCOMPARE(decoded, password);
            QCOMPARE(platform::toWin1250(decoded), bytes);
        }
    }

    void scramblingRoundTripsAndKeepsLength()
    {
        QRandomGenerator random(7182);
        for (int i = 0; i < 5000; ++i) {
            const QByteArray bytes = randomBytes(random, 64);
            const quint16 key = randomKey(random);
            const QByteArray scrambled = Encrypt(bytes, key);
            QCOMPARE(scrambled.size(), bytes.size());
            QCOMPARE(Decrypt(scrambled, key), bytes);
        }
    }

    // The users table may cut a long text: the cut text still reads as the
    // password's beginning.
    void textOfPrefixIsPrefixOfText()
    {
        QRandomGenerator random(3906);
        for (int i = 0; i < 2000; ++i) {
            const QString password = platform::fromWin1250(randomBytes(random, 30));
            const quint16 key = randomKey(random);
            const qsizetype n = random.bounded(password.size() + 1);
            const QString whole = EncodePassword(password, key);
            QCOMPARE(EncodePassword(password.left(n), key), whole.left(3 * n));
            QCOMPARE(DecodePassword(whole.left(3 * n), key), password.left(n));
        }
    }

    void tenCharactersGiveThirtyDigits()
    {
        QCOMPARE(EncodePassword(QStringLiteral("0123456789"), kUsersTableKey).size(), 30);
    }

    void byteZeroAndHighBytesRoundTrip_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("byte zero alone") << QString(QChar(0));
        QTest::newRow("byte zero inside") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("Czech letters") << QStringLiteral("příliš žluťoučký kůň úpěl ďábelské ódy");
        QTest::newRow("upper Czech letters") << QStringLiteral("ŘÍČŠŽÝÁÉŮÚĚŇŤĎ");
    }

    void byteZeroAndHighBytesRoundTrip()
    {
        QFETCH(QString, password);
        for (const quint16 key : {kSettingsFileKey, kUsersTableKey})
            QCOMPARE(DecodePassword(EncodePassword(password, key), key), password);
    }

    void trailingCharactersAreIgnored_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::newRow("one digit") << QStringLiteral("1");
        QTest::newRow("two digits") << QStringLiteral("12");
        QTest::newRow("a letter") << QStringLiteral("x");
    }

    void trailingCharactersAreIgnored()
    {
        QFETCH(QString, tail);
        const QString text = EncodePassword(QStringLiteral("tajné"), kUsersTableKey);
        QCOMPARE(DecodePassword(text + tail, kUsersTableKey), QStringLiteral("tajné"));
    }

    // A group that is not three digits ends the reading; what came before
    // is kept.
    void badGroupEndsDecoding_data()
    {
        QTest::addColumn<QString>("badGroup");
        QTest::newRow("letter last") << QStringLiteral("12x");
        QTest::newRow("letter first") << QStringLiteral("x12");
        QTest::newRow("leading blank") << QStringLiteral(" 12");
        QTest::newRow("sign") << QStringLiteral("-12");
        QTest::newRow("plus") << QStringLiteral("+12");
        QTest::newRow("non-ASCII digit") << QStringLiteral("1٢3");
    }

    void badGroupEndsDecoding()
    {
        QFETCH(QString, badGroup);
        const QString text = EncodePassword(QStringLiteral("heslo"), kUsersTableKey);
        const QString damaged = text.left(6) + badGroup + text.mid(9);
        QCOMPARE(DecodePassword(damaged, kUsersTableKey), QStringLiteral("he"));
        QCOMPARE(DecodePassword(badGroup + text, kUsersTableKey), QString());
    }

    void groupAboveByteRangeCountsModulo256()
    {
        for (const quint16 key : {kSettingsFileKey, kUsersTableKey, quint16(0), quint16(65535)}) {
            QCOMPARE(DecodePassword(QStringLiteral("300"), key), DecodePassword(QStringLiteral("044"), key));
            QCOMPARE(DecodePassword(QStringLiteral("999256"), key), DecodePassword(QStringLiteral("231000"), key));
        }
    }

    void otherKeyGivesOtherTextWithoutError()
    {
        const QString password = QStringLiteral("Administrátor1");
        const QString text = EncodePassword(password, kSettingsFileKey);
        QVERIFY(EncodePassword(password, kUsersTableKey) != text);
        const QString misread = DecodePassword(text, kUsersTableKey);
        QCOMPARE(misread.size(), password.size());
        QVERIFY(misread != password);
    }

    void inputIsNotChanged()
    {
        const QByteArray bytes("heslo");
        const QByteArray scrambled = Encrypt(bytes, 1234);
        QCOMPARE(bytes, QByteArray("heslo"));
        QVERIFY(scrambled != bytes);
        QCOMPARE(Decrypt(scrambled, 1234), bytes);
    }

    void characterOutsideCodePageIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(EConvertError, EncodePassword(QStringLiteral("heslo✓"), kUsersTableKey));
    }
};

QTEST_APPLESS_MAIN(tst_PasswordText)
#include "tst_PasswordText.moc"
