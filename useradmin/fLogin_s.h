#pragma once

// The operator's login against the users table: a silent attempt with the
// station's last login, otherwise the login dialog.

#include "ui/Form.h"

#include <QString>
#include <QtGlobal>

#include <optional>

class QLabel;
class QPushButton;
class QLineEdit;

namespace platform {
class ProfileFile;
class Query;
} // namespace platform

// One-value statements on the lent query. Errors pass to the caller.
// The first column of the first row as text; an empty result (no row, NULL
// or empty text) gives the default.
QString QueryString(const QString &sql, platform::Query *query, const QString &defaultValue);
// The first column of the first row as an integer, -1 without a row; -1 gives
// the default.
qint64 QueryInt64(const QString &sql, platform::Query *query, qint64 defaultValue);

// The rows of DB$UZIV that admitted a login: those whose upper-cased login
// matches and whose stored password is the given text, or NULL (nullopt).
// Rows may differ only in the case of their logins, each with its own
// password, right and name; only the admitting ones may speak for the login.
struct AdmittingRows {
    QString upperLogin;
    std::optional<QString> storedPassword;
};

// The login's statements. The login (already upper-cased) and the stored
// password text go in as SQL string literals, apostrophes doubled, so no
// value can change the statement.
QString CountSql(const AdmittingRows &rows);
// One column, such as UZI$PRAVO, of the admitting row with the smallest right
// (then the first by login), so that an ambiguous login never gains a right.
QString AdmittedColumnSql(const QString &column, const AdmittingRows &rows);

// The rows that admit the login with the typed password; nothing when none
// does. A user without a stored password (NULL) matches any password.
std::optional<AdmittingRows> CheckLogin(platform::Query *query, const QString &login, const QString &password);
// The three right flags and the full name ("first name surname") of the
// admitting rows.
void ReadRights(platform::Query *query, const AdmittingRows &rows, bool &readOnly, bool &write, bool &admin,
                QString &fullName);

// Logs an operator in: the login passed in, or else the station's LastUziv
// from the settings file (may be null), is first tried silently with the
// password passed in; otherwise the dialog asks. True with the login result in
// the in/out values; false when the operator cancelled. An error of the silent
// attempt passes to the caller.
bool RunLogin(platform::Query *query, QString &login, QString &password, QString &fullName, bool &readOnly, bool &admin,
              bool &write, platform::ProfileFile *settingsFile);

class TfrmLogin_s : public platform::Form {
    Q_OBJECT
public:
    explicit TfrmLogin_s(QWidget *owner = nullptr);

    QLabel *Image;
    QLabel *labUziv;
    QLineEdit *edtUsername;
    QLabel *labHeslo;
    QLineEdit *edtPassword;
    QPushButton *btnOk;
    QPushButton *btnStorno;

protected:
    void FormShow() override;
    void FormCloseQuery(bool &canClose) override;
    void FormKeyDown(int &key, Qt::KeyboardModifiers shift) override;

private:
    friend bool RunLogin(platform::Query *, QString &, QString &, QString &, bool &, bool &, bool &,
                         platform::ProfileFile *);

    QString FLogin;
    QString FPassword;
    QString FFullName;
    bool FAdmin = false;
    bool FReadOnly = false;
    bool FWrite = false;
    platform::Query *FQuery = nullptr;
};
