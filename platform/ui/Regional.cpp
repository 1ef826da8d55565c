#include "Regional.h"

#include <QLocale>
#include <QStringList>

namespace platform {

namespace {

std::function<RegionalSettings()> &installedProvider()
{
    static std::function<RegionalSettings()> provider;
    return provider;
}

RegionalSettings systemSettings()
{
    const QLocale locale = QLocale::system();
    const QString separator = locale.decimalPoint();
    return {separator.isEmpty() ? QLatin1Char('.') : separator.front(), locale.dateFormat(QLocale::ShortFormat),
            QDate::currentDate()};
}

// The order of day, month and year in a format, such as "dMy".
QString fieldOrder(const QString &format)
{
    QString order;
    for (const QChar c : format) {
        if ((c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) && !order.contains(c))
            order += c;
    }
    return order.size() == 3 ? order : QStringLiteral("dMy");
}

QChar dateSeparator(const QString &format)
{
    for (const QChar c : format) {
        if (!c.isLetter())
            return c;
    }
    return QLatin1Char('.');
}

std::optional<int> number(const QString &digits)
{
    if (digits.isEmpty() || digits.size() > 4)
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return digits.toInt();
}

int fullYear(int year, int digits, const QDate &today)
{
    if (digits > 2)
        return year;
    int full = today.year() / 100 * 100 + year;
    if (full > today.year() + 50)
        full -= 100;
    else if (full <= today.year() - 50)
        full += 100;
    return full;
}

} // namespace

RegionalSettings regionalSettings()
{
    return installedProvider() ? installedProvider()() : systemSettings();
}

void setRegionalSettingsProvider(std::function<RegionalSettings()> provider)
{
    installedProvider() = std::move(provider);
}

std::optional<QDate> parseShortDate(const QString &text)
{
    const RegionalSettings settings = regionalSettings();
    const QStringList parts = text.trimmed().split(dateSeparator(settings.shortDateFormat));
    if (parts.size() != 3)
        return std::nullopt;
    const QString order = fieldOrder(settings.shortDateFormat);
    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        const std::optional<int> value = number(parts[i]);
        if (!value)
            return std::nullopt;
        if (order[i] == QLatin1Char('d'))
            day = *value;
        else if (order[i] == QLatin1Char('M'))
            month = *value;
        else
            year = fullYear(*value, int(parts[i].size()), settings.today);
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace platform
