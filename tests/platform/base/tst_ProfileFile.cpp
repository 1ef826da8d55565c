#include "base/Exceptions.h"
#include "base/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::ProfileFile;

class tst_ProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;

    void writeBytes(const QByteArray &bytes)
    {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray readBytes() const
    {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A file as another program leaves it: CRLF, comments, blank lines and
    // other sections around the one the program writes.
    static QByteArray foreignFile()
    {
        return QByteArray("; nastaven\xed programu\r\n"
                          "[Other]\r\n"
                          "Database=keep me\r\n"
                          "\r\n"
                          "[IBServer]\r\n"
                          "  Server = srv01  \r\n"
                          "; comment = not a key\r\n"
                          "Database=C:\\Data\\\xda\xe8\x65tnictv\xed.fdb\r\n"
                          "\r\n"
                          "[PC01_NOVAK_Login]\r\n"
                          "LastUziv=NOV\xc1K\r\n");
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("zelo.ini"));
        QFile::remove(path_);
    }

    void readsWindows1250Values()
    {
        writeBytes(foreignFile());
        const ProfileFile profile(path_);
        QCOMPARE(profile.readString("IBServer", "Database", "-"), QStringLiteral("C:\\Data\\Účetnictví.fdb"));
        QCOMPARE(profile.readString("PC01_NOVAK_Login", "LastUziv", "-"), QStringLiteral("NOVÁK"));
        QCOMPARE(profile.readString("IBServer", "Server", "-"), QStringLiteral("srv01"));
        QCOMPARE(profile.readString("Other", "Database", "-"), QStringLiteral("keep me"));
    }

    void readString_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing section") << "Nothing"
                                         << "Database"
                                         << "default";
        QTest::newRow("missing key") << "IBServer"
                                     << "Password"
                                     << "default";
        QTest::newRow("comment is no key") << "IBServer"
                                           << "; comment"
                                           << "default";
        QTest::newRow("empty value") << "IBServer"
                                     << "Empty"
                                     << "";
        QTest::newRow("section in other case") << "ibserver"
                                               << "Server"
                                               << "srv01";
        QTest::newRow("key in other case") << "IBServer"
                                           << "SERVER"
                                           << "srv01";
        QTest::newRow("quotes dropped") << "IBServer"
                                        << "Quoted"
                                        << "a b";
        QTest::newRow("key of the other section") << "Other"
                                                  << "Server"
                                                  << "other";
        QTest::newRow("key after a blank line") << "IBServer"
                                                << "Late"
                                                << "yes";
    }

    void readString()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeBytes(
            "[Other]\nServer=other\n[IBServer]\nServer=srv01\n; comment=x\nEmpty=\nQuoted=\"a b\"\n\nLate=yes\n");
        QCOMPARE(ProfileFile(path_).readString(section, key, "default"), expected);
    }

    void missingFileGivesDefaults()
    {
        const ProfileFile profile(dir_.filePath("none.ini"));
        QCOMPARE(profile.readString("IBServer", "Server", "výchozí"), QStringLiteral("výchozí"));
        QCOMPARE(profile.readInteger("IBServer", "SQLDialect", 3), 3);
        QCOMPARE(profile.readBool("IBServer", "Local", true), true);
    }

    void readInteger_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("negative") << "-7" << -7;
        QTest::newRow("blanks around") << "  3  " << 3;
        QTest::newRow("hex lower prefix") << "0x1F" << 31;
        QTest::newRow("hex upper prefix") << "0X1f" << 31;
        QTest::newRow("prefix only") << "0x" << -1;
        QTest::newRow("garbage") << "abc" << -1;
        QTest::newRow("trailing garbage") << "12abc" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("too large") << "99999999999" << -1;
    }

    void readInteger()
    {
        QFETCH(QString, value);
        QFETCH(int, expected);
        ProfileFile profile(path_);
        profile.writeString("S", "K", value);
        QCOMPARE(profile.readInteger("S", "K", -1), expected);
    }

    void readBool_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("one") << "1" << false << true;
        QTest::newRow("zero") << "0" << true << false;
        QTest::newRow("other number") << "2" << false << true;
        QTest::newRow("hex") << "0x10" << false << true;
        QTest::newRow("garbage, default true") << "ano" << true << true;
        QTest::newRow("garbage, default false") << "ano" << false << false;
    }

    void readBool()
    {
        QFETCH(QString, value);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        ProfileFile profile(path_);
        profile.writeString("S", "K", value);
        QCOMPARE(profile.readBool("S", "K", defaultValue), expected);
    }

    void writingKeepsEveryOtherLine_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray original = foreignFile();
        QByteArray changed = original;
        changed.replace("Database=C:\\Data\\\xda\xe8\x65tnictv\xed.fdb", "Database=D:\\\xc8\xed\x73la.fdb");
        QTest::newRow("existing key") << "IBServer"
                                      << "Database" << changed;
        changed = original;
        changed.replace("  Server = srv01  ", "Database=D:\\\xc8\xed\x73la.fdb");
        QTest::newRow("key in other case") << "ibserver"
                                           << "Server" << changed;
        changed = original;
        changed.replace(".fdb\r\n\r\n", ".fdb\r\nPath=D:\\\xc8\xed\x73la.fdb\r\n\r\n");
        QTest::newRow("new key in section") << "IBServer"
                                            << "Path" << changed;
        QTest::newRow("new section") << "Nový"
                                     << "Database" << original + "[Nov\xfd]\r\nDatabase=D:\\\xc8\xed\x73la.fdb\r\n";
    }

    void writingKeepsEveryOtherLine()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, expected);
        // The key line is written with the caller's spelling of the key.
        expected.replace("Database=D:", (key + "=D:").toLatin1());
        writeBytes(foreignFile());
        ProfileFile profile(path_);
        profile.writeString(section, key, QStringLiteral("D:\\Čísla.fdb"));
        QCOMPARE(readBytes(), expected);
        QCOMPARE(profile.readString(section, key, "-"), QStringLiteral("D:\\Čísla.fdb"));
    }

    void writingKeepsLineFeedsAndMissingLastNewline()
    {
        writeBytes("[A]\nx=1\n[B]\ny=2");
        ProfileFile profile(path_);
        profile.writeString("B", "z", "3");
        QCOMPARE(readBytes(), QByteArray("[A]\nx=1\n[B]\ny=2\nz=3\n"));
        profile.writeString("C", "w", "4");
        QCOMPARE(readBytes(), QByteArray("[A]\nx=1\n[B]\ny=2\nz=3\n[C]\nw=4\n"));
    }

    void writingCreatesFileAndSection()
    {
        ProfileFile profile(path_);
        profile.writeString("IBServer", "Database", QStringLiteral("účty.fdb"));
        profile.writeInteger("IBServer", "SQLDialect", 3);
        profile.writeBool("IBServer", "Local", true);
        QCOMPARE(readBytes(), QByteArray("[IBServer]\r\nDatabase=\xfa\xe8ty.fdb\r\nSQLDialect=3\r\nLocal=1\r\n"));
        QCOMPARE(profile.readInteger("IBServer", "SQLDialect", 1), 3);
        QCOMPARE(profile.readBool("IBServer", "Local", false), true);
    }

    void secondWriteOfSameValueChangesNothing()
    {
        writeBytes(foreignFile());
        ProfileFile profile(path_);
        profile.writeString("Nový", "Klíč", "hodnota");
        const QByteArray once = readBytes();
        profile.writeString("Nový", "Klíč", "hodnota");
        QCOMPARE(readBytes(), once);
    }

    void unwritableFileNamesThePath_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("folder is a file") << "zelo.ini/inner.ini";
        QTest::newRow("missing folder") << "missing/zelo.ini";
        QTest::newRow("path is a folder") << "folder";
    }

    void unwritableFileNamesThePath()
    {
        QFETCH(QString, fileName);
        writeBytes("[A]\r\n");
        QVERIFY(QDir(dir_.path()).mkpath("folder"));
        const QString path = dir_.filePath(fileName);
        ProfileFile profile(path);
        try {
            profile.writeString("IBServer", "Server", "x");
            QFAIL("no error raised");
        } catch (const EInOutError &e) {
            QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        }
    }

    void characterOutsideCodePageIsRefusedAndFileKept()
    {
        writeBytes(foreignFile());
        ProfileFile profile(path_);
        QVERIFY_THROWS_EXCEPTION(EConvertError, profile.writeString("IBServer", "Server", "✓"));
        QCOMPARE(readBytes(), foreignFile());
    }
};

QTEST_APPLESS_MAIN(tst_ProfileFile)
#include "tst_ProfileFile.moc"
