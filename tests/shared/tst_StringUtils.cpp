#include "StringUtils.h"

#include <QTest>

class tst_StringUtils : public QObject {
    Q_OBJECT

    static void addReplaceColumns()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
    }

private slots:
    void padLeft_data()
    {
        QTest::addColumn<QString>("fill");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digit to three") << "0"
                                        << "7" << 3 << "007";
        QTest::newRow("two digits") << "0"
                                    << "42" << 3 << "042";
        QTest::newRow("exact width") << "0"
                                     << "255" << 3 << "255";
        QTest::newRow("longer is not cut") << "0"
                                           << "1234" << 3 << "1234";
        QTest::newRow("width zero") << "0"
                                    << "7" << 0 << "7";
        QTest::newRow("negative width") << "0"
                                        << "7" << -5 << "7";
        QTest::newRow("empty text") << "*"
                                    << "" << 4 << "****";
        QTest::newRow("Czech fill") << "ž"
                                    << "a" << 3 << "žža";
    }

    void padLeft()
    {
        QFETCH(QString, fill);
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(PadLeft(fill.front(), text, width), expected);
    }

    void countOccurrences_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("non-overlapping") << "aa"
                                         << "aaaa" << 2;
        QTest::newRow("odd run") << "aa"
                                 << "aaaaa" << 2;
        QTest::newRow("server and drive") << ":"
                                          << "server:C:\\data\\zelo.fdb" << 2;
        QTest::newRow("local path") << ":"
                                    << "C:\\data\\zelo.fdb" << 1;
        QTest::newRow("empty search") << ""
                                      << "abc" << 0;
        QTest::newRow("empty text") << ":"
                                    << "" << 0;
        QTest::newRow("longer search") << "abcd"
                                       << "abc" << 0;
        QTest::newRow("case matters") << "A"
                                      << "aAa" << 1;
        QTest::newRow("Czech letters") << "č"
                                       << "čočka Č č" << 3;
    }

    void countOccurrences()
    {
        QFETCH(QString, search);
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(CountOccurrences(search, text), expected);
    }

    void replaceString_data()
    {
        addReplaceColumns();
        QTest::newRow("trailing colon") << "server:"
                                        << ":"
                                        << ""
                                        << "server";
        QTest::newRow("only the first") << "a:b:c"
                                        << ":"
                                        << ""
                                        << "ab:c";
        QTest::newRow("longer replacement") << "a:b"
                                            << ":"
                                            << "::"
                                            << "a::b";
        QTest::newRow("at the start") << "xxab"
                                      << "xx"
                                      << "y"
                                      << "yab";
        QTest::newRow("case matters") << "Abca"
                                      << "a"
                                      << "-"
                                      << "Abc-";
        QTest::newRow("not found") << "abc"
                                   << "d"
                                   << "x"
                                   << "abc";
        QTest::newRow("empty search") << "abc"
                                      << ""
                                      << "x"
                                      << "abc";
        QTest::newRow("empty text") << ""
                                    << "a"
                                    << "x"
                                    << "";
        QTest::newRow("whole text") << "abc"
                                    << "abc"
                                    << ""
                                    << "";
    }

    void replaceString()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        ReplaceString(text, search, replacement);
        QCOMPARE(text, expected);
    }

    void replaceAll_data()
    {
        addReplaceColumns();
        QTest::newRow("every quote") << "\"C:\\my data\\z.fdb\""
                                     << "\""
                                     << ""
                                     << "C:\\my data\\z.fdb";
        QTest::newRow("quotes inside") << "a\"b\"\"c"
                                       << "\""
                                       << ""
                                       << "abc";
        QTest::newRow("non-overlapping from left") << "aaa"
                                                   << "aa"
                                                   << "b"
                                                   << "ba";
        QTest::newRow("replacement holds search") << "a.b"
                                                  << "."
                                                  << ".."
                                                  << "a..b";
        QTest::newRow("replacement makes new match") << "aab"
                                                     << "ab"
                                                     << "b"
                                                     << "ab";
        QTest::newRow("case matters") << "aAa"
                                      << "a"
                                      << ""
                                      << "A";
        QTest::newRow("not found") << "abc"
                                   << "d"
                                   << "x"
                                   << "abc";
        QTest::newRow("empty search") << "abc"
                                      << ""
                                      << "x"
                                      << "abc";
        QTest::newRow("empty text") << ""
                                    << "a"
                                    << "x"
                                    << "";
        QTest::newRow("Czech letters") << "řeřicha"
                                       << "ř"
                                       << "r"
                                       << "rericha";
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        ReplaceAll(text, search, replacement);
        QCOMPARE(text, expected);
    }
};

QTEST_APPLESS_MAIN(tst_StringUtils)
#include "tst_StringUtils.moc"
