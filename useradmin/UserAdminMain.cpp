#include "UserAdminMain.h"

#include "ReportUnits.h"
#include "base/Exceptions.h"
#include "fKelmo.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"
#include "ui/Termination.h"

#include <QLoggingCategory>
#include <QTimer>

#include <memory>

namespace {

// Off unless asked for (QT_LOGGING_RULES="kelmo.startup.info=true"): the
// start-up benchmark waits for its line.
Q_LOGGING_CATEGORY(lcStartup, "kelmo.startup", QtWarningMsg)

// The main window's life: start-up, then the message loop until it closes.
int runMainWindow(const QStringList &clientLibraries)
{
    std::unique_ptr<TfrmKelmo> frmKelmo;
    try {
        frmKelmo = std::make_unique<TfrmKelmo>(clientLibraries);
    } catch (const Exception &error) {
        platform::messageBox(exceptionMessage(error), platform::applicationTitle(),
                             platform::MB_OK | platform::MB_ICONERROR | platform::MB_TASKMODAL);
        return 1;
    }
    // A signal during start-up ends the program as a cancelled step would.
    if (!frmKelmo->startupComplete() || platform::terminationRequested())
        return 0;
    frmKelmo->show();
    QTimer::singleShot(0, [] { qCInfo(lcStartup, "main window shown"); });
    QApplication::exec();
    return 0;
}

} // namespace

int UserAdminMain(int argc, char **argv, const QStringList &clientLibraries)
{
    std::unique_ptr<platform::Application> ownApplication;
    if (!qApp)
        ownApplication = std::make_unique<platform::Application>(argc, argv);
    ReportUnitsStartup();
    platform::setApplicationTitle(QStringLiteral("Správa uživatelů DEVEVI"));
    const int exitCode = runMainWindow(clientLibraries);
    ReportUnitsShutdown();
    return exitCode;
}
