#pragma once

// Small text routines. Every search compares exactly: case matters and no
// locale rule applies.

#include <QString>

// The text with the characters of code 32 and below removed from both ends.
QString TrimBlanks(const QString &text);
// The text with the fill character put in front up to the width; a longer
// text is never cut.
QString PadLeft(QChar fill, const QString &text, int width);
// Non-overlapping occurrences, the search resuming after each one; an empty
// search text is never found.
int CountOccurrences(const QString &search, const QString &text);
// Replaces the first occurrence only.
void ReplaceString(QString &text, const QString &search, const QString &replacement);
// Replaces every occurrence from the left; the replacement is not searched again.
void ReplaceAll(QString &text, const QString &search, const QString &replacement);
