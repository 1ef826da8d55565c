#pragma once

// The start-up and shut-down of the report engine's units that Kelmo
// carries. Kelmo's entry routine calls ReportUnitsStartup() once the
// application object exists and before its main routine (the units need the
// screen's fonts and cursors), and ReportUnitsShutdown() at its end. Each unit
// guards itself with a counter of its own, so repeated calls only count: the
// work runs on the first start-up and on the shut-down that balances it.

#include <span>
#include <string_view>

struct ReportUnit {
    std::string_view name;
    void (*startup)();
    void (*shutdown)();
};

// The five units in start-up order.
std::span<const ReportUnit> ReportUnitsInOrder();

// Start-up of the units in their order; shut-down in the reverse order.
void StartUnits(std::span<const ReportUnit> units);
void ShutDownUnits(std::span<const ReportUnit> units);

void ReportUnitsStartup();
void ReportUnitsShutdown();
