#pragma once

// The scrambling of stored passwords: each byte is combined with the high
// byte of a 16-bit running key, and the key advances with the scrambled byte.

#include <QByteArray>
#include <QtGlobal>

// Same length as the text; the first n bytes of the result depend only on
// the first n bytes of the text.
QByteArray Encrypt(QByteArray text, quint16 key);
// The inverse of Encrypt under the same key.
QByteArray Decrypt(QByteArray text, quint16 key);
