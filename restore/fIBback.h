#pragma once

// The restore window: restores a database from a backup file through the
// server's services manager and shows the server's output lines.

#include "AEdit.h"
#include "AgOpenDialog.h"
#include "db/RestoreService.h"
#include "ui/Animation.h"
#include "ui/Form.h"

#include <QElapsedTimer>
#include <QTimer>

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace platform {
class Database;
}

enum TBackupRunKind { rkInteractive, rkImmediate };

// How the restore of one window ended.
enum TRestoreOutcome {
    roNotRun, // no restore was started (the window was closed before)
    roDone,   // the server's output ran to its end
    roFailed, // a failure was reported to the user
};

class TfrmIBback : public platform::Form {
    Q_OBJECT
public:
    explicit TfrmIBback(QWidget *owner = nullptr);

    QGroupBox *GroupBox1;
    QLabel *Label1;
    TAEdit *edtServerName;
    QLabel *Label2;
    TAEdit *edtDatabaseFile;
    QGroupBox *GroupBox2;
    QLabel *Label3;
    TAEdit *edtBackupFile;
    QToolButton *btnBackup;
    QGroupBox *boxPrubeh;
    QPlainTextEdit *memBackup;
    QLabel *imgBackup;
    platform::Animation *aniCopy;
    QFrame *Bevel1;
    QPushButton *btnZaloha;
    QPushButton *btnStorno;
    QStatusBar *StatusBar1;
    TAgSaveDialog *dlgBackup;
    platform::RestoreService resRestore;

    bool FLocal = false;
    QString FServer;
    QString FDatabase;
    QString FParamBackupFile;
    QString FUserLine;
    QString FPasswordLine;
    TBackupRunKind FKind = rkInteractive;
    platform::TRestoreOptions FRestoreOptions;
    TRestoreOutcome FOutcome = roNotRun;

    // True when the restore ran to the end of its output, false when a
    // failure was reported.
    bool RunRestore();
    // The local services manager restores: the database is on this computer.
    bool usesLocalManager() const;

    void btnZalohaClick();
    void btnStornoClick();
    void btnBackupClick();

    // The server's lines reach the memo in batches, at most a few hundredths
    // of a second apart: laying out one memo line costs about as much as a
    // whole batch, and a restore may send very many. A line that comes after
    // a quiet spell is shown at once, as the server may keep the thread
    // waiting long for the next one.
    void appendOutputLine(const QString &line);
    // Shows the waiting lines now.
    void flushOutputLines();

protected:
    void FormShow() override;
    void FormCloseQuery(bool &canClose) override;

private:
    // The service's login lines, manager and protocol from the fields.
    void setUpService();
    // The restore from attach to detach; on this computer into a new file
    // that takes the target's place only after a complete restore. Raises
    // what failed.
    void restoreThroughService();

    QStringList pendingLines_;
    QTimer outputTimer_;
    QElapsedTimer sinceOutputShown_;
};

// Creates the window for the connection's settings, runs it as the kind says
// and destroys it. False only without a connection. outcome, when given,
// tells how the restore ended.
bool RunBackupRestore(platform::Database *connection, const QString &backupFile, TBackupRunKind kind,
                      const platform::TRestoreOptions &options, TRestoreOutcome *outcome = nullptr);
