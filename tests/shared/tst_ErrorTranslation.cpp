#include "ErrorTranslation.h"
#include "SchemaTables.h"
#include "base/Win1250.h"

#include <QSet>
#include <QTest>

#include <stdexcept>

namespace {
const QString kRightsSentence =
    QStringLiteral("Pro vybranou akci nemáte nastavena práva! Kontaktujte správce databáze!");
const QString kReadOnly = QStringLiteral("Data jsou určena pouze pro čtení!");

QString rightsWithTable(const QString &caption, const QString &message)
{
    return kRightsSentence + QStringLiteral("\r\nTabulka: ") + caption + QStringLiteral("\r\n\r\n") + message;
}

QString ib(int code, const QString &message)
{
    return TranslateIBError(EIBError(message, code));
}
} // namespace

class tst_ErrorTranslation : public QObject {
    Q_OBJECT

    static void addIBColumns()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
    }

    static void compareIB()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        QCOMPARE(ib(code, message), expected);
    }

private slots:
    // One row per status code of the server.
    void statusCodes_data()
    {
        addIBColumns();
        const QString locked = QStringLiteral("Věta je uzamčena jiným uživatelem!");
        QTest::newRow("335544336") << 335544336 << "deadlock" << locked;
        QTest::newRow("335544345") << 335544345 << "lock conflict on no wait transaction" << locked;
        QTest::newRow("335544347") << 335544347 << "validation error for column UZI$PRIJMENI, value \"*** null ***\""
                                   << "Chybně vyplněný údaj \"UZI$PRIJMENI\" !";
        QTest::newRow("335544349")
            << 335544349
            << "attempt to store duplicate value (visible to active transactions) in unique index \"IDX_SUB_PRO\""
            << "Pokus o uložení duplicitní hodnoty.\r\n\r\n(chyba: \"Subjekty nesmí obsahovat 2 záznamy se stejnými "
               "údaji IČ a provoz\")";
        const QString unquoted = QStringLiteral("no permission for insert/write access to table SUBJEKT");
        QTest::newRow("335544352") << 335544352 << unquoted << rightsWithTable("Subjekty", unquoted);
        const QString quoted = QStringLiteral("no permission for SELECT access to TABLE \"FAKTURA\"");
        QTest::newRow("335544553") << 335544553 << quoted << rightsWithTable("Faktury", quoted);
        QTest::newRow("335544707") << 335544707 << "" << kRightsSentence;
        QTest::newRow("335544466")
            << 335544466 << "violation of FOREIGN KEY constraint \"FK_SUB_STA\" on table \"SUBJEKT\""
            << "Porušení závislosti na jiné tabulce v tabulce \"Subjekty\" !\r\n\r\n(závislost: \"Kód státu musí "
               "existovat v číselníku států\")";
        QTest::newRow("335544472") << 335544472 << "Your user name and password are not defined"
                                   << "Přihlašovací jméno a heslo nejsou definovány v seznamu uživatelů. Kontaktujte "
                                      "správce databáze!";
        QTest::newRow("335544665")
            << 335544665
            << "violation of PRIMARY or UNIQUE KEY constraint \"INTEG_2\" on table \"DB$UZIV\"\r\nProblematic key "
               "value is (\"UZI$LOGIN\" = 'dvorak')"
            << "Pokus o uložení duplicitního záznamu v tabulce \"DB$UZIV\" !\r\n\r\n(chyba: \"INTEG_2\")";
        QTest::newRow("335544673") << 335544673 << "x"
                                   << "Vybraný záznam nelze smazat!";
        QTest::newRow("335544675") << 335544675 << "x"
                                   << "Chyba třídění!";
        QTest::newRow("335544721") << 335544721
                                   << "Unable to complete network request to host \"server01\".\r\nFailed to "
                                      "establish a connection."
                                   << "Chyba při pokusu o připojení k síťovému počítači \"server01\" !";
        QTest::newRow("335544722") << 335544722 << "x"
                                   << "Chyba síťového připojení!";
        QTest::newRow("335544741") << 335544741 << "x"
                                   << "Spojení se serverem bylo přerušeno!";
        QTest::newRow("335544747") << 335544747 << "x"
                                   << "Přihlašovací jméno je příliš dlouhé! Maximum je 31 znaků.";
        QTest::newRow("335544748") << 335544748 << "x"
                                   << "Přihlašovací heslo je příliš dlouhé! Maximum je 8 znaků.";
        QTest::newRow("335544749") << 335544749 << "x"
                                   << "Zadejte přihlašovací jméno!";
        QTest::newRow("335544750") << 335544750 << "x"
                                   << "Zadejte přihlašovací heslo!";
        QTest::newRow("335544751") << 335544751 << "x"
                                   << "Chybně nastavený síťový protokol!";
        QTest::newRow("335544752") << 335544752 << "x"
                                   << "Zadané přihlašovací jméno je již použito jiným uživatelem!";
        QTest::newRow("335544753") << 335544753 << "x"
                                   << "Zadané přihlašovací jméno není v seznamu uživatelů!";
        QTest::newRow("335544760") << 335544760 << "x"
                                   << "Chybně zadaná hodnota!";
        QTest::newRow("335544788") << 335544788 << "x"
                                   << "Vybranou akci může provádět pouze adminstrátor databáze.";
        QTest::newRow("unknown code") << 335544321 << "arithmetic exception, numeric overflow"
                                      << "Chyba v databázi:\r\n\r\narithmetic exception, numeric overflow";
        QTest::newRow("unknown code, empty message") << 0 << ""
                                                     << "Chyba v databázi:\r\n\r\n";
        QTest::newRow("negative code") << -1 << "x"
                                       << "Chyba v databázi:\r\n\r\nx";
        QTest::newRow("delete without statement") << 0 << "Cannot delete from dataset. (No delete query)" << kReadOnly;
        QTest::newRow("delete text in other case")
            << 0 << "cannot delete from dataset. (no delete query)"
            << "Chyba v databázi:\r\n\r\ncannot delete from dataset. (no delete query)";
        QTest::newRow("delete text inside a longer one")
            << 0 << "Cannot delete from dataset. (No delete query)!"
            << "Chyba v databázi:\r\n\r\nCannot delete from dataset. (No delete query)!";
        QTest::newRow("percent signs stay") << 0 << "50% %1 %s"
                                            << "Chyba v databázi:\r\n\r\n50% %1 %s";
    }

    void statusCodes() { compareIB(); }

    // Where the names are picked out of the message, and what an odd
    // message gives: always a text, never a read outside it.
    void namesInMessages_data()
    {
        addIBColumns();
        const QString column = QStringLiteral("Chybně vyplněný údaj \"%1\" !");
        QTest::newRow("column, lower case") << 335544347 << "column x, value" << column.arg("x");
        QTest::newRow("column, mixed case") << 335544347 << "bad CoLuMn Sloupec, y" << column.arg("Sloupec");
        QTest::newRow("column, no comma") << 335544347 << "validation error for column UZI$JMENO" << column.arg("");
        QTest::newRow("column, keyword at the end") << 335544347 << "bad column" << column.arg("");
        QTest::newRow("column, keyword and blank at end") << 335544347 << "bad column " << column.arg("");
        QTest::newRow("column, no keyword") << 335544347 << "first, second" << column.arg("first");
        QTest::newRow("column, empty") << 335544347 << "" << column.arg("");
        QTest::newRow("column, diacritics before")
            << 335544347 << "šíleně žluťoučký column ŘÁD, x" << column.arg("ŘÁD");
        QTest::newRow("column, later line")
            << 335544347 << "validation error\r\nfor column A, value" << column.arg("A");
        QTest::newRow("column, first occurrence") << 335544347 << "column A, column B," << column.arg("A");
        QTest::newRow("column, quoted with its table")
            << 335544347 << "validation error for column \"DB$UZIV\".\"UZI$PRIJMENI\", value \"*** null ***\""
            << column.arg("UZI$PRIJMENI");
        QTest::newRow("column, quoted alone") << 335544347 << "column \"UZI$JMENO\", x" << column.arg("UZI$JMENO");
        QTest::newRow("column, quote inside a plain name") << 335544347 << "column A\"B, x" << column.arg("A\"B");

        const QString duplicate = QStringLiteral("Pokus o uložení duplicitní hodnoty.\r\n\r\n(chyba: \"%1\")");
        QTest::newRow("index with own name")
            << 335544349 << "in unique index \"RDB$PRIMARY11\"" << duplicate.arg("RDB$PRIMARY11");
        QTest::newRow("index in lower case")
            << 335544349 << "unique INDEX \"idx_sub_pro\""
            << duplicate.arg("Subjekty nesmí obsahovat 2 záznamy se stejnými údaji IČ a provoz");
        QTest::newRow("index unknown") << 335544349 << "index \"Moje_Index\"" << duplicate.arg("Moje_Index");
        QTest::newRow("index, no closing quote") << 335544349 << "index \"RDB$PRIMARY11" << duplicate.arg("");
        QTest::newRow("index, keyword at the end") << 335544349 << "unique index" << duplicate.arg("");
        QTest::newRow("index, no keyword") << 335544349 << "abc\"def\"" << duplicate.arg("abc");

        const QString dependency =
            QStringLiteral("Porušení závislosti na jiné tabulce v tabulce \"%1\" !\r\n\r\n(závislost: \"%2\")");
        QTest::newRow("table in lower case")
            << 335544466 << "violation of FOREIGN KEY constraint \"fk_sub_sta\" on Table \"subjekt\""
            << dependency.arg("Subjekty", "Kód státu musí existovat v číselníku států");
        QTest::newRow("constraint with own name")
            << 335544466 << "constraint \"fk_cen_jed\" on table \"CENIK\"" << dependency.arg("Ceník", "FK_CEN_JED");
        QTest::newRow("unknown names unchanged") << 335544466 << "constraint \"Moje_FK\" on table \"Moje_Tabulka\""
                                                 << dependency.arg("Moje_Tabulka", "Moje_FK");
        QTest::newRow("keywords missing, quote present")
            << 335544466 << "broken \"x\"" << dependency.arg("broken ", "broken ");
        QTest::newRow("both keywords at the end") << 335544466 << "\"table constraint" << dependency.arg("", "");
        QTest::newRow("empty message") << 335544466 << "" << dependency.arg("", "");
        QTest::newRow("non-ASCII names") << 335544466 << "constraint \"VAZBA_Č\" on table \"TABULKA_Ř\""
                                         << dependency.arg("TABULKA_Ř", "VAZBA_Č");

        const QString duplicateRow =
            QStringLiteral("Pokus o uložení duplicitního záznamu v tabulce \"%1\" !\r\n\r\n(chyba: \"%2\")");
        QTest::newRow("duplicate row, sentence")
            << 335544665 << "violation of PRIMARY or UNIQUE KEY constraint \"PK_PRE\" on table \"PRELIST\""
            << duplicateRow.arg("Přeprava", "Přepravní listy nesmí obsahovat 2 záznamy se stejným číslem dokladu v "
                                            "rámci jednoho subjektu");
        QTest::newRow("duplicate row, empty") << 335544665 << "" << duplicateRow.arg("", "");

        const QString unquotedFull = QStringLiteral("no permission for read access to table ODPBRIX by user NOVAK");
        QTest::newRow("rights, unquoted, blank after")
            << 335544352 << unquotedFull << rightsWithTable("Odpady BRIX", unquotedFull);
        const QString unknownTable = QStringLiteral("no permission for read access to TABLE MOJE_TAB");
        QTest::newRow("rights, unquoted unknown")
            << 335544352 << unknownTable << rightsWithTable("MOJE_TAB", unknownTable);
        const QString lower = QStringLiteral("no permission for write access to table sub_ucet");
        QTest::newRow("rights, lower-case name") << 335544352 << lower << rightsWithTable("Subjekt - účty", lower);
        const QString noKeyword = QStringLiteral("no permission");
        QTest::newRow("rights, no keyword") << 335544352 << noKeyword << rightsWithTable("no", noKeyword);
        QTest::newRow("rights, keyword at the end") << 335544352 << "access to table" << kRightsSentence;
        QTest::newRow("rights, quote not closed") << 335544352 << "access to table \"SUBJ" << kRightsSentence;
        QTest::newRow("rights, empty quoted name") << 335544553 << "access to table \"\"" << kRightsSentence;

        // The server's first line, its SQL message, holds the keywords too,
        // without a name after them: the first well-formed name counts.
        QTest::newRow("first line: table rows, empty constraint")
            << 335544466
            << "violation of FOREIGN KEY constraint \"\"\r\nviolation of FOREIGN KEY constraint \"FK_SUB_STA\" on "
               "table \"SUBJEKT\"\r\nForeign key reference target does not exist"
            << dependency.arg("Subjekty", "Kód státu musí existovat v číselníku států");
        QTest::newRow("first line: no 2 table rows")
            << 335544665
            << "Invalid insert or update value(s): object columns are constrained - no 2 table rows can have "
               "duplicate column values\r\nviolation of PRIMARY or UNIQUE KEY constraint \"PK_SUB\" on table "
               "\"SUBJEKT\"\r\nProblematic key value is (\"ID\" = 1)"
            << duplicateRow.arg("Subjekty", "PK_SUB");
        QTest::newRow("first line: column definition")
            << 335544347
            << "The insert failed because a column definition includes validation constraints.\r\nvalidation error "
               "for column UZI$PRIJMENI, value \"*** null ***\""
            << column.arg("UZI$PRIJMENI");
        const QString effective = QStringLiteral("This user does not have privilege to perform this operation on "
                                                 "this object.\r\nno permission for SELECT access to TABLE "
                                                 "SUBJEKT\r\nEffective user is NOVAK");
        QTest::newRow("unquoted table ends with its line")
            << 335544352 << effective << rightsWithTable("Subjekty", effective);
        QTest::newRow("no well-formed name: the plain rule")
            << 335544349 << "unique index \"\r\nRDB$PRIMARY11\"" << duplicate.arg("\r\nRDB$PRIMARY11");

        const QString host = QStringLiteral("Chyba při pokusu o připojení k síťovému počítači \"%1\" !");
        QTest::newRow("host in any case") << 335544721 << "request to HoSt \"zelo-srv\"." << host.arg("zelo-srv");
        QTest::newRow("host, no quote") << 335544721 << "request to host zelo" << host.arg("");
        QTest::newRow("host, keyword at the end") << 335544721 << "request to host" << host.arg("");
        QTest::newRow("host, non-ASCII") << 335544721 << "k počítači host \"počítač\"" << host.arg("počítač");
        QTest::newRow("host, empty") << 335544721 << "" << host.arg("");
    }

    void namesInMessages() { compareIB(); }

    void lookups_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("caption") << 0 << "SUBJEKT"
                                 << "Subjekty";
        QTest::newRow("caption, lower case") << 0 << "subjekt"
                                             << "Subjekty";
        QTest::newRow("caption, mixed case") << 0 << "Zme_Odp"
                                             << "Položky příjemek/výdejek";
        QTest::newRow("caption, dollar") << 0 << "ini$tisk"
                                         << "Tiskové sestavy";
        QTest::newRow("caption, unknown") << 0 << "Neznámá"
                                          << "Neznámá";
        QTest::newRow("caption, blanks not trimmed") << 0 << " SUBJEKT"
                                                     << " SUBJEKT";
        QTest::newRow("caption, empty") << 0 << ""
                                        << "";
        QTest::newRow("constraint, sentence") << 1 << "fk_sub_zuj"
                                              << "Kód ZÚJ (NUTS5) musí existovat v číselníku ZÚJ";
        QTest::newRow("constraint, own name as spelled") << 1 << "pk_ban"
                                                         << "PK_BAN";
        QTest::newRow("constraint, unknown") << 1 << "INTEG_2"
                                             << "INTEG_2";
        QTest::newRow("index, sentence") << 2 << "Idx_Sub_Pro"
                                         << "Subjekty nesmí obsahovat 2 záznamy se stejnými údaji IČ a provoz";
        QTest::newRow("index, own name as spelled") << 2 << "rdb$179"
                                                    << "RDB$179";
        QTest::newRow("index, unknown") << 2 << "RDB$PRIMARY999"
                                        << "RDB$PRIMARY999";
        // Only a to z are compared without regard to case.
        QTest::newRow("caption, no locale folding") << 0 << "subjekt\u0301"
                                                    << "subjekt\u0301";
    }

    void lookups()
    {
        QFETCH(int, table);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const auto lookUp = std::array{TableCaption, ConstraintMessage, IndexTable}[table];
        QCOMPARE(lookUp(name), expected);
    }

    void schemaTablesAreComplete()
    {
        QCOMPARE(TableCaptionRows().size(), 77u);
        QCOMPARE(ConstraintRows().size(), 197u);
        QCOMPARE(IndexRows().size(), 75u);

        const auto ownName = [](const auto &rows, auto key) {
            return std::count_if(rows.begin(), rows.end(), [&](const auto &row) { return row.*key == row.message; });
        };
        QCOMPARE(ownName(ConstraintRows(), &ConstraintRow::constraint), 173);
        QCOMPARE(ownName(IndexRows(), &IndexRow::index), 74);

        QCOMPARE(TableCaptionRows().front().table, u"BANKA");
        QCOMPARE(TableCaptionRows().back().caption, u"Zúj");
        QCOMPARE(ConstraintRows().front().constraint, u"PK_BAN");
        QCOMPARE(ConstraintRows().back().constraint, u"PK_ZUJ");
        QCOMPARE(IndexRows().front().index, u"RDB$PRIMARY11");
        QCOMPARE(IndexRows().back().table, u"ZUJ");
    }

    // Keys are upper case and unique, so that every row can be found.
    void everyKeyFindsItsRowInAnyCase()
    {
        QSet<QString> keys;
        for (const auto &row : TableCaptionRows()) {
            QCOMPARE(platform::upperAscii(row.table.toString()), row.table);
            QVERIFY(!keys.contains(row.table.toString()));
            keys.insert(row.table.toString());
            QCOMPARE(TableCaption(row.table.toString().toLower()), row.caption);
        }
        keys.clear();
        for (const auto &row : ConstraintRows()) {
            QCOMPARE(platform::upperAscii(row.constraint.toString()), row.constraint);
            QVERIFY(!keys.contains(row.constraint.toString()));
            keys.insert(row.constraint.toString());
            QCOMPARE(ConstraintMessage(row.constraint.toString().toLower()), row.message);
        }
        keys.clear();
        for (const auto &row : IndexRows()) {
            QCOMPARE(platform::upperAscii(row.index.toString()), row.index);
            QVERIFY(!keys.contains(row.index.toString()));
            keys.insert(row.index.toString());
            QCOMPARE(IndexTable(row.index.toString().toLower()), row.message);
        }
    }

    void engineErrors_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected");
        QTest::newRow("9729") << "M" << QList<int>{9729} << QStringList{""} << "Duplicita dat.";
        QTest::newRow("9733") << "M" << QList<int>{9733} << QStringList{""} << "Nadřazená věta chybí.";
        QTest::newRow("9734") << "M" << QList<int>{9734, 1} << QStringList{"", ""}
                              << "Vybraný záznam má podřízené záznamy a proto jej nelze smazat nebo změnit.";
        QTest::newRow("10045") << "M" << QList<int>{10045} << QStringList{""} << "Rozdílné datové struktury";
        QTest::newRow("10241") << "M" << QList<int>{10241, 0, 0} << QStringList{"Locked", "Table", "User: novák"}
                               << "Záznam blokuje uživatel 'NOVáK'.";
        QTest::newRow("10241, short third entry")
            << "M" << QList<int>{10241, 0, 0} << QStringList{"", "", "User"} << "Záznam blokuje uživatel ''.";
        QTest::newRow("10241, two entries")
            << "M" << QList<int>{10241, 0} << QStringList{"", ""} << "Záznam je blokován.";
        QTest::newRow("10241, one entry") << "M" << QList<int>{10241} << QStringList{""} << "Záznam je blokován.";
        QTest::newRow("10247") << "M" << QList<int>{10247} << QStringList{""} << "Záznam je blokován.";
        QTest::newRow("unknown code") << "Chyba M" << QList<int>{5} << QStringList{""} << "Chyba M(Chyba: 5)";
        QTest::newRow("largest code") << "M" << QList<int>{65535} << QStringList{""} << "M(Chyba: 65535)";
        QTest::newRow("only the first entry counts")
            << "M" << QList<int>{1, 9729} << QStringList{"", ""} << "M(Chyba: 1)";
        QTest::newRow("no entries") << "Engine failed" << QList<int>{} << QStringList{} << "Engine failed";
    }

    void engineErrors()
    {
        QFETCH(QString, message);
        QFETCH(QList<int>, codes);
        QFETCH(QStringList, texts);
        QFETCH(QString, expected);
        QVector<EDBEngineError::Entry> entries;
        for (qsizetype i = 0; i < codes.size(); ++i)
            entries.append({static_cast<std::uint16_t>(codes[i]), texts[i]});
        QCOMPARE(TranslateBDEError(EDBEngineError(message, entries)), expected);
    }

    void databaseErrors_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        QTest::newRow("read-only") << "Cannot modify a read-only dataset" << kReadOnly;
        QTest::newRow("read-only inside") << "setUziv: Cannot modify a read-only dataset." << kReadOnly;
        QTest::newRow("read-only, other case") << "cannot modify a read-only dataset"
                                               << "cannot modify a read-only dataset";
        QTest::newRow("required field") << "Field 'UZI$LOGIN' must have a value"
                                        << "Údaj 'UZI$LOGIN' musí být vyplněn!";
        QTest::newRow("required field, Czech name") << "Field 'Příjmení' must have a value"
                                                    << "Údaj 'Příjmení' musí být vyplněn!";
        QTest::newRow("required, no apostrophe") << "Field must have a value"
                                                 << "Údaj '' musí být vyplněn!";
        QTest::newRow("required, one apostrophe") << "Field 'X must have a value"
                                                  << "Údaj '' musí být vyplněn!";
        QTest::newRow("required, empty name") << "Field '' must have a value"
                                              << "Údaj '' musí být vyplněn!";
        QTest::newRow("read-only wins") << "Field 'A' must have a value; Cannot modify a read-only dataset"
                                        << kReadOnly;
        QTest::newRow("row gone") << "Row not found for update (changed or deleted by another user)"
                                  << "Záznam byl mezitím změněn nebo smazán jiným uživatelem.";
        QTest::newRow("other text") << "Dataset not in edit or insert mode"
                                    << "Dataset not in edit or insert mode";
        QTest::newRow("empty") << ""
                               << "";
    }

    void databaseErrors()
    {
        QFETCH(QString, message);
        QFETCH(QString, expected);
        QCOMPARE(TranslateDatabaseError(EDatabaseError(message)), expected);
    }

    // The most specific kind decides, whatever the static type it is passed as.
    void translationByKindOfException()
    {
        const EIBError server(QStringLiteral("Cannot modify a read-only dataset"), 335544741);
        const std::exception &asStd = server;
        QCOMPARE(TranslateException(asStd), QStringLiteral("Spojení se serverem bylo přerušeno!"));

        const EDBEngineError engine(QStringLiteral("Cannot modify a read-only dataset"), {{9729, QString()}});
        QCOMPARE(TranslateException(engine), QStringLiteral("Duplicita dat."));

        QCOMPARE(TranslateException(EInOutError(QStringLiteral("Soubor nelze otevřít"))),
                 QStringLiteral("Chyba vstupu nebo výstupu. (Soubor nelze otevřít)"));
        QCOMPARE(TranslateException(EInOutError(QString())), QStringLiteral("Chyba vstupu nebo výstupu. ()"));
        QCOMPARE(TranslateException(EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"))), kReadOnly);
        QCOMPARE(TranslateException(EConvertError(QStringLiteral("'x' není číslo"))), QStringLiteral("'x' není číslo"));
        QCOMPARE(TranslateException(Exception(QStringLiteral("%1 a %s"))), QStringLiteral("%1 a %s"));
        QCOMPARE(TranslateException(std::runtime_error("Chyba při čtení")), QStringLiteral("Chyba při čtení"));
        QCOMPARE(TranslateException(std::bad_alloc()), QString::fromUtf8(std::bad_alloc().what()));
    }

    void composedMessage_data()
    {
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty line, empty translation") << ""
                                                       << ""
                                                       << "Vybraná akce byla přerušena!";
        QTest::newRow("own line, empty translation") << "Připojení se nepodařilo!"
                                                     << ""
                                                     << "Připojení se nepodařilo!";
        QTest::newRow("empty line") << ""
                                    << "Něco selhalo"
                                    << "Vybraná akce byla přerušena!\r\n\r\nNěco selhalo";
        QTest::newRow("own line") << "Chyba připojení k databázi!"
                                  << "Něco selhalo"
                                  << "Chyba připojení k databázi!\r\n\r\nNěco selhalo";
    }

    void composedMessage()
    {
        QFETCH(QString, firstLine);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        QCOMPARE(ComposeErrorMessage(firstLine, Exception(message)), expected);
    }

    void composedMessageOfServerError()
    {
        const EIBError error(QStringLiteral("violation of FOREIGN KEY constraint \"FK_SUB_STA\" on table \"SUBJEKT\""),
                             335544466);
        QCOMPARE(ComposeErrorMessage(QStringLiteral("Připojení se nepodařilo!"), error),
                 QStringLiteral("Připojení se nepodařilo!\r\n\r\nPorušení závislosti na jiné tabulce v tabulce "
                                "\"Subjekty\" !\r\n\r\n(závislost: \"Kód státu musí existovat v číselníku států\")"));
        // An empty server message with an unknown code still has a translation.
        QCOMPARE(ComposeErrorMessage(QString(), EIBError(QString(), 1)),
                 QStringLiteral("Vybraná akce byla přerušena!\r\n\r\nChyba v databázi:\r\n\r\n"));
    }
};

QTEST_APPLESS_MAIN(tst_ErrorTranslation)
#include "tst_ErrorTranslation.moc"
