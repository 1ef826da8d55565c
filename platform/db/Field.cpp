#include "Field.h"

#include "Column.h"
#include "DataSet.h"

namespace platform {

Field::Field(DataSet *dataSet, const QString &fieldName) : dataSet_(dataSet), fieldName_(fieldName) {}

QString Field::displayLabel() const
{
    return labelSet_ ? displayLabel_ : fieldName_;
}

void Field::setDisplayLabel(const QString &label)
{
    displayLabel_ = label;
    labelSet_ = true;
}

bool Field::required() const
{
    return requiredSet_ ? requiredOverride_ : columnRequired_;
}

void Field::setRequired(bool required)
{
    requiredOverride_ = required;
    requiredSet_ = true;
}

bool Field::isNull() const
{
    const char *row = dataSet_->currentData();
    return index_ < 0 || !row || columnIsNull(dataSet_->columnOf(*this), row);
}

QString Field::asString() const
{
    const char *row = dataSet_->currentData();
    if (index_ < 0 || !row)
        return {};
    return columnText(dataSet_->columnOf(*this), row, dataSet_->codec());
}

qint64 Field::asLargeInt() const
{
    const char *row = dataSet_->currentData();
    if (index_ < 0 || !row)
        return 0;
    return columnInt64(dataSet_->columnOf(*this), row, dataSet_->codec());
}

void Field::setAsString(const QString &value)
{
    dataSet_->writeField(*this, &value);
}

void Field::clear()
{
    dataSet_->writeField(*this, nullptr);
}

} // namespace platform
