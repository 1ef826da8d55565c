#include "DataSet.h"

#include "DataSetTexts.h"
#include "Database.h"
#include "Field.h"
#include "Handles.h"
#include "LocateMatcher.h"
#include "NamedParameters.h"
#include "Statement.h"
#include "StatementTarget.h"
#include "Transaction.h"
#include "base/Exceptions.h"

#include <QPointer>

#include <algorithm>
#include <map>

namespace platform {

namespace {

const QString kNotEditing = QStringLiteral("Dataset not in edit or insert mode");
const QString kEmpty = QStringLiteral("Cannot perform this operation on an empty dataset");
const QString kOldPrefix = QStringLiteral("OLD_");

QString quotedName(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString originOf(const Column &column, int dialect)
{
    if (column.relation.isEmpty() || column.sqlName.isEmpty())
        return {};
    if (dialect >= 3)
        return quotedName(column.relation) + QLatin1Char('.') + quotedName(column.sqlName);
    return column.relation + QLatin1Char('.') + column.sqlName;
}

bool sameStorage(const Column &a, const Column &b)
{
    return a.type == b.type && a.length == b.length && a.scale == b.scale && a.subType == b.subType;
}

bool inBounds(qsizetype index, qsizetype count)
{
    return index >= 0 && index < count;
}

void requireLineIndex(const QStringList &lines, int index)
{
    if (!inBounds(index, lines.size()))
        throw EDatabaseError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

using Fields = std::vector<std::unique_ptr<Field>>;

// Where the field of that name (letter case ignored) stands in the list, or its end.
template <typename List> auto namedField(List &fields, const QString &name)
{
    return std::find_if(fields.begin(), fields.end(), [&name](const std::unique_ptr<Field> &field) {
        return field && field->fieldName().compare(name, Qt::CaseInsensitive) == 0;
    });
}

Field *findNamed(const Fields &fields, const QString &name)
{
    const auto found = namedField(fields, name);
    return found == fields.end() ? nullptr : found->get();
}

} // namespace

struct DataSet::Private {
    QPointer<Database> database;
    QPointer<Transaction> transaction;
    QStringList selectSql, insertSql, modifySql, deleteSql, refreshSql;

    Fields fields;  // in column order
    Fields unbound; // defined, but not in the last result
    std::vector<Column> columns;
    QByteArray emptyRow;
    std::vector<QByteArray> rows;
    TextCodec codec;
    int dialect = 3;

    DataSetState state = DataSetState::Inactive;
    int current = -1;
    bool eof = true;
    bool bof = true;
    QByteArray editRow; // the row being inserted or edited
    int rowBeforeInsert = -1;
    bool modified = false;
    int disabled = 0;

    struct Prepared {
        std::unique_ptr<Statement> statement;
        QStringList names;
    };
    std::map<StatementKind, Prepared> prepared;
    // The open data set closes with the connection it was opened on.
    QMetaObject::Connection closesWithDatabase;

    bool editing() const { return state == DataSetState::Edit || state == DataSetState::Insert; }

    const char *rowData(int row) const
    {
        if (!inBounds(row, qsizetype(rows.size())))
            return nullptr;
        return row == current && editing() ? editRow.constData() : rows[size_t(row)].constData();
    }

    // The row's buffer when both row and column exist, else nullptr.
    const char *cellRow(int row, int column) const
    {
        return inBounds(column, qsizetype(columns.size())) ? rowData(row) : nullptr;
    }

    Field *find(const QString &name) const { return findNamed(fields, name); }

    QStringList &sqlOf(StatementKind kind)
    {
        switch (kind) {
        case StatementKind::Insert:
            return insertSql;
        case StatementKind::Modify:
            return modifySql;
        case StatementKind::Delete:
            return deleteSql;
        case StatementKind::Refresh:
            break;
        }
        return refreshSql;
    }
};

DataSet::DataSet(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

DataSet::~DataSet() = default;

Database *DataSet::database() const
{
    return d->database;
}

void DataSet::setDatabase(Database *database)
{
    d->prepared.clear();
    d->database = database;
}

Transaction *DataSet::transaction() const
{
    return d->transaction;
}

void DataSet::setTransaction(Transaction *transaction)
{
    d->prepared.clear();
    d->transaction = transaction;
}

QStringList DataSet::selectSql() const
{
    return d->selectSql;
}
void DataSet::setSelectSql(const QStringList &lines)
{
    d->selectSql = lines;
}
int DataSet::selectLineCount() const
{
    return int(d->selectSql.size());
}

QString DataSet::selectLine(int index) const
{
    requireLineIndex(d->selectSql, index);
    return d->selectSql[index];
}

void DataSet::setSelectLine(int index, const QString &line)
{
    requireLineIndex(d->selectSql, index);
    d->selectSql[index] = line;
}

void DataSet::addSelectLine(const QString &line)
{
    d->selectSql << line;
}
QString DataSet::selectText() const
{
    return d->selectSql.join(QLatin1Char('\n'));
}

void DataSet::setSelectText(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    d->selectSql = normalized.split(QLatin1Char('\n'));
}

QStringList DataSet::insertSql() const
{
    return d->insertSql;
}
QStringList DataSet::modifySql() const
{
    return d->modifySql;
}
QStringList DataSet::deleteSql() const
{
    return d->deleteSql;
}
QStringList DataSet::refreshSql() const
{
    return d->refreshSql;
}

void DataSet::setSql(StatementKind kind, const QStringList &lines)
{
    d->prepared.erase(kind);
    d->sqlOf(kind) = lines;
}

void DataSet::setInsertSql(const QStringList &lines)
{
    setSql(StatementKind::Insert, lines);
}
void DataSet::setModifySql(const QStringList &lines)
{
    setSql(StatementKind::Modify, lines);
}
void DataSet::setDeleteSql(const QStringList &lines)
{
    setSql(StatementKind::Delete, lines);
}
void DataSet::setRefreshSql(const QStringList &lines)
{
    setSql(StatementKind::Refresh, lines);
}

void DataSet::open()
{
    if (active())
        return;
    const StatementTarget target = resolveTarget(d->database, d->transaction);
    Statement statement(*target.database, *target.transaction);
    statement.prepare(selectText());
    statement.execute();
    std::vector<QByteArray> rows;
    while (statement.fetch())
        rows.push_back(statement.rowCopy());

    d->codec = DatabaseAccess::codec(*target.database);
    d->dialect = target.database->sqlDialect();
    d->columns = statement.columns();
    d->emptyRow = statement.emptyRow();
    d->rows = std::move(rows);
    d->closesWithDatabase = connect(target.database, &Database::afterDisconnect, this, &DataSet::close);
    bindFields();
    d->state = DataSetState::Browse;
    d->current = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->modified = false;
    if (!controlsDisabled())
        emit rowsReset();
    emit stateChanged();
    notifyScroll();
}

void DataSet::bindFields()
{
    Fields previous = std::move(d->fields);
    for (auto &field : d->unbound)
        previous.push_back(std::move(field));
    d->unbound.clear();
    d->fields.clear();

    auto takePrevious = [&](const QString &name) -> std::unique_ptr<Field> {
        const auto found = namedField(previous, name);
        return found == previous.end() ? nullptr : std::move(*found);
    };
    for (const Column &column : d->columns) {
        // A name given twice gets a number, so that each field has its own.
        QString name = column.name;
        for (int n = 1; d->find(name); ++n)
            name = column.name + QLatin1Char('_') + QString::number(n);
        std::unique_ptr<Field> field = takePrevious(name);
        if (!field)
            field = std::make_unique<Field>(this, name);
        field->index_ = int(d->fields.size());
        field->dataType_ = column.fieldType();
        field->size_ = column.characterSize();
        field->origin_ = originOf(column, d->dialect);
        field->columnRequired_ = !column.nullable;
        d->fields.push_back(std::move(field));
    }
    for (auto &field : previous) {
        if (field) {
            field->index_ = -1;
            d->unbound.push_back(std::move(field));
        }
    }
}

void DataSet::close()
{
    if (!active())
        return;
    disconnect(d->closesWithDatabase);
    d->state = DataSetState::Inactive;
    d->rows.clear();
    d->editRow.clear();
    d->current = -1;
    d->eof = d->bof = true;
    d->modified = false;
    d->prepared.clear();
    if (!controlsDisabled())
        emit rowsReset();
    emit stateChanged();
}

bool DataSet::active() const
{
    return d->state != DataSetState::Inactive;
}
DataSetState DataSet::state() const
{
    return d->state;
}
bool DataSet::isEmpty() const
{
    return d->rows.empty();
}
int DataSet::recordCount() const
{
    return int(d->rows.size());
}

void DataSet::requireActive() const
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::checkBrowseMode()
{
    requireActive();
    if (!d->editing())
        return;
    if (d->modified)
        post();
    else
        cancel();
}

void DataSet::moveTo(int row)
{
    checkBrowseMode();
    if (!d->rows.empty())
        d->current = std::clamp(row, 0, int(d->rows.size()) - 1);
    notifyScroll();
}

void DataSet::first()
{
    moveTo(0);
    d->bof = true;
    d->eof = d->rows.empty();
}

void DataSet::last()
{
    moveTo(int(d->rows.size()) - 1);
    d->eof = true;
    d->bof = d->rows.empty();
}

void DataSet::next()
{
    checkBrowseMode();
    if (d->current + 1 >= int(d->rows.size())) {
        d->eof = true;
        return;
    }
    moveTo(d->current + 1);
    d->bof = d->eof = false;
}

void DataSet::prior()
{
    checkBrowseMode();
    if (d->current <= 0) {
        d->bof = true;
        return;
    }
    moveTo(d->current - 1);
    d->bof = d->eof = false;
}

bool DataSet::eof() const
{
    return d->eof;
}
bool DataSet::bof() const
{
    return d->bof;
}
int DataSet::recNo() const
{
    return d->current + 1;
}

void DataSet::setRecNo(int recNo)
{
    moveTo(recNo - 1);
    d->bof = d->eof = false;
}

bool DataSet::locate(const QString &fieldName, const QString &value, LocateOptions options)
{
    const Field *field = fieldByName(fieldName);
    checkBrowseMode();
    const Column &column = d->columns[size_t(field->index())];
    const bool text = isTextType(field->dataType());
    const bool caseInsensitive = text && options.testFlag(LocateOption::CaseInsensitive);
    const bool partial = text && options.testFlag(LocateOption::PartialKey);
    const LocateMatcher matcher(column, d->codec, value, caseInsensitive, partial);
    for (size_t row = 0; row < d->rows.size(); ++row) {
        if (matcher.matches(d->rows[row].constData())) {
            moveTo(int(row));
            d->bof = d->eof = false;
            return true;
        }
    }
    return false;
}

int DataSet::fieldCount() const
{
    return int(d->fields.size());
}

Field *DataSet::field(int index) const
{
    if (!inBounds(index, fieldCount()))
        throw EDatabaseError(QStringLiteral("Field index out of range"));
    return d->fields[size_t(index)].get();
}

Field *DataSet::findField(const QString &fieldName) const
{
    if (Field *field = d->find(fieldName))
        return field;
    return findNamed(d->unbound, fieldName);
}

Field *DataSet::fieldByName(const QString &fieldName) const
{
    Field *field = d->find(fieldName);
    if (!field)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(fieldName));
    return field;
}

Field *DataSet::addField(const QString &fieldName)
{
    if (Field *field = findField(fieldName))
        return field;
    d->unbound.push_back(std::make_unique<Field>(this, fieldName));
    return d->unbound.back().get();
}

void DataSet::insert()
{
    startInsert(d->current < 0 ? 0 : d->current);
}

void DataSet::append()
{
    startInsert(int(d->rows.size()));
}

void DataSet::startInsert(int position)
{
    requireActive();
    if (d->insertSql.isEmpty())
        throw EDatabaseError(kReadOnlyDataSetText);
    checkBrowseMode();
    position = std::clamp(position, 0, int(d->rows.size()));
    d->rowBeforeInsert = d->current;
    d->rows.insert(d->rows.begin() + position, d->emptyRow);
    d->editRow = d->emptyRow;
    d->current = position;
    d->state = DataSetState::Insert;
    d->modified = false;
    d->bof = d->eof = false;
    if (!controlsDisabled())
        emit rowInserted(position);
    emit stateChanged();
    notifyScroll();
}

void DataSet::edit()
{
    requireActive();
    if (d->modifySql.isEmpty())
        throw EDatabaseError(kReadOnlyDataSetText);
    if (d->editing())
        return;
    if (d->rows.empty()) {
        insert();
        return;
    }
    d->editRow = d->rows[size_t(d->current)];
    d->state = DataSetState::Edit;
    d->modified = false;
    emit stateChanged();
}

void DataSet::post()
{
    requireActive();
    if (!d->editing())
        return;
    const bool inserting = d->state == DataSetState::Insert;
    if ((inserting ? d->insertSql : d->modifySql).isEmpty())
        throw EDatabaseError(kReadOnlyDataSetText);
    for (const auto &field : d->fields) {
        if (field->required() && columnIsNull(d->columns[size_t(field->index())], d->editRow.constData()))
            throw EDatabaseError(fieldMustHaveValueText(field->displayLabel()));
    }
    const QByteArray &oldRow = inserting ? d->emptyRow : d->rows[size_t(d->current)];
    run(inserting ? StatementKind::Insert : StatementKind::Modify, d->editRow, oldRow);
    if (!d->refreshSql.isEmpty())
        refreshEditRow(oldRow);
    d->rows[size_t(d->current)] = d->editRow;
    d->state = DataSetState::Browse;
    d->modified = false;
    if (!controlsDisabled())
        emit rowChanged(d->current);
    emit stateChanged();
}

void DataSet::cancel()
{
    if (!d->editing())
        return;
    const bool inserting = d->state == DataSetState::Insert;
    d->state = DataSetState::Browse;
    d->modified = false;
    d->editRow.clear();
    if (!inserting) {
        if (!controlsDisabled())
            emit rowChanged(d->current);
        emit stateChanged();
        return;
    }
    removeCurrentRow(d->rowBeforeInsert);
    emit stateChanged();
    notifyScroll();
}

void DataSet::deleteRecord()
{
    requireActive();
    // A client error of the data layer, as the error translation expects it
    // among the server's errors.
    if (d->deleteSql.isEmpty())
        throw EIBError(kNoDeleteQueryText, 0);
    if (d->state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (d->rows.empty())
        throw EDatabaseError(kEmpty);
    const QByteArray row = d->rows[size_t(d->current)];
    run(StatementKind::Delete, row, row);
    const bool wasEditing = d->editing();
    d->state = DataSetState::Browse;
    d->editRow.clear();
    d->modified = false;
    removeCurrentRow(d->current);
    if (wasEditing)
        emit stateChanged();
    notifyScroll();
}

void DataSet::removeCurrentRow(int nextCurrent)
{
    const int removed = d->current;
    d->rows.erase(d->rows.begin() + removed);
    d->current = d->rows.empty() ? -1 : std::clamp(nextCurrent, 0, int(d->rows.size()) - 1);
    d->eof = d->rows.empty();
    if (!controlsDisabled())
        emit rowRemoved(removed);
}

Statement &DataSet::boundStatement(StatementKind kind, const QByteArray &newRow, const QByteArray &oldRow)
{
    auto found = d->prepared.find(kind);
    if (found == d->prepared.end()) {
        const PositionalSql sql = toPositional(d->sqlOf(kind).join(QLatin1Char('\n')));
        const StatementTarget target = resolveTarget(d->database, d->transaction);
        auto statement = std::make_unique<Statement>(*target.database, *target.transaction);
        statement->prepare(sql.sql);
        if (statement->parameterCount() != sql.names.size())
            throw EDatabaseError(QStringLiteral("Statement parameters do not match its text"));
        found = d->prepared.emplace(kind, Private::Prepared{std::move(statement), sql.names}).first;
    }
    Statement &statement = *found->second.statement;
    const QStringList &names = found->second.names;
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        const Field *field = nullptr;
        const QByteArray *row = &newRow;
        if (name.startsWith(kOldPrefix, Qt::CaseInsensitive)) {
            field = d->find(name.mid(kOldPrefix.size()));
            row = &oldRow;
        }
        if (!field) {
            field = d->find(name);
            row = &newRow;
        }
        if (!field)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
        statement.bindParameter(i, d->columns[size_t(field->index())], row->constData());
    }
    return statement;
}

void DataSet::run(StatementKind kind, const QByteArray &newRow, const QByteArray &oldRow)
{
    Statement &statement = boundStatement(kind, newRow, oldRow);
    statement.execute();
    // Another user may have deleted the row since it was read: a change that
    // updated nothing saved nothing. (A delete of a row gone already is what
    // was asked.)
    if (kind == StatementKind::Modify && statement.isUpdate() && statement.updatedRowCount() == 0)
        throw EDatabaseError(kRowNotFoundText);
}

void DataSet::refreshEditRow(const QByteArray &oldRow)
{
    Statement &statement = boundStatement(StatementKind::Refresh, d->editRow, oldRow);
    statement.execute();
    const bool found = statement.fetch();
    statement.closeCursor();
    if (!found)
        return;
    char *target = d->editRow.data();
    const char *fetched = statement.rowData();
    for (const Column &source : statement.columns()) {
        const Field *field = d->find(source.name);
        if (!field)
            continue;
        const Column &column = d->columns[size_t(field->index())];
        if (columnIsNull(source, fetched)) {
            setColumnNull(column, target);
        } else if (sameStorage(source, column)) {
            std::memcpy(target + column.dataOffset, fetched + source.dataOffset, size_t(column.storageSize()));
            std::memset(target + column.nullOffset, 0, sizeof(short));
        } else {
            // Clears the null flag as well.
            setColumnText(column, target, columnText(source, fetched, d->codec), d->codec);
        }
    }
}

void DataSet::disableControls()
{
    ++d->disabled;
}

void DataSet::enableControls()
{
    if (d->disabled == 0)
        return;
    if (--d->disabled > 0)
        return;
    emit rowsReset();
    notifyScroll();
}

bool DataSet::controlsDisabled() const
{
    return d->disabled > 0;
}

void DataSet::notifyScroll()
{
    if (controlsDisabled())
        return;
    emit currentRowChanged(d->current);
    emit afterScroll();
}

int DataSet::currentRow() const
{
    return d->current;
}

QString DataSet::text(int row, int column) const
{
    const char *data = d->cellRow(row, column);
    return data ? columnText(d->columns[size_t(column)], data, d->codec) : QString();
}

bool DataSet::isNull(int row, int column) const
{
    const char *data = d->cellRow(row, column);
    return !data || columnIsNull(d->columns[size_t(column)], data);
}

const char *DataSet::currentData() const
{
    return d->rowData(d->current);
}

const Column &DataSet::columnOf(const Field &field) const
{
    if (field.index() < 0 || !active())
        throw EDatabaseError(QStringLiteral("Field '%1' is not in the open dataset").arg(field.fieldName()));
    return d->columns[size_t(field.index())];
}

void DataSet::writeField(const Field &field, const QString *text)
{
    const Column &column = columnOf(field);
    if (!d->editing())
        throw EDatabaseError(kNotEditing);
    if (text)
        setColumnText(column, d->editRow.data(), *text, d->codec);
    else
        setColumnNull(column, d->editRow.data());
    d->modified = true;
    if (!controlsDisabled())
        emit rowChanged(d->current);
}

const TextCodec &DataSet::codec() const
{
    return d->codec;
}

} // namespace platform
