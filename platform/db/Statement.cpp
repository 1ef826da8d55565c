#include "Statement.h"

#include "Database.h"
#include "Handles.h"
#include "Transaction.h"
#include "base/Exceptions.h"

#include <algorithm>
#include <optional>

namespace platform {

namespace {

XSQLDA *sqlda(std::vector<char> &buffer)
{
    return reinterpret_cast<XSQLDA *>(buffer.data());
}

void allocate(std::vector<char> &buffer, int variables)
{
    variables = std::max(variables, 1);
    buffer.assign(XSQLDA_LENGTH(variables), 0);
    sqlda(buffer)->version = SQLDA_VERSION1;
    sqlda(buffer)->sqln = static_cast<ISC_SHORT>(variables);
}

// One count of an isc_info_sql_records answer: the group's item, its length,
// then counts, each an item, a length and the value.
std::optional<int> recordCount(const char *answer, int size, char countItem)
{
    if (size < 3 || answer[0] != isc_info_sql_records)
        return std::nullopt;
    const fb::Api &client = fb::api();
    const int end = std::min(size, 3 + int(client.vax_integer(answer + 1, 2)));
    for (int at = 3; at + 3 <= end && answer[at] != isc_info_end;) {
        const int length = int(client.vax_integer(answer + at + 1, 2));
        if (at + 3 + length > end)
            break;
        if (answer[at] == countItem)
            return int(client.vax_integer(answer + at + 3, static_cast<short>(length)));
        at += 3 + length;
    }
    return std::nullopt;
}

int alignUp(int offset, int alignment)
{
    return (offset + alignment - 1) / alignment * alignment;
}

} // namespace

Statement::Statement(Database &database, Transaction &transaction) : database_(&database), transaction_(&transaction) {}

Statement::~Statement()
{
    free();
}

void Statement::free()
{
    freeOnServer(DSQL_drop);
    handle_ = 0;
    cursorOpen_ = false;
}

// A closed connection has dropped its statements with it.
void Statement::freeOnServer(unsigned short option)
{
    if (!handle_ || !database_ || !database_->isOpen())
        return;
    ISC_STATUS_ARRAY status;
    fb::api().dsql_free_statement(status, &handle_, option);
}

void Statement::prepare(const QString &sql)
{
    free();
    columns_.clear();
    const fb::Api &client = fb::api();
    const QByteArray bytes = DatabaseAccess::codec(*database_).encode(sql);
    ISC_STATUS_ARRAY status;
    client.dsql_alloc_statement2(status, DatabaseAccess::handle(*database_), &handle_);
    fb::check(status);
    client.dsql_prepare(status, TransactionAccess::handle(*transaction_), &handle_, 0, bytes.constData(),
                        static_cast<unsigned short>(database_->sqlDialect()), nullptr);
    if (fb::failed(status)) {
        const EIBError error = fb::errorFromStatus(status);
        free();
        throw error;
    }
    const char items[] = {isc_info_sql_stmt_type};
    char buffer[16];
    client.dsql_sql_info(status, &handle_, sizeof items, items, sizeof buffer, buffer);
    fb::check(status);
    statementType_ = fb::infoInteger(buffer, isc_info_sql_stmt_type, 0);
    describeOutput();
    describeInput();
}

// Describes into the descriptor, grown once when the statement has more
// variables than it holds.
void Statement::describe(std::vector<char> &buffer, Describe call)
{
    const unsigned short dialect = static_cast<unsigned short>(database_->sqlDialect());
    ISC_STATUS_ARRAY status;
    allocate(buffer, 8);
    call(status, &handle_, dialect, sqlda(buffer));
    fb::check(status);
    if (sqlda(buffer)->sqld > sqlda(buffer)->sqln) {
        allocate(buffer, sqlda(buffer)->sqld);
        call(status, &handle_, dialect, sqlda(buffer));
        fb::check(status);
    }
}

void Statement::describeOutput()
{
    describe(out_, fb::api().dsql_describe);
    const TextCodec &codec = DatabaseAccess::codec(*database_);
    XSQLDA *da = sqlda(out_);
    int offset = 0;
    columns_.resize(da->sqld);
    for (int i = 0; i < da->sqld; ++i) {
        const XSQLVAR &var = da->sqlvar[i];
        Column &column = columns_[i];
        column.name = codec.decode(var.aliasname, var.aliasname_length);
        column.relation = codec.decode(var.relname, var.relname_length);
        column.sqlName = codec.decode(var.sqlname, var.sqlname_length);
        column.type = static_cast<short>(var.sqltype & ~1);
        column.nullable = (var.sqltype & 1) != 0;
        column.subType = var.sqlsubtype;
        column.scale = var.sqlscale;
        column.length = var.sqllen;
        column.dataOffset = alignUp(offset, 8);
        offset = column.dataOffset + column.storageSize();
    }
    for (Column &column : columns_) {
        column.nullOffset = alignUp(offset, 2);
        offset = column.nullOffset + int(sizeof(short));
    }
    row_ = QByteArray(offset, '\0');
    for (int i = 0; i < da->sqld; ++i) {
        XSQLVAR &var = da->sqlvar[i];
        var.sqltype = static_cast<ISC_SHORT>(columns_[i].type | 1);
        var.sqldata = row_.data() + columns_[i].dataOffset;
        var.sqlind = reinterpret_cast<short *>(row_.data() + columns_[i].nullOffset);
    }
}

void Statement::describeInput()
{
    describe(in_, fb::api().dsql_describe_bind);
    inNulls_.assign(std::max<int>(sqlda(in_)->sqld, 1), -1);
    for (int i = 0; i < parameterCount(); ++i)
        bindNull(i);
}

bool Statement::returnsRows() const
{
    return statementType_ == isc_info_sql_stmt_select || statementType_ == isc_info_sql_stmt_select_for_upd ||
           (statementType_ == isc_info_sql_stmt_exec_procedure && !columns_.empty());
}

int Statement::parameterCount() const
{
    return in_.empty() ? 0 : reinterpret_cast<const XSQLDA *>(in_.data())->sqld;
}

void Statement::bindParameter(int index, const Column &column, const char *row)
{
    XSQLVAR &var = sqlda(in_)->sqlvar[index];
    // Text keeps the character set the server expects of the parameter.
    if (!(isTextSqlType(column.type) && isTextSqlType(static_cast<short>(var.sqltype & ~1))))
        var.sqlsubtype = column.subType;
    var.sqltype = static_cast<ISC_SHORT>(column.type | 1);
    var.sqlscale = column.scale;
    var.sqllen = column.length;
    var.sqldata = const_cast<char *>(row + column.dataOffset);
    var.sqlind = reinterpret_cast<short *>(const_cast<char *>(row + column.nullOffset));
}

void Statement::bindNull(int index)
{
    XSQLVAR &var = sqlda(in_)->sqlvar[index];
    var.sqltype = static_cast<ISC_SHORT>(var.sqltype | 1);
    var.sqldata = nullptr;
    var.sqlind = &inNulls_[index];
}

void Statement::execute()
{
    if (!prepared())
        throw EDatabaseError(QStringLiteral("SQL statement is not prepared"));
    closeCursor();
    const fb::Api &client = fb::api();
    const unsigned short dialect = static_cast<unsigned short>(database_->sqlDialect());
    XSQLDA *input = parameterCount() > 0 ? sqlda(in_) : nullptr;
    ISC_STATUS_ARRAY status;
    isc_tr_handle *transaction = TransactionAccess::handle(*transaction_);
    singletonRow_ = statementType_ == isc_info_sql_stmt_exec_procedure && !columns_.empty();
    if (singletonRow_)
        client.dsql_execute2(status, transaction, &handle_, dialect, input, sqlda(out_));
    else
        client.dsql_execute(status, transaction, &handle_, dialect, input);
    fb::check(status);
    cursorOpen_ = returnsRows() && !singletonRow_;
}

bool Statement::isUpdate() const
{
    return statementType_ == isc_info_sql_stmt_update;
}

std::optional<int> Statement::updatedRowCount()
{
    const char items[] = {isc_info_sql_records};
    char buffer[64];
    ISC_STATUS_ARRAY status;
    fb::api().dsql_sql_info(status, &handle_, sizeof items, items, sizeof buffer, buffer);
    fb::check(status);
    return recordCount(buffer, int(sizeof buffer), isc_info_req_update_count);
}

bool Statement::fetch()
{
    if (singletonRow_) {
        singletonRow_ = false;
        return true;
    }
    if (!cursorOpen_)
        return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS result =
        fb::api().dsql_fetch(status, &handle_, static_cast<unsigned short>(database_->sqlDialect()), sqlda(out_));
    if (result == 100) {
        closeCursor();
        return false;
    }
    fb::check(status);
    return true;
}

QByteArray Statement::emptyRow() const
{
    QByteArray row(row_.size(), '\0');
    for (const Column &column : columns_)
        setColumnNull(column, row.data());
    return row;
}

void Statement::closeCursor()
{
    singletonRow_ = false;
    if (!cursorOpen_)
        return;
    cursorOpen_ = false;
    freeOnServer(DSQL_close);
}

} // namespace platform
