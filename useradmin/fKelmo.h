#pragma once

// Kelmo's main window: its creation connects to the database named in
// "zelo.ini", logs the operator in and admits only an administrator.

#include "db/FbClient.h"
#include "ui/Form.h"

#include <QStringList>

#include <memory>

class ClickableText;
class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;

namespace platform {
class Database;
class ProfileFile;
class Query;
class Transaction;
} // namespace platform

// The environment variable that names another settings file in place of
// "zelo.ini" beside the executable (tests and benchmarks use it).
inline constexpr char kSettingsFileVariable[] = "KELMO_SETTINGS_FILE";

// "zelo.ini" in the executable's folder, unless KELMO_SETTINGS_FILE names a file.
QString KelmoSettingsFileName();

class TfrmKelmo : public platform::Form {
    Q_OBJECT
public:
    // Loads the client library from the first of the names that loads (an
    // error when none does) and runs the start-up sequence (FormCreate).
    explicit TfrmKelmo(const QStringList &clientLibraries = platform::clientLibraryNames(), QWidget *owner = nullptr);
    ~TfrmKelmo() override;

    // False when a start-up step ended the program: the window must not be shown.
    bool startupComplete() const { return startupComplete_; }
    platform::ProfileFile *SettingsFile() const { return settingsFile_.get(); }

    QFrame *Bevel1;
    QLabel *imgSetDb;
    ClickableText *txtSetDb;
    QLabel *imgUziv;
    ClickableText *txtUziv;
    QPushButton *btnOk;
    QStatusBar *sbUziv;
    platform::Database *dbUziv;
    platform::Transaction *trUziv;
    platform::Query *qryTmp;

public slots:
    void txtSetDbClick();
    void txtUzivClick();
    void btnOkClick();
    void dbUzivAfterConnect();

protected:
    void FormKeyDown(int &key, Qt::KeyboardModifiers shift) override;

private:
    void buildComponents();
    void FormCreate();
    bool runStartup();
    // Opens the connection and starts the transaction where they are not yet.
    void openConnection();

    std::unique_ptr<platform::ProfileFile> settingsFile_;
    bool startupComplete_ = false;
};
