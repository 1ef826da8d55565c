#include "StringUtils.h"

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

QString TrimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isBlank(text[first]))
        ++first;
    while (end > first && isBlank(text[end - 1]))
        --end;
    return text.mid(first, end - first);
}

QString PadLeft(QChar fill, const QString &text, int width)
{
    return text.rightJustified(width, fill);
}

int CountOccurrences(const QString &search, const QString &text)
{
    if (search.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(search); at >= 0; at = text.indexOf(search, at + search.size()))
        ++count;
    return count;
}

void ReplaceString(QString &text, const QString &search, const QString &replacement)
{
    if (text.isEmpty() || search.isEmpty())
        return;
    const qsizetype at = text.indexOf(search);
    if (at >= 0)
        text.replace(at, search.size(), replacement);
}

void ReplaceAll(QString &text, const QString &search, const QString &replacement)
{
    if (text.isEmpty() || search.isEmpty())
        return;
    text.replace(search, replacement);
}
