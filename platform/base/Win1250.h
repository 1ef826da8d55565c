#pragma once

// The one converter between the Unicode text the program holds and the
// Windows-1250 bytes of files, the database and the password scrambling.

#include <QByteArray>
#include <QString>

namespace platform {

// Every character must exist in the code page; otherwise EConvertError names it.
QByteArray toWin1250(const QString &text);
// Lossless for all 256 byte values.
QString fromWin1250(const QByteArray &bytes);
// A text of the database server (a message or an output line): the server
// quotes file names in the bytes they were sent in (the data layer sends
// every name in UTF-8), while its other texts may be Windows-1250. Bytes that are valid
// UTF-8 are read as UTF-8, any others as Windows-1250; Czech Windows-1250
// text is practically never valid UTF-8.
QString fromServerText(const QByteArray &bytes);
// The character of each byte value, 0 to 255 in order, found once.
const QString &win1250Characters();

// Upper case by the code page's locale rule: letters with diacritics too
// (č to Č, ř to Ř, ů to Ů). Keeps the length; a character whose upper case
// is not in the code page stays as it is.
QString upperLocale(const QString &text);
// Upper case of the letters a to z only.
QString upperAscii(const QString &text);

} // namespace platform
