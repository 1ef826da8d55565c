#include "RestoreService.h"

#include "FbApi.h"
#include "LoginPrompt.h"
#include "ParameterBuffer.h"
#include "ParameterLines.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"

#include <QtEndian>

#include <optional>

namespace platform {

struct RestoreService::Handle {
    isc_svc_handle value = 0;
};

namespace {

// Start items carry a two-byte little-endian length. Their values are file
// names in UTF-8: the attach buffer's utf8_filename makes the client read
// them so (the start buffer itself cannot say it).
void appendPathItem(QByteArray &buffer, char item, const QString &path)
{
    const QByteArray bytes = path.toUtf8();
    if (bytes.size() > 0xFFFF)
        throw EDatabaseError(QStringLiteral("File path is too long"));
    buffer.append(item);
    char length[2];
    qToLittleEndian<quint16>(quint16(bytes.size()), length);
    buffer.append(length, 2);
    buffer.append(bytes);
}

void appendNumberItem(QByteArray &buffer, char item, std::uint32_t value)
{
    buffer.append(item);
    char number[4];
    qToLittleEndian<quint32>(value, number);
    buffer.append(number, 4);
}

// A query's send item: the code, a two-byte length and the four-byte value.
QByteArray queryNumberItem(char item, std::uint32_t value)
{
    QByteArray buffer(1, item);
    char bytes[6];
    qToLittleEndian<quint16>(4, bytes);
    qToLittleEndian<quint32>(value, bytes + 2);
    buffer.append(bytes, 6);
    return buffer;
}

// "Exiting before completion due to errors", the line the server's restore
// adds under each of its errors.
constexpr ISC_STATUS kGbakExiting = 336330835;

EDatabaseError unexpectedReply()
{
    return EDatabaseError(QStringLiteral("Unexpected reply from the services manager"));
}

} // namespace

std::uint32_t restoreOptionFlags(const TRestoreOptions &options)
{
    std::uint32_t flags = 0;
    for (TRestoreOption option : options)
        flags |= 0x100u << static_cast<int>(option);
    return flags;
}

QString serviceManagerName(ServiceProtocol protocol, const QString &serverName)
{
    const QString manager = QStringLiteral("service_mgr");
    return protocol == ServiceProtocol::Local ? manager : serverName + QLatin1Char(':') + manager;
}

QByteArray serviceAttachBuffer(const QStringList &params)
{
    QByteArray buffer;
    buffer.append(char(isc_spb_version));
    buffer.append(char(isc_spb_current_version));
    if (const auto user = findParameter(params, QStringLiteral("user_name")))
        appendShortItem(buffer, isc_spb_user_name, *user);
    if (const auto password = findParameter(params, QStringLiteral("password")))
        appendShortItem(buffer, isc_spb_password, *password);
    // These items, the service name and the start items are UTF-8.
    buffer.append(char(isc_spb_utf8_filename));
    buffer.append(char(0));
    return buffer;
}

QByteArray restoreStartBuffer(const RestoreRequest &request)
{
    QByteArray buffer(1, char(isc_action_svc_restore));
    appendNumberItem(buffer, isc_spb_options, restoreOptionFlags(request.options));
    if (request.verbose)
        buffer.append(char(isc_spb_verbose));
    if (request.pageSize > 0)
        appendNumberItem(buffer, isc_spb_res_page_size, std::uint32_t(request.pageSize));
    for (const QString &file : request.backupFiles)
        appendPathItem(buffer, isc_spb_bkp_file, file);
    for (const QString &database : request.databaseNames)
        appendPathItem(buffer, isc_spb_dbname, database);
    return buffer;
}

QString serviceLineFromReply(const QByteArray &reply)
{
    if (reply.size() < 4 || reply[0] != char(isc_info_svc_line))
        throw unexpectedReply();
    const int length = qFromLittleEndian<quint16>(reply.constData() + 1);
    if (reply.size() < 3 + length + 1 || reply[3 + length] != char(isc_info_end))
        throw unexpectedReply();
    return fromServerText(reply.mid(3, length));
}

EIBError databaseInUseError(const QString &databasePath)
{
    const QByteArray path = databasePath.toUtf8();
    const ISC_STATUS status[] = {
        isc_arg_gds, isc_gbak_db_in_use, isc_arg_string, reinterpret_cast<ISC_STATUS>(path.constData()),
        isc_arg_gds, kGbakExiting,       isc_arg_end};
    return fb::errorFromStatus(status);
}

bool serviceReplyTimedOut(const QByteArray &reply)
{
    return reply.size() >= 4 && reply[0] == char(isc_info_svc_line) && reply[1] == 0 && reply[2] == 0 &&
           reply[3] == char(isc_info_svc_timeout);
}

RestoreService::RestoreService() : handle_(std::make_unique<Handle>()) {}

RestoreService::~RestoreService()
{
    releaseHandle();
}

void RestoreService::releaseHandle() noexcept
{
    if (!isAttached())
        return;
    ISC_STATUS_ARRAY status;
    fb::api().service_detach(status, &handle_->value);
    handle_->value = 0;
}

void RestoreService::requireAttached() const
{
    if (!isAttached())
        throw EDatabaseError(QStringLiteral("Restore service is not attached to the services manager"));
}

bool RestoreService::isAttached() const
{
    return handle_->value != 0;
}

void RestoreService::attach()
{
    if (isAttached())
        return;
    const QString managerName = serviceManagerName(protocol, serverName);
    QStringList lines = params;
    if (loginPrompt) {
        const Login login = promptLogin(managerName, params);
        lines = {QStringLiteral("user_name=") + login.userName, QStringLiteral("password=") + login.password};
    }
    const QByteArray spb = serviceAttachBuffer(lines);
    const QByteArray name = managerName.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = 0;
    fb::api().service_attach(status, static_cast<unsigned short>(name.size()), name.constData(), &handle,
                             static_cast<unsigned short>(spb.size()), spb.constData());
    fb::check(status);
    fb::keepEngineLoaded();
    handle_->value = handle;
    eof_ = false;
}

void RestoreService::start()
{
    requireAttached();
    const QByteArray spb = restoreStartBuffer(request);
    ISC_STATUS_ARRAY status;
    fb::api().service_start(status, &handle_->value, nullptr, static_cast<unsigned short>(spb.size()), spb.constData());
    fb::check(status);
    eof_ = false;
}

QString RestoreService::nextLine()
{
    requireAttached();
    const char items[] = {isc_info_svc_line};
    // With a time-out of one second, the server answers at least that often.
    const QByteArray timeout = onQuiet ? queryNumberItem(isc_info_svc_timeout, 1) : QByteArray();
    if (reply_.isEmpty())
        reply_.resize(0xFFFF);
    for (;;) {
        ISC_STATUS_ARRAY status;
        fb::api().service_query(status, &handle_->value, nullptr, static_cast<unsigned short>(timeout.size()),
                                timeout.isEmpty() ? nullptr : timeout.constData(), sizeof items, items,
                                static_cast<unsigned short>(reply_.size()), reply_.data());
        fb::check(status);
        if (!serviceReplyTimedOut(reply_))
            break;
        onQuiet();
    }
    const QString line = serviceLineFromReply(reply_);
    eof_ = line.isEmpty();
    return line;
}

void RestoreService::detach()
{
    if (!isAttached())
        return;
    ISC_STATUS_ARRAY status;
    fb::api().service_detach(status, &handle_->value);
    // The handle is gone either way; a second detach would only fail again.
    handle_->value = 0;
    fb::check(status);
}

void RestoreService::run(const std::function<void(const QString &line)> &onLine)
{
    attach();
    try {
        start();
        do
            onLine(nextLine());
        while (!eof());
    } catch (...) {
        // The failure that ended the restore is the one to report.
        releaseHandle();
        throw;
    }
    detach();
}

} // namespace platform
