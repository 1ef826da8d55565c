#pragma once

// Defaults and barcode tables of the report engine, set up at start and read
// by nothing else in the program.

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

struct BarcodeKind {
    std::string_view name;
    bool digitsOnly;
};

inline constexpr std::array<BarcodeKind, 20> BarcodeKinds{{
    {"2/5 interleaved", true}, {"2/5 industrial", true}, {"2/5 matrix", true}, {"Code 39", false},
    {"Code 39 Full", false},   {"Code 128A", false},     {"Code 128B", false}, {"Code 128C", true},
    {"Code 93", false},        {"Code 93 Full", false},  {"MSI", true},        {"PostNet", true},
    {"Codebar", false},        {"EAN 8", true},          {"EAN 13", true},     {"UPC-A", true},
    {"UPC-E0", true},          {"UPC-E1", true},         {"UPC Supp2", true},  {"UPC Supp5", true},
}};

inline constexpr std::uint8_t BarcodeKindEan13 = 14;

// The digits 0 to 9 of the EAN/UPC character sets. Each pattern gives the
// widths of its four elements from left to right: "0" to "3" a space of 1 to
// 4 modules, "5" to "8" a bar of 1 to 4 modules.
using DigitPatterns = std::array<std::string_view, 10>;

// Set A (odd parity, the left half's L code).
inline constexpr DigitPatterns EanSetA{"2605", "1615", "1516", "0805", "0526", "0625", "0508", "0706", "0607", "2506"};
// Set C (the right half's R code): set A with bars and spaces exchanged.
inline constexpr DigitPatterns EanSetC{"7150", "6160", "6061", "5350", "5071", "5170", "5053", "5251", "5152", "7051"};
// Set B (even parity, the G code): set C read backwards.
inline constexpr DigitPatterns EanSetB{"0517", "0616", "1606", "0535", "1705", "0715", "3505", "1525", "2515", "1507"};

struct ReportDefaultsState {
    int integerValue = 0;
    double realValue = 0;
    std::uint8_t barcodeKind = 0; // row of BarcodeKinds
    std::uint8_t secondByte = 0;
    std::uint8_t thirdByte = 0;
    QString text;
    std::array<std::int32_t, 2> longValues{};
    QColor color;
    std::int32_t furtherLong = 0;
    QString secondText; // start-up leaves it as it is
};

extern ReportDefaultsState ReportDefaults;

void ReportDefaultsUnitStartup();
void ReportDefaultsUnitShutdown();
