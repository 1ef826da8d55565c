#pragma once

// A table model over an editable data set: one row per record, one column
// per grid column (a field name, a title caption and a title colour). Cells
// are read from the data set's own row buffers when they are painted; the
// model keeps no copy of the rows.

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

#include <optional>
#include <vector>

namespace platform {
class DataSet;
class Field;
} // namespace platform

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(QObject *parent = nullptr);

    platform::DataSet *dataSet() const;
    void setDataSet(platform::DataSet *dataSet);

    // Appends a column showing the field of that name; returns its index.
    int addColumn(const QString &fieldName);
    QString fieldName(int column) const;
    // nullptr when the data set has no field of that name.
    platform::Field *field(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Horizontal titles: the caption (until set, the field's display label)
    // and, once set, the title colour as the foreground.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

signals:
    // The data set's current row (from 0, -1 without one): after every move
    // and after the rows were reset.
    void currentRecordChanged(int row);

private:
    void resetRows();
    void resolveFields();
    int fieldIndex(int column) const;

    struct ColumnDef {
        QString fieldName;
        std::optional<QString> caption;
        QColor titleColor;
        int fieldIndex = -1; // position in the data set's rows
    };
    QPointer<platform::DataSet> dataSet_;
    std::vector<ColumnDef> columns_;
};
