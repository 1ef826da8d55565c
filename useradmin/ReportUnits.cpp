#include "ReportUnits.h"

#include "DesignerCursorsUnit.h"
#include "PrinterSetupUnit.h"
#include "ReportBuffersUnit.h"
#include "ReportDefaultsUnit.h"
#include "ReportRecordsUnit.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<ReportUnit, 5> reportUnits{{
    {"PrinterSetupUnit", PrinterSetupUnitStartup, PrinterSetupUnitShutdown},
    {"ReportBuffersUnit", ReportBuffersUnitStartup, ReportBuffersUnitShutdown},
    {"ReportDefaultsUnit", ReportDefaultsUnitStartup, ReportDefaultsUnitShutdown},
    {"DesignerCursorsUnit", DesignerCursorsUnitStartup, DesignerCursorsUnitShutdown},
    {"ReportRecordsUnit", ReportRecordsUnitStartup, ReportRecordsUnitShutdown},
}};

} // namespace

std::span<const ReportUnit> ReportUnitsInOrder()
{
    return reportUnits;
}

void StartUnits(std::span<const ReportUnit> units)
{
    for (const ReportUnit &unit : units)
        unit.startup();
}

void ShutDownUnits(std::span<const ReportUnit> units)
{
    std::for_each(units.rbegin(), units.rend(), [](const ReportUnit &unit) { unit.shutdown(); });
}

void ReportUnitsStartup()
{
    StartUnits(ReportUnitsInOrder());
}

void ReportUnitsShutdown()
{
    ShutDownUnits(ReportUnitsInOrder());
}
