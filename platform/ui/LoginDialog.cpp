#include "LoginDialog.h"

#include "Look.h"
#include "db/LoginPrompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace platform {

LoginDialog::LoginDialog(const QString &databaseName, const QString &userName, QWidget *parent) : Form(parent)
{
    setWindowTitle(QStringLiteral("Přihlášení k databázi"));
    setBorderStyle(BorderStyle::DialogNoIcons);
    setClientSize(300, 132);

    auto *labDatabaseCaption = new QLabel(QStringLiteral("Databáze:"), this);
    labDatabaseCaption->setGeometry(12, 12, 70, 17);
    labDatabase = new QLabel(databaseName, this);
    labDatabase->setGeometry(88, 12, 200, 17);

    auto *labUserName = new QLabel(QStringLiteral("&Uživatel:"), this);
    labUserName->setGeometry(12, 40, 70, 17);
    edtUserName = new QLineEdit(userName, this);
    edtUserName->setGeometry(88, 38, 200, 21);
    labUserName->setBuddy(edtUserName);

    auto *labPassword = new QLabel(QStringLiteral("&Heslo:"), this);
    labPassword->setGeometry(12, 68, 70, 17);
    edtPassword = new QLineEdit(this);
    edtPassword->setGeometry(88, 66, 200, 21);
    setPasswordCharacter(edtPassword, QLatin1Char('*'));
    labPassword->setBuddy(edtPassword);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setGeometry(132, 98, 75, 25);
    btnStorno = new QPushButton(QStringLiteral("Storno"), this);
    btnStorno->setGeometry(213, 98, 75, 25);

    setButtonModalResult(btnOk, mrOk);
    setButtonModalResult(btnStorno, mrCancel);
    setDefaultButton(btnOk);
    setCancelButton(btnStorno);
}

void LoginDialog::FormShow()
{
    // A known user only needs the password.
    if (edtUserName->text().isEmpty())
        edtUserName->setFocus();
    else
        edtPassword->setFocus();
}

bool runLoginDialog(const QString &databaseName, QString &userName, QString &password)
{
    LoginDialog dialog(databaseName, userName);
    if (dialog.showModal() != mrOk)
        return false;
    userName = dialog.edtUserName->text();
    password = dialog.edtPassword->text();
    return true;
}

void installLoginDialog()
{
    setLoginHandler(runLoginDialog);
}

} // namespace platform
