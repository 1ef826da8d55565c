#pragma once

// The product database's schema as the error messages need it: Czech
// captions of the tables and the texts shown for constraints and indexes.
// Constant data, scanned from the first row.

#include <QStringView>

#include <span>

struct TableCaptionRow {
    QStringView table;
    QStringView caption;
};

struct ConstraintRow {
    QStringView table; // owning table; no lookup reads it
    QStringView constraint;
    QStringView message;
};

struct IndexRow {
    QStringView index;
    QStringView table; // owning table; no lookup reads it
    QStringView message;
};

std::span<const TableCaptionRow> TableCaptionRows();
std::span<const ConstraintRow> ConstraintRows();
std::span<const IndexRow> IndexRows();
