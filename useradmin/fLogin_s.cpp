#include "fLogin_s.h"

#include "DACrypt.h"
#include "MessageBoxes.h"
#include "SqlUtils.h"
#include "StationName.h"
#include "UsersTable.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "base/Win1250.h"
#include "db/Query.h"
#include "ui/Application.h"
#include "ui/Drawing.h"
#include "ui/Look.h"
#include "ui/SystemColors.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <memory>

namespace {

// Letters typed or set show in upper case, by the code page's locale rule.
void showInUpperCase(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
        const QString upper = platform::upperLocale(text);
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

// The users table's row of the login, however its letters are stored.
QString fromUserRow(const QString &upperLogin)
{
    return QStringLiteral(" from DB$UZIV where upper(UZI$LOGIN) = ") + SqlTextLiteral(upperLogin);
}

} // namespace

QString QueryString(const QString &sql, platform::Query *query, const QString &defaultValue)
{
    query->close();
    query->setSql(sql);
    query->execQuery();
    const QString result = query->rowFound() ? query->asString(0) : QString();
    query->close();
    return result.isEmpty() ? defaultValue : result;
}

qint64 QueryInt64(const QString &sql, platform::Query *query, qint64 defaultValue)
{
    query->close();
    query->setSql(sql);
    query->execQuery();
    const qint64 result = query->rowFound() ? query->asInt64(0) : -1;
    query->close();
    return result == -1 ? defaultValue : result;
}

QString CountWithPasswordSql(const QString &upperLogin, const QString &storedPassword)
{
    return QStringLiteral("select count(*)") + fromUserRow(upperLogin) + QStringLiteral(" and UZI$HESLO = ") +
           SqlTextLiteral(storedPassword);
}

QString CountWithNullPasswordSql(const QString &upperLogin)
{
    return QStringLiteral("select count(*)") + fromUserRow(upperLogin) + QStringLiteral(" and UZI$HESLO is NULL");
}

QString UserColumnSql(const QString &column, const QString &upperLogin)
{
    return QStringLiteral("select ") + column + fromUserRow(upperLogin);
}

bool CheckLogin(platform::Query *query, const QString &login, const QString &password)
{
    const QString upperLogin = platform::upperLocale(login);
    const QString storedPassword = EncodePassword(password, kUsersTableKey);
    if (QueryInt64(CountWithPasswordSql(upperLogin, storedPassword), query, 0) > 0)
        return true;
    return QueryInt64(CountWithNullPasswordSql(upperLogin), query, 0) > 0;
}

void ReadRights(platform::Query *query, const QString &login, bool &readOnly, bool &write, bool &admin,
                QString &fullName)
{
    const QString upperLogin = platform::upperLocale(login);
    const QString right =
        QueryString(UserColumnSql(QStringLiteral("UZI$PRAVO"), upperLogin), query, QStringLiteral("0"));
    readOnly = right == kRightReadOnly;
    write = right == kRightWrite;
    admin = right == kRightAdmin;

    fullName = QueryString(UserColumnSql(QStringLiteral("UZI$JMENO"), upperLogin), query, QString());
    if (!fullName.isEmpty())
        fullName += QLatin1Char(' ');
    fullName += QueryString(UserColumnSql(QStringLiteral("UZI$PRIJMENI"), upperLogin), query, QString());
}

bool RunLogin(platform::Query *query, QString &login, QString &password, QString &fullName, bool &readOnly, bool &admin,
              bool &write, platform::ProfileFile *settingsFile)
{
    auto dialog = std::make_unique<TfrmLogin_s>();
    query->close();
    dialog->FQuery = query;
    dialog->FLogin = login;
    dialog->FFullName = fullName;
    dialog->FReadOnly = readOnly;
    dialog->FAdmin = admin;
    dialog->FWrite = write;

    if (!login.isEmpty()) {
        dialog->edtUsername->setText(login);
    } else if (settingsFile) {
        dialog->setColor(platform::clActiveBorder);
        login =
            settingsFile->readString(StationName() + QStringLiteral("_Login"), QStringLiteral("LastUziv"), QString());
        dialog->edtUsername->setText(login);
        query->close();
    } else {
        dialog->setColor(platform::clBtnFace);
    }

    if (!login.isEmpty() && CheckLogin(query, login, password)) {
        ReadRights(query, login, readOnly, write, admin, fullName);
        return true;
    }

    if (dialog->showModal() != platform::mrOk)
        return false;
    login = dialog->FLogin;
    password = dialog->FPassword;
    fullName = dialog->FFullName;
    readOnly = dialog->FReadOnly;
    admin = dialog->FAdmin;
    write = dialog->FWrite;
    return true;
}

TfrmLogin_s::TfrmLogin_s(QWidget *owner) : platform::Form(owner)
{
    setObjectName(QStringLiteral("frmLogin_s"));
    setWindowTitle(QStringLiteral("Zadejte jméno a heslo"));
    setBorderStyle(platform::BorderStyle::DialogNoIcons);
    setClientSize(236, 97);
    setColor(platform::clActiveBorder);
    setFont(platform::tahomaFont(11));
    setKeyPreview(true);

    Image = new QLabel(this);
    Image->setGeometry(8, 8, 33, 33);
    Image->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(33, 33));

    labUziv = new QLabel(QStringLiteral("Jméno:"), this);
    labUziv->move(49, 12);
    edtUsername = new QLineEdit(this);
    edtUsername->setGeometry(88, 8, 137, 21);
    showInUpperCase(edtUsername);

    labHeslo = new QLabel(QStringLiteral("Heslo:"), this);
    labHeslo->move(54, 44);
    edtPassword = new QLineEdit(this);
    edtPassword->setGeometry(88, 40, 137, 21);
    platform::setPasswordCharacter(edtPassword, QLatin1Char('*'));

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setGeometry(88, 68, 67, 25);
    setDefaultButton(btnOk);
    setButtonModalResult(btnOk, platform::mrOk);
    btnStorno = new QPushButton(QStringLiteral("Storno"), this);
    btnStorno->setGeometry(160, 68, 67, 25);
    setButtonModalResult(btnStorno, platform::mrCancel);

    setTabOrder(edtUsername, edtPassword);
    setTabOrder(edtPassword, btnOk);
    setTabOrder(btnOk, btnStorno);
}

void TfrmLogin_s::FormShow()
{
    if (!edtUsername->text().isEmpty())
        edtPassword->setFocus();
    else
        edtUsername->setFocus();
}

void TfrmLogin_s::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (key == platform::VK_F12) {
        setModalResult(platform::mrOk);
        key = 0;
    } else if (key == platform::VK_ESCAPE) {
        setModalResult(platform::mrCancel);
        key = 0;
    }
}

void TfrmLogin_s::FormCloseQuery(bool &canClose)
{
    if (modalResult() != platform::mrOk)
        return;
    try {
        if (!CheckLogin(FQuery, edtUsername->text(), edtPassword->text())) {
            ShowWarning(QStringLiteral("Chybné přihlášení"));
            edtPassword->setFocus();
            canClose = false;
            return;
        }
        FLogin = edtUsername->text();
        FPassword = edtPassword->text();
        ReadRights(FQuery, FLogin, FReadOnly, FWrite, FAdmin, FFullName);
    } catch (const Exception &error) {
        // The operator keeps the dialog and the input, as for a refused login.
        platform::showDefaultErrorBox(error);
        canClose = false;
    }
}
