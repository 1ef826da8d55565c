#include "DataSource.h"

#include "db/DataSet.h"

TDataSource::TDataSource(QObject *owner) : QObject(owner) {}

platform::DataSet *TDataSource::DataSet() const
{
    return FDataSet;
}

void TDataSource::SetDataSet(platform::DataSet *value)
{
    if (FDataSet == value)
        return;
    FDataSet = value;
    emit dataSetChanged();
}
