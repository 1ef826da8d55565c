#pragma once

// The class library's database login dialog: user name and password for a
// connection or service whose login prompt is on.

#include "Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {

class LoginDialog : public Form {
    Q_OBJECT
public:
    LoginDialog(const QString &databaseName, const QString &userName, QWidget *parent = nullptr);

    QLabel *labDatabase;
    QLineEdit *edtUserName;
    QLineEdit *edtPassword;
    QPushButton *btnOk;
    QPushButton *btnStorno;

protected:
    void FormShow() override;
};

// Asks modally; user name and password in and out; false when cancelled.
bool runLoginDialog(const QString &databaseName, QString &userName, QString &password);
// Makes runLoginDialog the login prompt of the database objects (LoginPrompt.h).
void installLoginDialog();

} // namespace platform
