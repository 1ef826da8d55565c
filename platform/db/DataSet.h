#pragma once

// An editable data set over a SELECT: the rows are fetched once at open and
// buffered on the client; moving, locating and reading never re-run the
// statement. Insert, modify, delete and refresh statements name their
// parameters after the columns (":UZI$LOGIN") and "OLD_" + column for the
// row as it was read.

#include "FieldType.h"

#include <QFlags>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace platform {

class Database;
class Transaction;
class Field;
class Statement;
class TextCodec;
struct Column;

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class LocateOption { CaseInsensitive = 1, PartialKey = 2 };
Q_DECLARE_FLAGS(LocateOptions, LocateOption)

class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(QObject *parent = nullptr);
    ~DataSet() override;

    // Without a database, the transaction's default database is used.
    Database *database() const;
    void setDatabase(Database *database);
    // Without a transaction, the database's default transaction is used.
    Transaction *transaction() const;
    void setTransaction(Transaction *transaction);

    // The select text, line by line; the whole text joins them with "\n".
    QStringList selectSql() const;
    void setSelectSql(const QStringList &lines);
    int selectLineCount() const;
    QString selectLine(int index) const;
    void setSelectLine(int index, const QString &line);
    void addSelectLine(const QString &line);
    QString selectText() const;
    void setSelectText(const QString &text);

    QStringList insertSql() const;
    void setInsertSql(const QStringList &lines);
    QStringList modifySql() const;
    void setModifySql(const QStringList &lines);
    QStringList deleteSql() const;
    void setDeleteSql(const QStringList &lines);
    QStringList refreshSql() const;
    void setRefreshSql(const QStringList &lines);

    // Runs the select text as it stands, fetches every row and makes the
    // first current. The transaction must be active.
    void open();
    // Cancels a pending insert or edit.
    void close();
    bool active() const;
    DataSetState state() const;
    bool isEmpty() const;
    // The number of rows held (a row being inserted included).
    int recordCount() const;

    void first();
    void last();
    // At the last row the row stays current and eof() becomes true.
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    // The current record number from 1; 0 when there is no row.
    int recNo() const;
    // Moves to that record (clamped to the rows held).
    void setRecNo(int recNo);

    // From the first row; the first match becomes current and true is
    // returned. Without a match the current row stays. Text fields:
    // CaseInsensitive compares upper-cased, PartialKey matches a beginning;
    // other types: the value as text must equal.
    bool locate(const QString &fieldName, const QString &value, LocateOptions options = {});

    // The fields of the open data set (definitions survive a reopen: a
    // field's display label and required flag set by the program stay).
    int fieldCount() const;
    Field *field(int index) const;
    // nullptr when there is no such field (name compared case-insensitively).
    Field *findField(const QString &fieldName) const;
    // Raises EDatabaseError when there is no such field.
    Field *fieldByName(const QString &fieldName) const;
    // Defines a field before open, so that its label and required flag can
    // be set at once; open binds it to the column of that name.
    Field *addField(const QString &fieldName);

    // A new empty row before the current one becomes current.
    void insert();
    // A new empty row after the last becomes current.
    void append();
    void edit();
    // Runs the insert or modify statement at once in the transaction, then
    // the refresh statement; the row stays current.
    void post();
    void cancel();
    // Runs the delete statement at once; the next row becomes current.
    void deleteRecord();

    // Nested: while disabled, no afterScroll and no row notifications; the
    // last enable sends one rowsReset and one afterScroll.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

    // Row access for views, without moving the current row (row from 0).
    int rowCount() const { return recordCount(); }
    int currentRow() const;
    QString text(int row, int column) const;
    bool isNull(int row, int column) const;

signals:
    // A row became current after open, insert or any move.
    void afterScroll();
    // Every row and field may have changed (open, close, resumed controls).
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged();

private:
    friend class Field;
    enum class StatementKind { Insert, Modify, Delete, Refresh };
    // Replaces the text of that statement; it is prepared anew when next run.
    void setSql(StatementKind kind, const QStringList &lines);
    void requireActive() const;
    void checkBrowseMode();
    void moveTo(int row);
    void notifyScroll();
    void bindFields();
    void startInsert(int position);
    // Takes the current row out; the row at nextCurrent (clamped) becomes current.
    void removeCurrentRow(int nextCurrent);
    // The statement of that kind, prepared once, with its values bound from
    // the rows (the "OLD_" parameters from oldRow).
    Statement &boundStatement(StatementKind kind, const QByteArray &newRow, const QByteArray &oldRow);
    void run(StatementKind kind, const QByteArray &newRow, const QByteArray &oldRow);
    void refreshEditRow(const QByteArray &oldRow);
    // For the fields: the current row's buffer (nullptr without a row).
    const char *currentData() const;
    const Column &columnOf(const Field &field) const;
    // Null text clears the field.
    void writeField(const Field &field, const QString *text);
    const TextCodec &codec() const;
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform

Q_DECLARE_OPERATORS_FOR_FLAGS(platform::LocateOptions)
