#pragma once

// The stored text form of a password: its Windows-1250 bytes scrambled
// (EncryptIt) and written as three decimal digits per byte.

#include <QString>
#include <QtGlobal>

// The key of the connection password in the settings file.
constexpr quint16 kSettingsFileKey = 2587;
// The key of the users' passwords in the users table.
constexpr quint16 kUsersTableKey = 47;

// A character outside Windows-1250 raises EConvertError: such a password
// has no byte form.
QString EncodePassword(const QString &password, quint16 key);
// Reads groups of three digits up to the first group that is not one (or
// the end; one or two characters left over are ignored), each group giving
// its value modulo 256, and unscrambles them.
QString DecodePassword(const QString &text, quint16 key);
