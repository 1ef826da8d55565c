#pragma once

// Printer settings of the report engine, set up at start and read by nothing
// else in the program.

#include <QSize>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

struct PrinterSetupState {
    std::uint8_t flag = 0;
    std::optional<QStringList> fontList; // exists from start-up to shut-down
    QSize pageSize;                      // hundredths of an inch
    int pageExtra = 0;
    std::array<int, 4> margins{};
    std::array<int, 5> further{};
    float scaleX = 0;
    float scaleY = 0;
};

extern PrinterSetupState PrinterSetup;

// The screen's font families in the toolkit's order, then the printer's own
// "Roman 10cpi", "Roman 12cpi" and "Roman 17cpi". Needs the application object.
void FillPrinterFontList(QStringList &list);

void PrinterSetupUnitStartup();
void PrinterSetupUnitShutdown();
