#include "DataSetModel.h"

#include "db/DataSet.h"
#include "db/Field.h"

#include <QBrush>

DataSetModel::DataSetModel(QObject *parent) : QAbstractTableModel(parent) {}

platform::DataSet *DataSetModel::dataSet() const
{
    return dataSet_;
}

void DataSetModel::setDataSet(platform::DataSet *dataSet)
{
    if (dataSet_ == dataSet)
        return;
    if (dataSet_)
        dataSet_->disconnect(this);
    beginResetModel();
    dataSet_ = dataSet;
    resolveFields();
    endResetModel();
    if (!dataSet)
        return;
    // Inserted and removed rows are rare (one user at a time): a reset is
    // simpler than keeping row positions in step and costs no fetch.
    connect(dataSet, &QObject::destroyed, this, &DataSetModel::resetRows);
    connect(dataSet, &platform::DataSet::rowsReset, this, &DataSetModel::resetRows);
    connect(dataSet, &platform::DataSet::rowInserted, this, &DataSetModel::resetRows);
    connect(dataSet, &platform::DataSet::rowRemoved, this, &DataSetModel::resetRows);
    connect(dataSet, &platform::DataSet::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(dataSet, &platform::DataSet::currentRowChanged, this, &DataSetModel::currentRecordChanged);
    emit currentRecordChanged(dataSet->currentRow());
}

void DataSetModel::resetRows()
{
    beginResetModel();
    resolveFields();
    endResetModel();
    emit currentRecordChanged(dataSet_ ? dataSet_->currentRow() : -1);
}

void DataSetModel::resolveFields()
{
    for (ColumnDef &column : columns_) {
        const platform::Field *found = dataSet_ ? dataSet_->findField(column.fieldName) : nullptr;
        column.fieldIndex = found ? found->index() : -1;
    }
}

int DataSetModel::addColumn(const QString &fieldName)
{
    const int column = columnCount();
    beginInsertColumns({}, column, column);
    columns_.push_back({fieldName, std::nullopt, QColor(), -1});
    resolveFields();
    endInsertColumns();
    return column;
}

QString DataSetModel::fieldName(int column) const
{
    return columns_.at(size_t(column)).fieldName;
}

platform::Field *DataSetModel::field(int column) const
{
    return dataSet_ ? dataSet_->findField(fieldName(column)) : nullptr;
}

int DataSetModel::fieldIndex(int column) const
{
    return columns_[size_t(column)].fieldIndex;
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !dataSet_ || !dataSet_->active())
        return 0;
    return dataSet_->rowCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !dataSet_ || !dataSet_->active())
        return {};
    const int shown = fieldIndex(index.column());
    if (role == Qt::DisplayRole)
        return dataSet_->text(index.row(), shown);
    // Numbers stand at the right edge of their cells, as in every grid.
    if (role == Qt::TextAlignmentRole && shown >= 0 && !platform::isTextType(dataSet_->field(shown)->dataType()))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const ColumnDef &column = columns_[size_t(section)];
    if (role == Qt::DisplayRole) {
        if (column.caption)
            return *column.caption;
        const platform::Field *shown = field(section);
        return shown ? shown->displayLabel() : column.fieldName;
    }
    if (role == Qt::ForegroundRole && column.titleColor.isValid())
        return QBrush(column.titleColor);
    return {};
}

bool DataSetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return false;
    ColumnDef &column = columns_[size_t(section)];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        column.caption = value.toString();
    else if (role == Qt::ForegroundRole)
        column.titleColor = value.value<QColor>();
    else
        return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}
