#include "DatabaseParameters.h"

#include "FbApi.h"
#include "ParameterBuffer.h"
#include "ParameterLines.h"
#include "base/Exceptions.h"

#include <QHash>

#include <limits>

namespace platform {

namespace {

enum class ValueKind { Text, Number, Switch };

struct DpbItem {
    int code;
    ValueKind kind;
};

#define DPB_ITEM(name, kind)                                                                                           \
    {                                                                                                                  \
        QStringLiteral(#name),                                                                                         \
        {                                                                                                              \
            isc_dpb_##name, ValueKind::kind                                                                            \
        }                                                                                                              \
    }

// The client's whole list: what the server reads of each item decides its kind.
const QHash<QString, DpbItem> &dpbItems()
{
    static const QHash<QString, DpbItem> items = {
        DPB_ITEM(cdd_pathname, Text),
        DPB_ITEM(allocation, Number),
        DPB_ITEM(journal, Number),
        DPB_ITEM(page_size, Number),
        DPB_ITEM(num_buffers, Number),
        DPB_ITEM(buffer_length, Number),
        DPB_ITEM(debug, Number),
        DPB_ITEM(garbage_collect, Number),
        DPB_ITEM(verify, Number),
        DPB_ITEM(sweep, Number),
        DPB_ITEM(enable_journal, Switch),
        DPB_ITEM(disable_journal, Switch),
        DPB_ITEM(dbkey_scope, Number),
        DPB_ITEM(number_of_users, Number),
        DPB_ITEM(trace, Number),
        DPB_ITEM(no_garbage_collect, Switch),
        DPB_ITEM(damaged, Number),
        DPB_ITEM(license, Text),
        DPB_ITEM(sys_user_name, Text),
        DPB_ITEM(encrypt_key, Text),
        DPB_ITEM(activate_shadow, Switch),
        DPB_ITEM(sweep_interval, Number),
        DPB_ITEM(delete_shadow, Switch),
        DPB_ITEM(force_write, Number),
        DPB_ITEM(begin_log, Switch),
        DPB_ITEM(quit_log, Switch),
        DPB_ITEM(no_reserve, Number),
        DPB_ITEM(user_name, Text),
        DPB_ITEM(password, Text),
        DPB_ITEM(password_enc, Text),
        DPB_ITEM(sys_user_name_enc, Text),
        DPB_ITEM(interp, Number),
        DPB_ITEM(online_dump, Number),
        DPB_ITEM(old_file_size, Number),
        DPB_ITEM(old_num_files, Number),
        DPB_ITEM(old_file, Text),
        DPB_ITEM(old_start_page, Number),
        DPB_ITEM(old_start_seqno, Number),
        DPB_ITEM(old_start_file, Number),
        DPB_ITEM(drop_walfile, Switch),
        DPB_ITEM(old_dump_id, Number),
        DPB_ITEM(wal_backup_dir, Text),
        DPB_ITEM(wal_chkptlen, Number),
        DPB_ITEM(wal_numbufs, Number),
        DPB_ITEM(wal_bufsize, Number),
        DPB_ITEM(wal_grp_cmt_wait, Number),
        DPB_ITEM(lc_messages, Text),
        DPB_ITEM(lc_ctype, Text),
        DPB_ITEM(cache_manager, Switch),
        DPB_ITEM(shutdown, Number),
        DPB_ITEM(online, Number),
        DPB_ITEM(shutdown_delay, Number),
        DPB_ITEM(reserved, Switch),
        DPB_ITEM(overwrite, Switch),
        DPB_ITEM(sec_attach, Switch),
        DPB_ITEM(disable_wal, Switch),
        DPB_ITEM(connect_timeout, Number),
        DPB_ITEM(dummy_packet_interval, Number),
        DPB_ITEM(gbak_attach, Text),
        DPB_ITEM(sql_role_name, Text),
        DPB_ITEM(set_page_buffers, Number),
        DPB_ITEM(working_directory, Text),
        DPB_ITEM(sql_dialect, Number),
        DPB_ITEM(set_db_readonly, Number),
        DPB_ITEM(set_db_sql_dialect, Number),
        DPB_ITEM(gfix_attach, Switch),
        DPB_ITEM(gstat_attach, Switch),
        DPB_ITEM(set_db_charset, Text),
        DPB_ITEM(gsec_attach, Switch),
        DPB_ITEM(address_path, Text),
        DPB_ITEM(process_id, Number),
        DPB_ITEM(no_db_triggers, Number),
        DPB_ITEM(trusted_auth, Text),
        DPB_ITEM(process_name, Text),
        DPB_ITEM(trusted_role, Switch),
        DPB_ITEM(org_filename, Text),
        DPB_ITEM(utf8_filename, Switch),
        DPB_ITEM(ext_call_depth, Number),
        DPB_ITEM(auth_block, Text),
        DPB_ITEM(client_version, Text),
        DPB_ITEM(remote_protocol, Text),
        DPB_ITEM(host_name, Text),
        DPB_ITEM(os_user, Text),
        DPB_ITEM(specific_auth_data, Text),
        DPB_ITEM(auth_plugin_list, Text),
        DPB_ITEM(auth_plugin_name, Text),
        DPB_ITEM(config, Text),
        DPB_ITEM(nolinger, Switch),
        DPB_ITEM(reset_icu, Switch),
        DPB_ITEM(map_attach, Switch),
        DPB_ITEM(clear_map, Switch),
    };
    return items;
}

#undef DPB_ITEM

// The server reads a number in as many bytes as the item's length says,
// the last one signed: the fewest bytes that keep the value and its sign.
void appendNumberItem(QByteArray &dpb, int code, qint32 value)
{
    int length = 4;
    if (value >= std::numeric_limits<qint8>::min() && value <= std::numeric_limits<qint8>::max())
        length = 1;
    else if (value >= std::numeric_limits<qint16>::min() && value <= std::numeric_limits<qint16>::max())
        length = 2;
    dpb.append(char(code));
    dpb.append(char(length));
    for (int i = 0; i < length; ++i)
        dpb.append(char((quint32(value) >> (8 * i)) & 0xFF));
}

void appendLine(QByteArray &dpb, const DpbItem &item, const QString &line)
{
    const QString value = parameterValue(line);
    switch (item.kind) {
    case ValueKind::Text:
        // Values go as they stand: a password may begin or end with blanks.
        appendShortItem(dpb, item.code, item.code == isc_dpb_lc_ctype ? value.trimmed() : value);
        return;
    case ValueKind::Number: {
        bool ok = false;
        const qint32 number = value.trimmed().toInt(&ok);
        if (!ok)
            throw EDatabaseError(QStringLiteral("Connection parameter needs a whole number: %1").arg(line));
        appendNumberItem(dpb, item.code, number);
        return;
    }
    case ValueKind::Switch:
        if (!value.trimmed().isEmpty())
            throw EDatabaseError(QStringLiteral("Connection parameter takes no value: %1").arg(line));
        dpb.append(char(item.code));
        dpb.append(char(0));
        return;
    }
}

} // namespace

QByteArray databaseParameterBuffer(const QStringList &lines, const Login *login)
{
    QByteArray dpb(1, char(isc_dpb_version1));
    bool utf8Said = false;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const auto found = dpbItems().constFind(parameterKey(parameterName(line), QLatin1StringView("isc_dpb_")));
        if (found == dpbItems().constEnd())
            throw EDatabaseError(QStringLiteral("Unknown connection parameter: %1").arg(line));
        const DpbItem &item = *found;
        utf8Said = utf8Said || item.code == isc_dpb_utf8_filename;
        if (login && (item.code == isc_dpb_user_name || item.code == isc_dpb_password))
            continue;
        // An empty character set means none, as without the line.
        if (item.code == isc_dpb_lc_ctype && parameterValue(line).trimmed().isEmpty())
            continue;
        appendLine(dpb, item, line);
    }
    if (login) {
        appendShortItem(dpb, isc_dpb_user_name, login->userName);
        appendShortItem(dpb, isc_dpb_password, login->password);
    }
    // Every text item is UTF-8 (appendShortItem): the client must not read
    // the names in the process's locale.
    if (!utf8Said) {
        dpb.append(char(isc_dpb_utf8_filename));
        dpb.append(char(0));
    }
    return dpb;
}

} // namespace platform
