#include "Column.h"

#include "base/Exceptions.h"
#include "base/TextCodec.h"

#include <QDateTime>

#include <cmath>
#include <cstring>

namespace platform {

namespace {

// Firebird counts days from 17 November 1858 and time in 1/10000 s.
constexpr qint64 kJulianDayOfDayZero = 2400001;
constexpr qint64 kTimeUnitsPerMs = 10;

template <typename T> T load(const char *row, int offset)
{
    T value;
    std::memcpy(&value, row + offset, sizeof value);
    return value;
}

template <typename T> void store(char *row, int offset, T value)
{
    std::memcpy(row + offset, &value, sizeof value);
}

qint64 integerValue(const Column &column, const char *row)
{
    switch (column.type) {
    case SQL_SHORT:
        return load<ISC_SHORT>(row, column.dataOffset);
    case SQL_LONG:
        return load<ISC_LONG>(row, column.dataOffset);
    case SQL_INT64:
        return load<ISC_INT64>(row, column.dataOffset);
    default:
        return 0;
    }
}

QString scaledText(qint64 value, int scale)
{
    if (scale >= 0)
        return QString::number(value * qint64(std::pow(10, scale)));
    QString digits = QString::number(value < 0 ? -value : value).rightJustified(-scale + 1, QLatin1Char('0'));
    digits.insert(digits.size() + scale, QLatin1Char('.'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QDate dateOf(ISC_DATE date)
{
    return QDate::fromJulianDay(date + kJulianDayOfDayZero);
}
QTime timeOf(ISC_TIME time)
{
    return QTime::fromMSecsSinceStartOfDay(int(time / kTimeUnitsPerMs));
}
ISC_DATE iscDate(QDate date)
{
    return ISC_DATE(date.toJulianDay() - kJulianDayOfDayZero);
}
ISC_TIME iscTime(QTime time)
{
    return ISC_TIME(time.msecsSinceStartOfDay() * kTimeUnitsPerMs);
}

const QString kDateFormat = QStringLiteral("d.M.yyyy");
const QString kTimeFormat = QStringLiteral("H:mm:ss");

QString notValid(const QString &text, const char *what)
{
    return QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what));
}

qint64 parseWhole(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw EConvertError(notValid(text, "integer value"));
    return value;
}

// A decimal comma reads as the point.
double parseFloat(const QString &text)
{
    QString number = text.trimmed();
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok)
        throw EConvertError(notValid(text, "floating point value"));
    return value;
}

// A scaled column holds the number times ten to the minus scale.
qint64 parseInteger(const Column &column, const QString &text)
{
    if (column.scale == 0)
        return parseWhole(text);
    return qint64(std::llround(parseFloat(text) * std::pow(10, -column.scale)));
}

void storeInteger(const Column &column, char *row, qint64 value)
{
    switch (column.type) {
    case SQL_SHORT:
        if (value < SHRT_MIN || value > SHRT_MAX)
            throw EConvertError(QStringLiteral("%1 is not a valid value").arg(value));
        store<ISC_SHORT>(row, column.dataOffset, ISC_SHORT(value));
        break;
    case SQL_LONG:
        if (value < INT_MIN || value > INT_MAX)
            throw EConvertError(QStringLiteral("%1 is not a valid value").arg(value));
        store<ISC_LONG>(row, column.dataOffset, ISC_LONG(value));
        break;
    default:
        store<ISC_INT64>(row, column.dataOffset, value);
    }
}

// In the format the values are shown in, or in ISO form; QDate or QTime.
template <typename Moment> Moment parseMoment(const QString &text, const QString &format, const char *what)
{
    const QString trimmed = text.trimmed();
    Moment moment = Moment::fromString(trimmed, format);
    if (!moment.isValid())
        moment = Moment::fromString(trimmed, Qt::ISODate);
    if (!moment.isValid())
        throw EConvertError(notValid(text, what));
    return moment;
}

QDate parseDate(const QString &text)
{
    return parseMoment<QDate>(text, kDateFormat, "date");
}

QTime parseTime(const QString &text)
{
    return parseMoment<QTime>(text, kTimeFormat, "time");
}

} // namespace

FieldType Column::fieldType() const
{
    switch (type) {
    case SQL_TEXT:
    case SQL_VARYING:
        return ftString;
    case SQL_SHORT:
        return scale == 0 ? ftSmallint : ftBCD;
    case SQL_LONG:
        return scale == 0 ? ftInteger : ftBCD;
    case SQL_INT64:
        return scale == 0 ? ftLargeint : ftBCD;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return ftFloat;
    case SQL_TYPE_DATE:
        return ftDate;
    case SQL_TYPE_TIME:
        return ftTime;
    case SQL_TIMESTAMP:
        return ftDateTime;
    case SQL_BOOLEAN:
        return ftBoolean;
    case SQL_BLOB:
        return subType == isc_blob_text ? ftMemo : ftBlob;
    default:
        return ftUnknown;
    }
}

bool isTextSqlType(short type)
{
    return type == SQL_TEXT || type == SQL_VARYING;
}

int Column::characterSize() const
{
    if (!isTextSqlType(type))
        return 0;
    return length / bytesPerCharacter(subType & 0xFF);
}

bool columnIsNull(const Column &column, const char *row)
{
    return load<short>(row, column.nullOffset) < 0;
}

void setColumnNull(const Column &column, char *row)
{
    store<short>(row, column.nullOffset, -1);
}

QByteArrayView columnBytes(const Column &column, const char *row)
{
    if (columnIsNull(column, row))
        return {};
    const char *data = row + column.dataOffset;
    if (column.type == SQL_VARYING)
        return {data + 2, load<short>(row, column.dataOffset)};
    return {data, column.length};
}

QString columnText(const Column &column, const char *row, const TextCodec &codec)
{
    if (columnIsNull(column, row))
        return {};
    const char *data = row + column.dataOffset;
    switch (column.type) {
    case SQL_TEXT:
    case SQL_VARYING: {
        const QByteArrayView bytes = columnBytes(column, row);
        const QString text = codec.decode(bytes.data(), int(bytes.size()));
        // In a set of several bytes per character the server pads CHAR(n)
        // to its bytes, not to n characters.
        return column.type == SQL_TEXT ? text.left(column.characterSize()) : text;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return scaledText(integerValue(column, row), column.scale);
    case SQL_FLOAT:
        return QString::number(load<float>(row, column.dataOffset), 'g', 7);
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QString::number(load<double>(row, column.dataOffset), 'g', 15);
    case SQL_TYPE_DATE:
        return dateOf(load<ISC_DATE>(row, column.dataOffset)).toString(kDateFormat);
    case SQL_TYPE_TIME:
        return timeOf(load<ISC_TIME>(row, column.dataOffset)).toString(kTimeFormat);
    case SQL_TIMESTAMP: {
        const auto stamp = load<ISC_TIMESTAMP>(row, column.dataOffset);
        return dateOf(stamp.timestamp_date).toString(kDateFormat) + QLatin1Char(' ') +
               timeOf(stamp.timestamp_time).toString(kTimeFormat);
    }
    case SQL_BOOLEAN:
        return *data ? QStringLiteral("True") : QStringLiteral("False");
    case SQL_BLOB:
        return column.subType == isc_blob_text ? QStringLiteral("(MEMO)") : QStringLiteral("(BLOB)");
    default:
        return {};
    }
}

qint64 columnInt64(const Column &column, const char *row, const TextCodec &codec)
{
    if (columnIsNull(column, row))
        return 0;
    switch (column.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (column.scale == 0)
            return integerValue(column, row);
        return qint64(std::llround(integerValue(column, row) * std::pow(10, column.scale)));
    case SQL_FLOAT:
        return qint64(std::llround(load<float>(row, column.dataOffset)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return qint64(std::llround(load<double>(row, column.dataOffset)));
    default:
        break;
    }
    return parseWhole(columnText(column, row, codec));
}

void setColumnText(const Column &column, char *row, const QString &text, const TextCodec &codec)
{
    char *data = row + column.dataOffset;
    switch (column.type) {
    case SQL_TEXT:
    case SQL_VARYING: {
        QByteArray bytes = codec.encode(text.left(column.characterSize()));
        if (bytes.size() > column.length)
            bytes.truncate(column.length);
        if (column.type == SQL_VARYING) {
            store<short>(row, column.dataOffset, short(bytes.size()));
            std::memcpy(data + 2, bytes.constData(), size_t(bytes.size()));
        } else {
            std::memset(data, ' ', size_t(column.length));
            std::memcpy(data, bytes.constData(), size_t(bytes.size()));
        }
        break;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        storeInteger(column, row, parseInteger(column, text));
        break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        const double value = parseFloat(text);
        if (column.type == SQL_FLOAT)
            store<float>(row, column.dataOffset, float(value));
        else
            store<double>(row, column.dataOffset, value);
        break;
    }
    case SQL_TYPE_DATE:
        store<ISC_DATE>(row, column.dataOffset, iscDate(parseDate(text)));
        break;
    case SQL_TYPE_TIME:
        store<ISC_TIME>(row, column.dataOffset, iscTime(parseTime(text)));
        break;
    case SQL_TIMESTAMP: {
        const QString trimmed = text.trimmed();
        const int blank = trimmed.indexOf(QLatin1Char(' '));
        ISC_TIMESTAMP stamp{iscDate(parseDate(blank < 0 ? trimmed : trimmed.left(blank))),
                            blank < 0 ? 0 : iscTime(parseTime(trimmed.mid(blank + 1)))};
        store<ISC_TIMESTAMP>(row, column.dataOffset, stamp);
        break;
    }
    case SQL_BOOLEAN: {
        const QString value = text.trimmed().toLower();
        if (value != QLatin1String("true") && value != QLatin1String("false"))
            throw EConvertError(notValid(text, "boolean value"));
        *data = value == QLatin1String("true") ? 1 : 0;
        break;
    }
    default:
        throw EDatabaseError(QStringLiteral("Text cannot be written to a field of this type"));
    }
    store<short>(row, column.nullOffset, 0);
}

} // namespace platform
