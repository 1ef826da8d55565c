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

// The admitting rows, however the letters of their logins are stored.
QString fromAdmittingRows(const AdmittingRows &rows)
{
    const QString password =
        rows.storedPassword ? QStringLiteral(" = ") + SqlTextLiteral(*rows.storedPassword) : QStringLiteral(" is NULL");
    return QStringLiteral(" from DB$UZIV where upper(UZI$LOGIN) = ") + SqlTextLiteral(rows.upperLogin) +
           QStringLiteral(" and UZI$HESLO") + password;
}

// The rank of a row's right: 0 for no right, then upwards from the smallest.
// The letter is compared by its code, so that no collation of the column can
// make a lower-case letter count as a right.
QString rightRankSql()
{
    QString rank = QStringLiteral("case ascii_val(UZI$PRAVO)");
    int value = 0;
    for (const QString &right : kRightsFromSmallest)
        rank += QStringLiteral(" when %1 then %2").arg(right.front().unicode()).arg(++value);
    return rank + QStringLiteral(" else 0 end");
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

QString CountSql(const AdmittingRows &rows)
{
    return QStringLiteral("select count(*)") + fromAdmittingRows(rows);
}

QString AdmittedColumnSql(const QString &column, const AdmittingRows &rows)
{
    return QStringLiteral("select first 1 ") + column + fromAdmittingRows(rows) + QStringLiteral(" order by ") +
           rightRankSql() + QStringLiteral(", UZI$LOGIN");
}

std::optional<AdmittingRows> CheckLogin(platform::Query *query, const QString &login, const QString &password)
{
    const QString upperLogin = platform::upperLocale(login);
    const AdmittingRows withPassword{upperLogin, EncodePassword(password, kUsersTableKey)};
    if (QueryInt64(CountSql(withPassword), query, 0) > 0)
        return withPassword;
    const AdmittingRows withoutPassword{upperLogin, std::nullopt};
    if (QueryInt64(CountSql(withoutPassword), query, 0) > 0)
        return withoutPassword;
    return std::nullopt;
}

void ReadRights(platform::Query *query, const AdmittingRows &rows, bool &readOnly, bool &write, bool &admin,
                QString &fullName)
{
    const QString right = QueryString(AdmittedColumnSql(QStringLiteral("UZI$PRAVO"), rows), query, QStringLiteral("0"));
    readOnly = right == kRightReadOnly;
    write = right == kRightWrite;
    admin = right == kRightAdmin;

    fullName = QueryString(AdmittedColumnSql(QStringLiteral("UZI$JMENO"), rows), query, QString());
    if (!fullName.isEmpty())
        fullName += QLatin1Char(' ');
    fullName += QueryString(AdmittedColumnSql(QStringLiteral("UZI$PRIJMENI"), rows), query, QString());
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

    if (!login.isEmpty()) {
        if (const std::optional<AdmittingRows> rows = CheckLogin(query, login, password)) {
            ReadRights(query, *rows, readOnly, write, admin, fullName);
            return true;
        }
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
        const std::optional<AdmittingRows> rows = CheckLogin(FQuery, edtUsername->text(), edtPassword->text());
        if (!rows) {
            ShowWarning(QStringLiteral("Chybné přihlášení"));
            edtPassword->setFocus();
            canClose = false;
            return;
        }
        FLogin = edtUsername->text();
        FPassword = edtPassword->text();
        ReadRights(FQuery, *rows, FReadOnly, FWrite, FAdmin, FFullName);
    } catch (const Exception &error) {
        // The operator keeps the dialog and the input, as for a refused login.
        platform::showDefaultErrorBox(error);
        canClose = false;
    }
}
