#pragma once

// Inside the data layer only: one column of a statement's result and the
// conversion of its raw value in a row buffer.

#include "FbApi.h"
#include "FieldType.h"

#include <QByteArrayView>
#include <QString>

namespace platform {

class TextCodec;

struct Column {
    QString name;     // the alias the result gives it
    QString relation; // the table, empty for an expression
    QString sqlName;  // the column of that table
    short type = 0;   // SQL_* without the nullable bit
    short subType = 0;
    short scale = 0;
    short length = 0; // bytes of the value (of the text without its length word)
    bool nullable = true;
    int dataOffset = 0;
    int nullOffset = 0;

    FieldType fieldType() const;
    // Text columns: characters; others: 0.
    int characterSize() const;
    // Bytes of the value in a row buffer (with the length word of VARCHAR).
    int storageSize() const { return length + (type == SQL_VARYING ? 2 : 0); }
};

// SQL_TEXT or SQL_VARYING (a type without the nullable bit).
bool isTextSqlType(short type);

bool columnIsNull(const Column &column, const char *row);
void setColumnNull(const Column &column, char *row);
// The stored bytes of a text column's value (CHAR with its padding); empty
// for NULL.
QByteArrayView columnBytes(const Column &column, const char *row);
// NULL reads as empty text.
QString columnText(const Column &column, const char *row, const TextCodec &codec);
// NULL reads as 0; text is converted (EConvertError when it is no number).
qint64 columnInt64(const Column &column, const char *row, const TextCodec &codec);
// Text columns keep at most characterSize() characters; other types convert
// the text or raise EConvertError.
void setColumnText(const Column &column, char *row, const QString &text, const TextCodec &codec);

} // namespace platform
