#pragma once

// Inside the data layer only: the client library's entries and the one
// conversion of a status vector into an exception.

#include <ibase.h>

#include <QStringList>

class EIBError;

namespace platform::fb {

struct Api {
    decltype(&isc_attach_database) attach_database;
    decltype(&isc_detach_database) detach_database;
    decltype(&isc_drop_database) drop_database;
    decltype(&isc_database_info) database_info;
    decltype(&isc_dsql_execute_immediate) dsql_execute_immediate;
    decltype(&isc_start_multiple) start_multiple;
    decltype(&isc_commit_transaction) commit_transaction;
    decltype(&isc_commit_retaining) commit_retaining;
    decltype(&isc_rollback_transaction) rollback_transaction;
    decltype(&isc_dsql_alloc_statement2) dsql_alloc_statement2;
    decltype(&isc_dsql_prepare) dsql_prepare;
    decltype(&isc_dsql_sql_info) dsql_sql_info;
    decltype(&isc_dsql_describe) dsql_describe;
    decltype(&isc_dsql_describe_bind) dsql_describe_bind;
    decltype(&isc_dsql_execute) dsql_execute;
    decltype(&isc_dsql_execute2) dsql_execute2;
    decltype(&isc_dsql_fetch) dsql_fetch;
    decltype(&isc_dsql_free_statement) dsql_free_statement;
    decltype(&isc_open_blob2) open_blob2;
    decltype(&isc_get_segment) get_segment;
    decltype(&isc_close_blob) close_blob;
    decltype(&isc_sqlcode) sqlcode;
    decltype(&isc_sql_interprete) sql_interprete;
    decltype(&fb_interpret) interpret;
    decltype(&isc_vax_integer) vax_integer;
    decltype(&isc_service_attach) service_attach;
    decltype(&isc_service_start) service_start;
    decltype(&isc_service_query) service_query;
    decltype(&isc_service_detach) service_detach;
};

// The process's client library, loaded at the first use.
const Api &api();

// Keeps the engine that the client library loaded into this process (for a
// local services manager or database) from being unloaded while the process
// lives. The engine's own restore thread can let go of the engine's last
// reference while it still runs in it (measured: Firebird 3.0.11, an
// incomplete backup through the local services manager), and then returns
// into unmapped code. No-op while no engine is loaded.
void keepEngineLoaded();

// A status vector that reports a failure.
inline bool failed(const ISC_STATUS *status)
{
    return status[0] == 1 && status[1] != 0;
}

// The value of the first item of an info call's answer (item code, two-byte
// length, integer); fallback when the answer starts with another item.
int infoInteger(const char *answer, char item, int fallback);

// The message (SQL message, then each status text, joined by "\r\n", a
// final full stop removed), the first code and the SQL code.
EIBError errorFromStatus(const ISC_STATUS *status);

// Raises errorFromStatus when the status reports a failure.
void check(const ISC_STATUS *status);

} // namespace platform::fb
