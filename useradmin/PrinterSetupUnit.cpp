#include "PrinterSetupUnit.h"

#include "UnitCounter.h"

#include <QFontDatabase>

PrinterSetupState PrinterSetup;

namespace {
UnitCounter counter;
} // namespace

void FillPrinterFontList(QStringList &list)
{
    list = QFontDatabase::families();
    list << QStringLiteral("Roman 10cpi") << QStringLiteral("Roman 12cpi") << QStringLiteral("Roman 17cpi");
}

void PrinterSetupUnitStartup()
{
    counter.startup([] {
        PrinterSetup.flag = 0;
        FillPrinterFontList(PrinterSetup.fontList.emplace());
        // A4, 210 by 297 mm, cut to whole hundredths of an inch.
        PrinterSetup.pageSize = QSize(826, 1169);
        PrinterSetup.pageExtra = 0;
        PrinterSetup.margins = {50, 50, 70, 70};
        PrinterSetup.further = {};
        PrinterSetup.scaleX = 1.0f;
        PrinterSetup.scaleY = 1.0f;
    });
}

void PrinterSetupUnitShutdown()
{
    counter.shutdown([] { PrinterSetup.fontList.reset(); });
}
