#pragma once

// One column of an editable data set: its definition and the value of the
// data set's current row.

#include "FieldType.h"

#include <QString>

namespace platform {

class DataSet;

class Field {
public:
    Field(DataSet *dataSet, const QString &fieldName);
    Field(const Field &) = delete;
    Field &operator=(const Field &) = delete;

    DataSet *dataSet() const { return dataSet_; }
    QString fieldName() const { return fieldName_; }
    // The position among the data set's fields, from 0.
    int index() const { return index_; }
    FieldType dataType() const { return dataType_; }
    // Text types: the size in characters; other types: 0.
    int size() const { return size_; }
    // "TABLE"."COLUMN" in dialect 3, TABLE.COLUMN in dialect 1; empty when
    // the server names no table or column.
    QString origin() const { return origin_; }

    // Defaults to the field name.
    QString displayLabel() const;
    void setDisplayLabel(const QString &label);
    // Defaults to the column's NOT NULL.
    bool required() const;
    void setRequired(bool required);

    // The value of the current row (of the row being inserted or edited).
    bool isNull() const;
    QString asString() const;
    qint64 asLargeInt() const;
    int asInteger() const { return int(asLargeInt()); }
    // Only in insert or edit state. Text fields keep at most size()
    // characters; other types convert the text or raise EConvertError.
    void setAsString(const QString &value);
    void clear();

private:
    friend class DataSet;
    DataSet *dataSet_;
    QString fieldName_;
    int index_ = -1;
    FieldType dataType_ = ftUnknown;
    int size_ = 0;
    QString origin_;
    bool columnRequired_ = false;
    QString displayLabel_;
    bool labelSet_ = false;
    bool requiredSet_ = false;
    bool requiredOverride_ = false;
};

} // namespace platform
