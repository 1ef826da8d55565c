#pragma once

// The server's restore service: attach to a services manager, start a
// restore from a backup file, read the server's output line by line, detach.

#include "base/Exceptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>

namespace platform {

// In this order: the option at position k is the restore flag 0x100 << k.
enum class TRestoreOption {
    DeactivateIndexes,
    NoShadow,
    NoValidityCheck,
    OneRelationAtATime,
    Replace,
    CreateNewDB,
    UseAllSpace,
};
using TRestoreOptions = std::set<TRestoreOption>;

std::uint32_t restoreOptionFlags(const TRestoreOptions &options);

enum class ServiceProtocol { Local, Tcp };

// "service_mgr" locally, the server name followed by ":service_mgr" over TCP.
QString serviceManagerName(ServiceProtocol protocol, const QString &serverName);

// The attach buffer: the user name and the password items, each only when
// its line is there, then the utf8_filename switch: every text of the
// service (these items, the service name, the start items) is UTF-8.
QByteArray serviceAttachBuffer(const QStringList &params);

struct RestoreRequest {
    TRestoreOptions options;
    bool verbose = false;
    int pageSize = 0; // 0: the server's default
    QStringList backupFiles;
    QStringList databaseNames; // paths on the server
};

// The start buffer: the restore action, then options, verbose, page size,
// the backup files and the databases, in this order.
QByteArray restoreStartBuffer(const RestoreRequest &request);

// The text of one isc_info_svc_line reply (empty at the end of the output);
// a reply of another shape raises EDatabaseError.
QString serviceLineFromReply(const QByteArray &reply);
// A reply that brings no line because the query's time-out passed first.
bool serviceReplyTimedOut(const QByteArray &reply);

// The error the server's restore gives when the database it should replace
// has other connections (336330985, "could not drop database ... might be in
// use"), with the server's own text: a restore that replaces the database
// itself must refuse in the same words.
EIBError databaseInUseError(const QString &databasePath);

class RestoreService {
public:
    RestoreService();
    // Detaches when still attached.
    ~RestoreService();
    RestoreService(const RestoreService &) = delete;
    RestoreService &operator=(const RestoreService &) = delete;

    QString serverName;
    ServiceProtocol protocol = ServiceProtocol::Local;
    // Lines name=value: user_name and password.
    QStringList params;
    // On: attach asks user name and password through platform::askLogin first.
    bool loginPrompt = false;
    RestoreRequest request;
    // When set, called whenever the server has sent no line for a second; it
    // may raise to stop waiting (the restore then goes on in the server).
    std::function<void()> onQuiet;

    void attach();
    bool isAttached() const;
    void start();
    // The next output line; the empty line that ends the output sets eof().
    QString nextLine();
    bool eof() const { return eof_; }
    void detach();

    // Attach, start, every output line to onLine (the final empty line too),
    // and detach, also when starting or reading fails.
    void run(const std::function<void(const QString &line)> &onLine);

private:
    void requireAttached() const;
    // Detaches without reporting a failure.
    void releaseHandle() noexcept;

    struct Handle;
    std::unique_ptr<Handle> handle_;
    bool eof_ = false;
    // One reply buffer for every line: a line may be up to 64 KiB long.
    QByteArray reply_;
};

} // namespace platform
