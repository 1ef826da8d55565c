#pragma once

// The link between data-aware controls and one data set: controls hold the
// data source, so that a form can hand them another data set in one place.

#include <QObject>
#include <QPointer>

namespace platform {
class DataSet;
}

class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject *owner = nullptr);

    platform::DataSet *DataSet() const;
    void SetDataSet(platform::DataSet *value);

signals:
    void dataSetChanged();

private:
    QPointer<platform::DataSet> FDataSet;
};
