#include "StringUtils.h"

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
