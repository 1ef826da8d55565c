#include "ErrorTranslation.h"

#include "SchemaTables.h"
#include "base/Win1250.h"
#include "db/DataSetTexts.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kReadOnlyData = QStringLiteral("Data jsou určena pouze pro čtení!");

// Where a schema name stands in a server message: after a keyword (found in
// any letter case) and a gap, up to a delimiter.
struct NamePosition {
    QLatin1StringView keyword;
    QLatin1StringView gap; // a blank, or a blank and an opening quote
    QChar delimiter;
    bool unquoted; // a missing delimiter: the name runs to the end
};

qsizetype lineLength(QStringView text)
{
    const auto end = std::find_if(text.begin(), text.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    return end - text.begin();
}

// The name at one occurrence of the keyword when it is well formed: the gap
// follows the keyword and the name ends on its own line, not empty.
QString wellFormedNameAt(QStringView message, qsizetype keyword, const NamePosition &at)
{
    const QStringView rest = message.mid(keyword + at.keyword.size());
    if (!rest.startsWith(at.gap))
        return {};
    QStringView line = rest.mid(at.gap.size());
    line = line.left(lineLength(line));
    const qsizetype end = line.indexOf(at.delimiter);
    return (end >= 0 ? line.left(end) : at.unquoted ? line : QStringView()).toString();
}

// The name after the keyword's first occurrence, or before the first
// delimiter of the whole message when the keyword is missing.
QString nameAtFirstOccurrence(const QString &message, qsizetype keyword, const NamePosition &at)
{
    const QString rest = keyword >= 0 ? message.mid(keyword + at.keyword.size() + at.gap.size()) : message;
    const qsizetype end = rest.indexOf(at.delimiter);
    if (end >= 0)
        return rest.left(end);
    return at.unquoted ? rest : QString();
}

// The server's first line (the SQL message) may hold the keyword too, with no
// name after it: the first well-formed occurrence names the object.
QString extractName(const QString &message, const NamePosition &at)
{
    const QString upper = platform::upperLocale(message);
    const qsizetype first = upper.indexOf(at.keyword);
    for (qsizetype keyword = first; keyword >= 0; keyword = upper.indexOf(at.keyword, keyword + 1)) {
        const QString name = wellFormedNameAt(message, keyword, at);
        if (!name.isEmpty())
            return name;
    }
    return nameAtFirstOccurrence(message, first, at);
}

const QLatin1StringView kBlank(" ");
const QLatin1StringView kBlankQuote(" \"");
constexpr QChar kQuote = u'"';

// Firebird 3 names the column with its table, both quoted ("DB$UZIV"."UZI$PRIJMENI"):
// the sentence puts its own quotes round the column part alone.
QString unquotedColumn(const QString &name)
{
    static const QRegularExpression quoted(QStringLiteral(R"re(^(?:"[^"]*"\.)?"([^"]*)"$)re"));
    const QRegularExpressionMatch match = quoted.match(name);
    return match.hasMatch() ? match.captured(1) : name;
}

QString ExtractColumnName(const QString &message)
{
    return unquotedColumn(extractName(message, {QLatin1StringView("COLUMN"), kBlank, u',', false}));
}

QString ExtractConstraintMessage(const QString &message)
{
    return ConstraintMessage(extractName(message, {QLatin1StringView("CONSTRAINT"), kBlankQuote, kQuote, false}));
}

QString ExtractTableCaption(const QString &message)
{
    const NamePosition quoted{QLatin1StringView("TABLE"), kBlankQuote, kQuote, false};
    const NamePosition unquoted{QLatin1StringView("TABLE"), kBlank, u' ', true};
    return TableCaption(extractName(message, message.contains(kQuote) ? quoted : unquoted));
}

QString ExtractIndexTable(const QString &message)
{
    return IndexTable(extractName(message, {QLatin1StringView("INDEX"), kBlankQuote, kQuote, false}));
}

QString ExtractHostName(const QString &message)
{
    return extractName(message, {QLatin1StringView("HOST"), kBlankQuote, kQuote, false});
}

// The text between the first and the second apostrophe.
QString ExtractQuotedName(const QString &message)
{
    const qsizetype first = message.indexOf(u'\'');
    const qsizetype second = first < 0 ? -1 : message.indexOf(u'\'', first + 1);
    return second < 0 ? QString() : message.mid(first + 1, second - first - 1);
}

// The tables' keys are upper case already, so only the name is upper-cased.
template <typename Row>
QString lookUp(std::span<const Row> rows, QStringView Row::*key, QStringView Row::*text, const QString &name)
{
    const QString wanted = platform::upperAscii(name);
    for (const Row &row : rows) {
        if (row.*key == wanted)
            return (row.*text).toString();
    }
    return name;
}

QString rightsMessage(const QString &message)
{
    const QString sentence = QStringLiteral("Pro vybranou akci nemáte nastavena práva! Kontaktujte správce databáze!");
    const QString caption = ExtractTableCaption(message);
    if (caption.isEmpty())
        return sentence;
    return sentence + QStringLiteral("\r\nTabulka: %1\r\n\r\n%2").arg(caption, message);
}

} // namespace

QString ComposeErrorMessage(const QString &firstLine, const std::exception &e)
{
    const QString translation = TranslateException(e);
    const QString result = firstLine.isEmpty() ? QStringLiteral("Vybraná akce byla přerušena!") : firstLine;
    return translation.isEmpty() ? result : result + QStringLiteral("\r\n\r\n") + translation;
}

