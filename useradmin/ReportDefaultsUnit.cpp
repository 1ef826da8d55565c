#include "ReportDefaultsUnit.h"

#include "UnitCounter.h"

ReportDefaultsState ReportDefaults;

namespace {
UnitCounter counter;
} // namespace

void ReportDefaultsUnitStartup()
{
    counter.startup([] {
        ReportDefaults.longValues = {0, 0};
        ReportDefaults.realValue = 2.0;
        ReportDefaults.integerValue = 1;
        ReportDefaults.barcodeKind = BarcodeKindEan13;
        ReportDefaults.secondByte = 0;
        ReportDefaults.text.clear();
        ReportDefaults.thirdByte = 0;
        ReportDefaults.color = QColor(Qt::white);
        ReportDefaults.furtherLong = 0;
    });
}

// The constant tables need no release.
void ReportDefaultsUnitShutdown()
{
    counter.shutdown([] {
        ReportDefaults.text = QString();
        ReportDefaults.secondText = QString();
    });
}
