#include "ProfileFile.h"

#include "Exceptions.h"
#include "Win1250.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <optional>

namespace platform {

namespace {

// One line of the file with its own line ending, so that a rewrite gives back
// every untouched line byte for byte.
struct Line {
    QString text;
    QString ending;
};

QList<Line> splitLines(const QString &content)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content[end] != QLatin1Char('\n') && content[end] != QLatin1Char('\r'))
            ++end;
        Line line{content.mid(start, end - start), QString()};
        if (end < content.size()) {
            const bool crlf =
                content[end] == QLatin1Char('\r') && end + 1 < content.size() && content[end + 1] == QLatin1Char('\n');
            line.ending = content.mid(end, crlf ? 2 : 1);
            end += crlf ? 2 : 1;
        }
        lines.append(line);
        start = end;
    }
    return lines;
}

// What a file that exists but cannot be opened gives.
enum class Unreadable { ReadsEmpty, IsAnError };

// A missing file reads as empty. Before a rewrite an existing file that
// cannot be read would be replaced by a file of one key, so it is an error.
QList<Line> readLines(const QString &fileName, Unreadable unreadable)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (unreadable == Unreadable::IsAnError && file.exists())
            throw EInOutError(QStringLiteral("Soubor \"%1\" nelze přečíst: %2").arg(fileName, file.errorString()));
        return {};
    }
    return splitLines(fromWin1250(file.readAll()));
}

// The section named by a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line, or nothing for a comment or other line.
std::optional<QString> keyName(const QString &line)
{
    if (line.trimmed().startsWith(QLatin1Char(';')))
        return std::nullopt;
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    return line.left(equals).trimmed();
}

QString valueOf(const QString &line)
{
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    // As the profile functions do, one pair of enclosing quotes is dropped.
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Position {
    qsizetype section = -1;  // index of the section's header line
    qsizetype key = -1;      // index of the key's line
    qsizetype lastLine = -1; // last non-blank line of the section
};

Position find(const QList<Line> &lines, const QString &section, const QString &key)
{
    Position pos;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
            if (inSection)
                pos.section = pos.lastLine = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            pos.lastLine = i;
        const auto name = keyName(lines[i].text);
        if (pos.key < 0 && name && sameName(*name, key))
            pos.key = i;
    }
    return pos;
}

std::optional<int> parseInteger(const QString &text)
{
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

ProfileFile::ProfileFile(QString fileName) : fileName_(std::move(fileName)) {}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QList<Line> lines = readLines(fileName_, Unreadable::ReadsEmpty);
    const Position pos = find(lines, section, key);
    return pos.key < 0 ? defaultValue : valueOf(lines[pos.key].text);
}

int ProfileFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    return parseInteger(readString(section, key, QString())).value_or(defaultValue);
}

bool ProfileFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QList<Line> lines = readLines(fileName_, Unreadable::IsAnError);
    const QString newline =
        lines.isEmpty() || lines.front().ending.isEmpty() ? QStringLiteral("\r\n") : lines.front().ending;
    const Position pos = find(lines, section, key);
    const Line keyLine{key + QLatin1Char('=') + value, newline};
    if (pos.key >= 0) {
        lines[pos.key].text = keyLine.text;
    } else if (pos.section >= 0) {
        if (lines[pos.lastLine].ending.isEmpty())
            lines[pos.lastLine].ending = newline;
        lines.insert(pos.lastLine + 1, keyLine);
    } else {
        if (!lines.isEmpty() && lines.back().ending.isEmpty())
            lines.back().ending = newline;
        lines.append(Line{QLatin1Char('[') + section + QLatin1Char(']'), newline});
        lines.append(keyLine);
    }

    QString content;
    for (const Line &line : lines)
        content += line.text + line.ending;
    const QByteArray bytes = toWin1250(content);

    QSaveFile file(fileName_);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EInOutError(QStringLiteral("Nelze zapisovat do souboru \"%1\": %2").arg(fileName_, file.errorString()));
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace platform
