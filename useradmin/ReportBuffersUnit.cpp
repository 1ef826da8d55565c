#include "ReportBuffersUnit.h"

#include "UnitCounter.h"

ReportBuffersState ReportBuffers;

namespace {
UnitCounter counter;
} // namespace

void AllocWorkBuffers()
{
    ReportBuffers.largeBuffer = QByteArray(4100, '\0');
    ReportBuffers.smallBuffer = QByteArray(1025, '\0');
    ReportBuffers.pointer = nullptr;
    ReportBuffers.rect = {};
}

void FreeWorkBuffers()
{
    ReportBuffers.largeBuffer = QByteArray();
    ReportBuffers.smallBuffer = QByteArray();
}

void ReportBuffersUnitStartup()
{
    counter.startup(AllocWorkBuffers);
}

void ReportBuffersUnitShutdown()
{
    counter.shutdown(FreeWorkBuffers);
}