QString TranslateException(const std::exception &e)
{
    if (const auto *ib = dynamic_cast<const EIBError *>(&e))
        return TranslateIBError(*ib);
    if (const auto *engine = dynamic_cast<const EDBEngineError *>(&e))
        return TranslateBDEError(*engine);
    if (const auto *io = dynamic_cast<const EInOutError *>(&e))
        return QStringLiteral("Chyba vstupu nebo výstupu. (%1)").arg(io->message());
    if (const auto *database = dynamic_cast<const EDatabaseError *>(&e))
        return TranslateDatabaseError(*database);
    return exceptionMessage(e);
}

QString TranslateIBError(const EIBError &e)
{
    const QString &message = e.message();
    switch (e.errorCode()) {
    case 335544336:
    case 335544345:
        return QStringLiteral("Věta je uzamčena jiným uživatelem!");
    case 335544347:
        return QStringLiteral("Chybně vyplněný údaj \"%1\" !").arg(ExtractColumnName(message));
    case 335544349:
        return QStringLiteral("Pokus o uložení duplicitní hodnoty.\r\n\r\n(chyba: \"%1\")")
            .arg(ExtractIndexTable(message));
    case 335544352:
    case 335544553:
    case 335544707:
        return rightsMessage(message);
    case 335544466:
        return QStringLiteral("Porušení závislosti na jiné tabulce v tabulce \"%1\" !\r\n\r\n(závislost: \"%2\")")
            .arg(ExtractTableCaption(message), ExtractConstraintMessage(message));
    case 335544472:
        return QStringLiteral("Přihlašovací jméno a heslo nejsou definovány v seznamu uživatelů. "
                              "Kontaktujte správce databáze!");
    case 335544665:
        return QStringLiteral("Pokus o uložení duplicitního záznamu v tabulce \"%1\" !\r\n\r\n(chyba: \"%2\")")
            .arg(ExtractTableCaption(message), ExtractConstraintMessage(message));
    case 335544673:
        return QStringLiteral("Vybraný záznam nelze smazat!");
    case 335544675:
        return QStringLiteral("Chyba třídění!");
    case 335544721:
        return QStringLiteral("Chyba při pokusu o připojení k síťovému počítači \"%1\" !")
            .arg(ExtractHostName(message));
    case 335544722:
        return QStringLiteral("Chyba síťového připojení!");
    case 335544741:
        return QStringLiteral("Spojení se serverem bylo přerušeno!");
    case 335544747:
        return QStringLiteral("Přihlašovací jméno je příliš dlouhé! Maximum je 31 znaků.");
    case 335544748:
        return QStringLiteral("Přihlašovací heslo je příliš dlouhé! Maximum je 8 znaků.");
    case 335544749:
        return QStringLiteral("Zadejte přihlašovací jméno!");
    case 335544750:
        return QStringLiteral("Zadejte přihlašovací heslo!");
    case 335544751:
        return QStringLiteral("Chybně nastavený síťový protokol!");
    case 335544752:
        return QStringLiteral("Zadané přihlašovací jméno je již použito jiným uživatelem!");
    case 335544753:
        return QStringLiteral("Zadané přihlašovací jméno není v seznamu uživatelů!");
    case 335544760:
        return QStringLiteral("Chybně zadaná hodnota!");
    case 335544788:
        return QStringLiteral("Vybranou akci může provádět pouze adminstrátor databáze.");
    default:
        if (message == platform::kNoDeleteQueryText)
            return kReadOnlyData;
        return QStringLiteral("Chyba v databázi:\r\n\r\n%1").arg(message);
    }
}

QString TranslateBDEError(const EDBEngineError &e)
{
    const auto &entries = e.entries();
    // Without entries there is no code to translate.
    if (entries.isEmpty())
        return e.message();
    const std::uint16_t code = entries.front().errorCode;
    switch (code) {
    case 9729:
        return QStringLiteral("Duplicita dat.");
    case 9733:
        return QStringLiteral("Nadřazená věta chybí.");
    case 9734:
        return QStringLiteral("Vybraný záznam má podřízené záznamy a proto jej nelze smazat nebo změnit.");
    case 10045:
        return QStringLiteral("Rozdílné datové struktury");
    case 10241:
        // The locking user is named only by the third entry.
        if (entries.size() < 3)
            return QStringLiteral("Záznam je blokován.");
        return QStringLiteral("Záznam blokuje uživatel '%1'.").arg(platform::upperAscii(entries[2].message.mid(6)));
    case 10247:
        return QStringLiteral("Záznam je blokován.");
    default:
        return e.message() + QStringLiteral("(Chyba: %1)").arg(code);
    }
}

QString TranslateDatabaseError(const EDatabaseError &e)
{
    const QString &message = e.message();
    if (message.contains(platform::kReadOnlyDataSetText))
        return kReadOnlyData;
    if (message.contains(platform::kMustHaveValueText))
        return QStringLiteral("Údaj '%1' musí být vyplněn!").arg(ExtractQuotedName(message));
    if (message.contains(platform::kRowNotFoundText))
        return QStringLiteral("Záznam byl mezitím změněn nebo smazán jiným uživatelem.");
    return message;
}

QString TableCaption(const QString &name)
{
    return lookUp(TableCaptionRows(), &TableCaptionRow::table, &TableCaptionRow::caption, name);
}

QString ConstraintMessage(const QString &name)
{
    return lookUp(ConstraintRows(), &ConstraintRow::constraint, &ConstraintRow::message, name);
}

QString IndexTable(const QString &name)
{
    return lookUp(IndexRows(), &IndexRow::index, &IndexRow::message, name);
}
