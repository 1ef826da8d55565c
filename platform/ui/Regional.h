#pragma once

// The user's regional settings, read live at every call: the decimal
// separator, the short date format and today's date. Tests install their own
// provider.

#include <QChar>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace platform {

struct RegionalSettings {
    QChar decimalSeparator;
    // In Qt's letters (d, M, yyyy), such as "d.M.yyyy"
    QString shortDateFormat;
    QDate today;
};

// The system's settings (or the installed provider's), read now.
RegionalSettings regionalSettings();

// Installs a provider; an empty one restores the system's settings.
void setRegionalSettingsProvider(std::function<RegionalSettings()> provider);

// The class library's string-to-date conversion under the short date format:
// day, month and year in the format's order, separated by its separator; a
// one- or two-digit year lies within 50 years of today. Nothing for a text
// that names no date.
std::optional<QDate> parseShortDate(const QString &text);

} // namespace platform
