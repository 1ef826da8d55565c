#pragma once

// Czech messages for caught failures: the server's status codes become fixed
// sentences, and schema names picked out of the server's text become the
// captions and messages of the schema tables. Shows nothing itself.

#include "base/Exceptions.h"

#include <QString>

#include <exception>

// The text of an error box: the first line ("Vybraná akce byla přerušena!"
// when empty), a blank line and the translation, or the first line alone
// when the translation is empty.
QString ComposeErrorMessage(const QString &firstLine, const std::exception &e);

// The Czech text for any exception.
QString TranslateException(const std::exception &e);
QString TranslateIBError(const EIBError &e);
QString TranslateBDEError(const EDBEngineError &e);
QString TranslateDatabaseError(const EDatabaseError &e);

// Lookups in the schema tables by name (a to z compared without regard to
// case); an unknown name comes back unchanged.
QString TableCaption(const QString &name);
QString ConstraintMessage(const QString &name);
QString IndexTable(const QString &name);
