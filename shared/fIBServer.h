#pragma once

// The connection dialog: where the database lies, the automatic login with
// user, password and role, the character set and the SQL dialect; a test
// connection of its own, the user's roles from the server, and connection
// profiles (*.cfg) holding the location part of the settings.

#include "AgOpenDialog.h"
#include "ui/Form.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace platform {
class Database;
class ProfileFile;
class Transaction;
} // namespace platform

class TfrmIBServer : public platform::Form {
    Q_OBJECT
public:
    explicit TfrmIBServer(QWidget *parent = nullptr);
    ~TfrmIBServer() override;

    QGroupBox *boxUmisteni;
    QRadioButton *btnLocal;
    QRadioButton *btnRemote;
    QLabel *lblServer;
    QLineEdit *edtServer;
    QLabel *lblSoubor;
    QLineEdit *edtDatabase;
    QToolButton *btnOpenDlg;
    QLabel *Image;

    QGroupBox *boxUzivatel;
    QCheckBox *boxNotLoginPrompt;
    QLabel *lblUzivatel;
    QLineEdit *edtUser_Name;
    QLabel *lblHeslo;
    QLineEdit *edtPassword;
    QLabel *lblRole;
    QComboBox *edtSql_Role;

    QGroupBox *boxParametry;
    QLabel *lblSada;
    QComboBox *boxLc_Ctype;
    QLabel *lblDialekt;
    QLineEdit *edtSQLDialect;

    QToolButton *btnCfgLoad;
    QToolButton *btnCfgSave;
    QPushButton *btnTest;
    QPushButton *btnOK;
    QPushButton *btnStorno;

    // The dialog's own test connection; the edited connection is never used for tests.
    platform::Database *IBDatabase;
    platform::Transaction *IBTransaction;
    TAgOpenDialog *OpenDlg;
    TAgSaveDialog *SaveDlg;

    void LoadFromDatabase(const platform::Database *connection);
    // The connection must be closed. A dialect that is no integer or below 1
    // raises; what was written before stays.
    void SaveToDatabase(platform::Database *connection) const;
    void LoadFromIni(const platform::ProfileFile *profile);
    void SaveToIni(platform::ProfileFile *profile) const;

    void LocalOrRemote();
    void btnLocalClick();
    void btnRemoteClick();
    void boxNotLoginPromptClick();
    void btnTestClick();
    void btnOpenDlgClick();
    void btnCfgLoadClick();
    void btnCfgSaveClick();
    void edtSql_RoleEnter();

private:
    void focusChanged(QWidget *old, QWidget *now);

    void buildLocation();
    void buildUser();
    void buildParameters();
    void buildButtons();
    void orderTabs();
    void connectHandlers();
    void nameComponents();
    void closeTestConnection();

    // The control of the dialog that had the focus last.
    QPointer<QWidget> activeControl_;
};

// The statement that lists the roles granted to a user, with the user name
// as a quoted literal.
QString RoleStatement(const QString &userName);
