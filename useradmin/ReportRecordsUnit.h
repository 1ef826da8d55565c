#pragma once

// Calculation records of the report engine, set up at start and read by
// nothing else in the program.

#include <QString>

#include <array>

// Of the record's fields only its text needs start-up and shut-down work.
struct TCalcType {
    QString text;
};

struct ReportRecordsState {
    std::array<void *, 2> references{};
    std::array<TCalcType, 42> calcTable;
    std::array<TCalcType, 5> singleCalcs;
    QString furtherText;
};

extern ReportRecordsState ReportRecords;

void ReportRecordsUnitStartup();
void ReportRecordsUnitShutdown();
