#include "RestoreMain.h"

#include "ConnectionSettings.h"
#include "DAutils.h"
#include "EditConnection.h"
#include "ErrorTranslation.h"
#include "MessageBoxes.h"
#include "StringUtils.h"
#include "base/Exceptions.h"
#include "db/Database.h"
#include "fIBback.h"
#include "ui/Application.h"
#include "ui/ErrorBoundary.h"
#include "ui/Termination.h"

#include <QScopeGuard>

#include <memory>
#include <thread>

using namespace platform;

namespace {

const QString kConnectFailed = QStringLiteral("Chyba připojení k databázi!");

QString withoutQuotes(QString text)
{
    ReplaceAll(text, QStringLiteral("\""), QString());
    return text;
}

// The word with or without one leading "-" or "/", letter case exact.
TRunMode runModeOf(const QString &word)
{
    const bool switched = word.startsWith(QLatin1Char('-')) || word.startsWith(QLatin1Char('/'));
    const QStringView name = QStringView(word).mid(switched ? 1 : 0);
    if (name == QLatin1String("SILENT"))
        return rmSilent;
    if (name == QLatin1String("VERYSILENT"))
        return rmVerySilent;
    return rmInteractive;
}

std::unique_ptr<Database> newRestoreDb(const TRestoreParams &params)
{
    auto db = std::make_unique<Database>();
    db->setDatabaseName(QStringLiteral("%1:%2").arg(params.ParamServer, params.ParamDatabaseFile));
    db->setLoginPrompt(false);
    db->setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=%1").arg(params.ParamPassword),
                   QStringLiteral("lc_ctype=WIN1250")});
    return db;
}

// Opens the connection once to prove server, database and password; the
// connection dialog offers a correction. False after the warning box.
bool TestConnection(Database &db)
{
    try {
        db.open();
    } catch (const Exception &) {
        EditConnection(&db, true, true);
    }
    if (terminationRequested())
        return false;
    if (db.connected())
        return true;
    try {
        db.open();
    } catch (const Exception &error) {
        ShowWarning(ComposeErrorMessage(kConnectFailed, error));
        return false;
    }
    return true;
}

// From the connection test to the end of the restore; the exit code.
int RunRestoreProgram(const TRestoreParams &params, const TRestoreSteps &steps)
{
    std::unique_ptr<Database> RestoreDb = newRestoreDb(params);
    if (!TestConnection(*RestoreDb))
        return kExitFailed;

    RestoreDb->close();
    const bool disconnected = WaitForDisconnect(
        [&] { return steps.isConnected(*RestoreDb) && !terminationRequested(); }, steps.disconnectPause);
    if (terminationRequested())
        return kExitFailed;
    if (!disconnected) {
        ShowWarning(QStringLiteral("Nepodařilo se odpojit databázi!"));
        return kExitFailed;
    }

    if (params.RunMode == rmSilent)
        ShowWait(QStringLiteral("Probíhá obnova databáze ..."), QString(), 0, false, true);
    const TBackupRunKind kind = params.RunMode == rmInteractive ? rkInteractive : rkImmediate;
    TRestoreOutcome outcome = roNotRun;
    {
        const auto hideWait = qScopeGuard([] { HideWait(); });
        outcome = steps.restore(*RestoreDb, params, kind);
    }
    RestoreDb.reset();
    setApplicationTitle(QStringLiteral("Obnova databáze"));
    // Ended by a signal, only a restore that ran to its end counts as done.
    if (terminationRequested())
        return outcome == roDone ? kExitDone : kExitFailed;
    return outcome == roFailed ? kExitFailed : kExitDone;
}

} // namespace

TRestoreParams ParseRestoreParams(const QStringList &args)
{
    const auto arg = [&](int position) { return args.value(position - 1); };
    TRestoreParams params;
    params.ParamBackupFile = withoutQuotes(arg(1));
    params.ParamDatabaseFile = withoutQuotes(arg(2));
    params.ParamServer = TrimBlanks(arg(3)).isEmpty() ? QStringLiteral("localhost") : withoutQuotes(arg(3));
    params.ParamPassword = TrimBlanks(arg(4)).isEmpty() ? kDefaultPassword : arg(4);
    params.RunMode = runModeOf(arg(5));
    return params;
}

QString RestoreUsageText()
{
    return QStringList{
        QStringLiteral("Program musí být spuštěn alepoň s prvními dvěma parametry:      "),
        QString(),
        QStringLiteral("parametr 1:   umístění záložního souboru"),
        QStringLiteral("parametr 2:   umístění databázového souboru"),
        QStringLiteral("parametr 3:   název nebo IP adresa serveru <localhost>"),
        QStringLiteral("parametr 4:   heslo uživatele SYSDBA <vuvuzarid>"),
        QStringLiteral("parametr 5:   SILENT, VERYSILENT"),
        QString(),
        QStringLiteral("Tip:"),
        QStringLiteral("Umístění souborů je vhodné psát v uvozovkách z důvodů možných mezer."),
        QStringLiteral("Např.: \"C:\\Program Files\\KASTEL\\ZELO\\DEvevi\\DEvevi.idb\""),
    }
        .join(QStringLiteral("\r\n"));
}

TRestoreSteps ProgramRestoreSteps()
{
    return {
        .isConnected = [](Database &db) { return db.connected(); },
        .disconnectPause = std::chrono::milliseconds(100),
        .restore =
            [](Database &db, const TRestoreParams &params, TBackupRunKind kind) {
                TRestoreOutcome outcome = roNotRun;
                RunBackupRestore(&db, params.ParamBackupFile, kind, {TRestoreOption::Replace}, &outcome);
                return outcome;
            },
    };
}

bool WaitForDisconnect(const std::function<bool()> &isConnected, std::chrono::milliseconds pause)
{
    constexpr int kMaxPauses = 100;
    for (int pauses = 0; isConnected();) {
        // The wait blocks: no window is open at this time.
        std::this_thread::sleep_for(pause);
        if (++pauses == kMaxPauses)
            return false;
    }
    return true;
}

int RestoreMain(int argc, char **argv, const TRestoreSteps &steps)
{
    std::unique_ptr<Application> ownApplication;
    if (!QCoreApplication::instance())
        ownApplication = std::make_unique<Application>(argc, argv);

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() < 2) {
        ShowInfo(RestoreUsageText());
        return kExitUsage;
    }
    // A failure that no step of the restore reports itself shows the default
    // error box and fails the program.
    int exitCode = kExitFailed;
    runGuarded([&] { exitCode = RunRestoreProgram(ParseRestoreParams(args), steps); });
    return exitCode;
}
