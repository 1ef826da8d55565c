#include "ReportRecordsUnit.h"

#include "UnitCounter.h"

#include <algorithm>

ReportRecordsState ReportRecords;

namespace {
UnitCounter counter;
} // namespace

void ReportRecordsUnitStartup()
{
    counter.startup([] { ReportRecords.references = {nullptr, nullptr}; });
}

void ReportRecordsUnitShutdown()
{
    counter.shutdown([] {
        const auto release = [](TCalcType &record) { record.text = QString(); };
        std::ranges::for_each(ReportRecords.calcTable, release);
        std::ranges::for_each(ReportRecords.singleCalcs, release);
        ReportRecords.furtherText = QString();
    });
}
