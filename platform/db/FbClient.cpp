#include "FbClient.h"

#include "FbApi.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"

#include <QByteArray>

#include <clocale>
#include <dlfcn.h>
#include <langinfo.h>
#include <link.h>

namespace platform {

namespace {

// Loads the first library that opens; every entry must resolve. The handle
// stays open for the life of the process.
fb::Api loadApi(const QStringList &libraryNames)
{
    void *library = nullptr;
    QString libraryName;
    QStringList failures;
    for (const QString &name : libraryNames) {
        library = dlopen(name.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (library) {
            libraryName = name;
            break;
        }
        failures << QString::fromLocal8Bit(dlerror());
    }
    if (!library)
        throw EDatabaseError(QStringLiteral("Cannot load the database client library %1\r\n%2")
                                 .arg(libraryNames.join(QStringLiteral(", ")), failures.join(QStringLiteral("\r\n"))));

    fb::Api api{};
    auto resolve = [&](auto &entry, const char *name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(library, name));
        if (!entry)
            throw EDatabaseError(QStringLiteral("The database client library %1 has no entry %2")
                                     .arg(libraryName, QString::fromLatin1(name)));
    };
    resolve(api.attach_database, "isc_attach_database");
    resolve(api.detach_database, "isc_detach_database");
    resolve(api.drop_database, "isc_drop_database");
    resolve(api.database_info, "isc_database_info");
    resolve(api.dsql_execute_immediate, "isc_dsql_execute_immediate");
    resolve(api.start_multiple, "isc_start_multiple");
    resolve(api.commit_transaction, "isc_commit_transaction");
    resolve(api.commit_retaining, "isc_commit_retaining");
    resolve(api.rollback_transaction, "isc_rollback_transaction");
    resolve(api.dsql_alloc_statement2, "isc_dsql_alloc_statement2");
    resolve(api.dsql_prepare, "isc_dsql_prepare");
    resolve(api.dsql_sql_info, "isc_dsql_sql_info");
    resolve(api.dsql_describe, "isc_dsql_describe");
    resolve(api.dsql_describe_bind, "isc_dsql_describe_bind");
    resolve(api.dsql_execute, "isc_dsql_execute");
    resolve(api.dsql_execute2, "isc_dsql_execute2");
    resolve(api.dsql_fetch, "isc_dsql_fetch");
    resolve(api.dsql_free_statement, "isc_dsql_free_statement");
    resolve(api.open_blob2, "isc_open_blob2");
    resolve(api.get_segment, "isc_get_segment");
    resolve(api.close_blob, "isc_close_blob");
    resolve(api.sqlcode, "isc_sqlcode");
    resolve(api.sql_interprete, "isc_sql_interprete");
    resolve(api.interpret, "fb_interpret");
    resolve(api.vax_integer, "isc_vax_integer");
    resolve(api.service_attach, "isc_service_attach");
    resolve(api.service_start, "isc_service_start");
    resolve(api.service_query, "isc_service_query");
    resolve(api.service_detach, "isc_service_detach");
    return api;
}

// The client library, and the engine it runs in the process, read file names
// in the character set of LC_CTYPE, fixed at their first conversion: under
// the POSIX locale no name with Czech letters gets through (not even with
// isc_dpb_utf8_filename), and a local restore runs in the engine's own
// thread. Names cross the client as UTF-8, so LC_CTYPE is made UTF-8 before
// the first call; the other categories stay the caller's.
void useUtf8CharacterType()
{
    const char *codeset = nl_langinfo(CODESET);
    if (qstricmp(codeset, "UTF-8") == 0 || qstricmp(codeset, "utf8") == 0)
        return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        std::setlocale(LC_CTYPE, "C.utf8");
}

} // namespace

QStringList clientLibraryNames()
{
    return {QStringLiteral("libfbclient.so.2"), QStringLiteral("libfbclient.so")};
}

void checkClientLibrary(const QStringList &libraryNames)
{
    loadApi(libraryNames);
}

void createDatabase(const QString &databaseName, const QString &userName, const QString &password,
                    const QString &characterSet, int dialect, const QString &collation)
{
    auto quoted = [](QString text) { return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\''; };
    // The client reads the name, user and password of this statement as it
    // reads those of an attach: in UTF-8, the encoding of every name it gets.
    QString sql = QStringLiteral("CREATE DATABASE ") + quoted(databaseName) + QStringLiteral(" USER ") +
                  quoted(userName) + QStringLiteral(" PASSWORD ") + quoted(password) +
                  QStringLiteral(" DEFAULT CHARACTER SET ") + characterSet;
    if (!collation.isEmpty())
        sql += QStringLiteral(" COLLATION ") + collation;
    const QByteArray bytes = sql.toUtf8();
    const fb::Api &client = fb::api();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    client.dsql_execute_immediate(status, &db, &tr, 0, bytes.constData(), static_cast<unsigned short>(dialect),
                                  nullptr);
    fb::check(status);
    client.detach_database(status, &db);
    fb::check(status);
}

namespace fb {

const Api &api()
{
    static const Api loaded = [] {
        useUtf8CharacterType();
        return loadApi(clientLibraryNames());
    }();
    return loaded;
}

void keepEngineLoaded()
{
    QByteArray engine;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *found) {
            if (QByteArrayView(info->dlpi_name).endsWith("/libEngine12.so"))
                *static_cast<QByteArray *>(found) = info->dlpi_name;
            return 0;
        },
        &engine);
    // Outside the iteration, which holds the loader's lock. The reference is
    // kept on purpose.
    if (!engine.isEmpty())
        dlopen(engine.constData(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

int infoInteger(const char *answer, char item, int fallback)
{
    if (answer[0] != item)
        return fallback;
    const Api &client = api();
    const short length = static_cast<short>(client.vax_integer(answer + 1, 2));
    return static_cast<int>(client.vax_integer(answer + 3, length));
}

EIBError errorFromStatus(const ISC_STATUS *status)
{
    const Api &client = api();
    const ISC_LONG sqlCode = client.sqlcode(status);
    QStringList lines;
    char buffer[1024];
    client.sql_interprete(static_cast<short>(sqlCode), buffer, sizeof buffer);
    lines << fromServerText(QByteArray(buffer));
    const ISC_STATUS *cursor = status;
    while (client.interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << fromServerText(QByteArray(buffer));
    QString message = lines.join(QStringLiteral("\r\n"));
    if (message.endsWith(QLatin1Char('.')))
        message.chop(1);
    return EIBError(message, static_cast<std::int32_t>(status[1]), static_cast<std::int32_t>(sqlCode));
}

void check(const ISC_STATUS *status)
{
    if (failed(status))
        throw errorFromStatus(status);
}

} // namespace fb

} // namespace platform
