#include "fIBServer.h"

#include "ConnectionSettings.h"
#include "ErrorTranslation.h"
#include "MessageBoxes.h"
#include "SqlUtils.h"
#include "StringUtils.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "ui/Controls.h"
#include "ui/Cursor.h"
#include "ui/Drawing.h"
#include "ui/ErrorBoundary.h"
#include "ui/Look.h"
#include "ui/MessageBox.h"
#include "ui/SystemColors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QToolButton>

#include <functional>

using platform::Database;
using platform::ProfileFile;

namespace {

const QString kNoCharacterSet = QStringLiteral("None");
const QString kDefaultCharacterSet = QStringLiteral("Win1250");
const QString kProfileTitle = QStringLiteral("Zadejte cestu ke konfiguračnímu souboru");
const QString kProfileFilter = QStringLiteral("soubory konfigurace (*.cfg)|*.cfg");

// The pictures are drawn here rather than loaded: the dialog needs no files.
QPixmap profileLoadPicture()
{
    return platform::folderPicture([](QPainter &painter) {
        // An arrow out of the folder: the profile comes into the dialog.
        painter.setPen(QPen(QColor(0x00, 0x80, 0x00), 2));
        painter.drawLine(QPointF(8, 11), QPointF(8, 1.5));
        painter.drawLine(QPointF(5, 4.5), QPointF(8, 1.5));
        painter.drawLine(QPointF(11, 4.5), QPointF(8, 1.5));
    });
}

QPixmap profileSavePicture()
{
    return platform::drawnPicture(16, 16, [](QPainter &painter) {
        painter.setPen(QColor(0x00, 0x00, 0x40));
        painter.setBrush(QColor(0x30, 0x50, 0xA0));
        painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4, 1.5, 8, 5));
        painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
        painter.drawRect(QRectF(4.5, 9.5, 7, 5));
    });
}

QPixmap databasePicture()
{
    return platform::drawnPicture(33, 33, [](QPainter &painter) {
        const QColor body(0x40, 0x70, 0xC0);
        const QColor top(0x90, 0xB8, 0xF0);
        painter.setPen(QPen(QColor(0x10, 0x30, 0x70), 1));
        for (int disc = 2; disc >= 0; --disc) {
            const qreal y = 6 + disc * 8;
            QPainterPath slice;
            slice.moveTo(5, y);
            slice.lineTo(5, y + 8);
            slice.arcTo(QRectF(5, y + 4, 23, 8), 180, 180);
            slice.lineTo(28, y);
            slice.closeSubpath();
            painter.setBrush(body);
            painter.drawPath(slice);
        }
        painter.setBrush(top);
        painter.drawEllipse(QRectF(5, 2, 23, 8));
    });
}

QToolButton *newSpeedButton(const QPixmap &picture, QWidget *parent, const QRect &place)
{
    auto *button = new QToolButton(parent);
    button->setIcon(picture);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(place);
    return button;
}

QComboBox *newFreeTextCombo(QWidget *parent, const QRect &place)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    // Enter in the text must not add it to the items.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setGeometry(place);
    return combo;
}

// An edit and its label that only some settings use: greyed out when unused.
void setFieldInUse(QLabel *label, QLineEdit *edit, bool inUse)
{
    label->setEnabled(inUse);
    edit->setEnabled(inUse);
    platform::setControlColor(edit, inUse ? platform::clWindow : platform::clInactiveCaptionText);
}

// Checks or unchecks one radio button as the class library does: unchecking
// the checked one leaves the group without a checked button.
void setRadioChecked(QRadioButton *button, bool checked)
{
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

int dialectOf(const QString &text)
{
    bool ok = false;
    const int dialect = TrimBlanks(text).toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' není platné celé číslo").arg(text));
    return dialect;
}

} // namespace

QString RoleStatement(const QString &userName)
{
    // The name goes in as a literal: an apostrophe in it is doubled.
    return QStringLiteral("select RDB$RELATION_NAME from RDB$USER_PRIVILEGES where (UPPER(RDB$USER) = UPPER(") +
           SqlTextLiteral(userName) + QStringLiteral(")) and (UPPER(RDB$PRIVILEGE) = 'M')");
}

TfrmIBServer::TfrmIBServer(QWidget *parent) : platform::Form(parent)
{
    setWindowTitle(QStringLiteral("InterBase Server nastavení"));
    setClientSize(342, 268);

    // The buttons first: the first control in the tab order gets the focus.
    buildButtons();
    buildLocation();
    buildUser();
    buildParameters();
    orderTabs();

    IBDatabase = new Database(this);
    IBDatabase->setSqlDialect(1);
    IBTransaction = new platform::Transaction(this);
    IBTransaction->setDefaultDatabase(IBDatabase);
    IBDatabase->setDefaultTransaction(IBTransaction);

    OpenDlg = new TAgOpenDialog(this);
    OpenDlg->DefaultExt = QStringLiteral("cfg");
    OpenDlg->ShowPlacesBar = true;
    SaveDlg = new TAgSaveDialog(this);
    SaveDlg->DefaultExt = QStringLiteral("cfg");
    SaveDlg->ShowPlacesBar = true;

    connectHandlers();
    nameComponents();
}

void TfrmIBServer::nameComponents()
{
    // The components' names, as the form's readers and tests know them.
    platform::nameComponents({{boxUmisteni, "boxUmisteni"},
                              {btnLocal, "btnLocal"},
                              {btnRemote, "btnRemote"},
                              {lblServer, "lblServer"},
                              {edtServer, "edtServer"},
                              {lblSoubor, "lblSoubor"},
                              {edtDatabase, "edtDatabase"},
                              {btnOpenDlg, "btnOpenDlg"},
                              {Image, "Image"},
                              {boxUzivatel, "boxUzivatel"},
                              {boxNotLoginPrompt, "boxNotLoginPrompt"},
                              {lblUzivatel, "lblUzivatel"},
                              {edtUser_Name, "edtUser_Name"},
                              {lblHeslo, "lblHeslo"},
                              {edtPassword, "edtPassword"},
                              {lblRole, "lblRole"},
                              {edtSql_Role, "edtSql_Role"},
                              {boxParametry, "boxParametry"},
                              {lblSada, "lblSada"},
                              {boxLc_Ctype, "boxLc_Ctype"},
                              {lblDialekt, "lblDialekt"},
                              {edtSQLDialect, "edtSQLDialect"},
                              {btnCfgLoad, "btnCfgLoad"},
                              {btnCfgSave, "btnCfgSave"},
                              {btnTest, "btnTest"},
                              {btnOK, "btnOK"},
                              {btnStorno, "btnStorno"},
                              {IBDatabase, "IBDatabase"},
                              {IBTransaction, "IBTransaction"},
                              {OpenDlg, "OpenDlg"},
                              {SaveDlg, "SaveDlg"}});
}

TfrmIBServer::~TfrmIBServer()
{
    // The controls go after this part of the dialog: their focus changes are no entering.
    disconnect(qApp, nullptr, this, nullptr);
}

void TfrmIBServer::buildButtons()
{
    btnTest = new QPushButton(QStringLiteral("&Test"), this);
    btnTest->setGeometry(64, 240, 75, 25);
    btnTest->setFocusPolicy(Qt::ClickFocus);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setGeometry(184, 240, 75, 25);
    setDefaultButton(btnOK);
    setButtonModalResult(btnOK, platform::mrOk);

    btnStorno = new QPushButton(QStringLiteral("&Storno"), this);
    btnStorno->setGeometry(264, 240, 75, 25);
    setCancelButton(btnStorno);
    setButtonModalResult(btnStorno, platform::mrCancel);

    btnCfgLoad = newSpeedButton(profileLoadPicture(), this, QRect(8, 240, 25, 25));
    btnCfgLoad->setToolTip(QStringLiteral("Načtení nastavení IB serveru z konfiguračního souboru"));
    btnCfgSave = newSpeedButton(profileSavePicture(), this, QRect(32, 240, 25, 25));
    btnCfgSave->setToolTip(QStringLiteral("Uložení nastavení IB serveru do konfiguračního souboru"));
}

void TfrmIBServer::buildLocation()
{
    boxUmisteni = new QGroupBox(QStringLiteral("Umístění"), this);
    boxUmisteni->setGeometry(8, 8, 329, 97);

    btnLocal = new QRadioButton(QStringLiteral("Tento počítač"), boxUmisteni);
    btnLocal->setGeometry(16, 16, 89, 17);
    btnLocal->setChecked(true);
    btnRemote = new QRadioButton(QStringLiteral("Vzdálený počítač"), boxUmisteni);
    btnRemote->setGeometry(112, 16, 103, 17);

    lblServer = platform::newLabel(QStringLiteral("Server:"), boxUmisteni, 24, 44);
    edtServer = new QLineEdit(boxUmisteni);
    edtServer->setGeometry(64, 40, 149, 21);
    setFieldInUse(lblServer, edtServer, false);

    lblSoubor = platform::newLabel(QStringLiteral("Databáze:"), boxUmisteni, 9, 68);
    edtDatabase = new QLineEdit(boxUmisteni);
    edtDatabase->setGeometry(64, 64, 233, 21);
    btnOpenDlg = newSpeedButton(platform::folderPicture(), boxUmisteni, QRect(296, 64, 23, 22));

    Image = new QLabel(boxUmisteni);
    Image->setGeometry(286, 16, 33, 33);
    Image->setPixmap(databasePicture());
    Image->setAttribute(Qt::WA_TranslucentBackground);
}

void TfrmIBServer::buildUser()
{
    boxUzivatel = new QGroupBox(QStringLiteral("Uživatel"), this);
    boxUzivatel->setGeometry(8, 112, 201, 121);

    boxNotLoginPrompt = new QCheckBox(QStringLiteral("Automatické přihlášení"), boxUzivatel);
    boxNotLoginPrompt->setGeometry(8, 16, 129, 17);

    lblUzivatel = platform::newLabel(QStringLiteral("Uživatel:"), boxUzivatel, 8, 44);
    edtUser_Name = new QLineEdit(boxUzivatel);
    edtUser_Name->setGeometry(56, 40, 129, 21);
    setFieldInUse(lblUzivatel, edtUser_Name, false);

    lblHeslo = platform::newLabel(QStringLiteral("Heslo:"), boxUzivatel, 19, 68);
    edtPassword = new QLineEdit(boxUzivatel);
    edtPassword->setGeometry(56, 64, 129, 21);
    platform::setPasswordCharacter(edtPassword, QLatin1Char('*'));
    setFieldInUse(lblHeslo, edtPassword, false);

    lblRole = platform::newLabel(QStringLiteral("Role:"), boxUzivatel, 24, 92);
    edtSql_Role = newFreeTextCombo(boxUzivatel, QRect(56, 88, 129, 21));
}

void TfrmIBServer::buildParameters()
{
    boxParametry = new QGroupBox(QStringLiteral("Parametry"), this);
    boxParametry->setGeometry(216, 112, 121, 121);

    lblSada = platform::newLabel(QStringLiteral("Znak. sada:"), boxParametry, 8, 24);
    boxLc_Ctype = newFreeTextCombo(boxParametry, QRect(8, 40, 97, 21));
    boxLc_Ctype->addItems({kNoCharacterSet, QStringLiteral("ASCII"), QStringLiteral("DOS850"), QStringLiteral("DOS852"),
                           QStringLiteral("DOS857"), kDefaultCharacterSet});
    boxLc_Ctype->setEditText(kNoCharacterSet);

    lblDialekt = platform::newLabel(QStringLiteral("SQL dialekt:"), boxParametry, 8, 72);
    edtSQLDialect = new QLineEdit(boxParametry);
    edtSQLDialect->setGeometry(8, 88, 97, 21);
}

void TfrmIBServer::orderTabs()
{
    // The form's order (Test, OK, Storno, then the three groups), each group's
    // controls in their own order.
    const QList<QWidget *> order{btnTest,     btnOK,       btnStorno,         btnLocal,     btnRemote,
                                 edtServer,   edtDatabase, boxNotLoginPrompt, edtUser_Name, edtPassword,
                                 edtSql_Role, boxLc_Ctype, edtSQLDialect};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TfrmIBServer::connectHandlers()
{
    platform::tabToCheckedRadio({btnLocal, btnRemote});
    // A radio button's click runs when it becomes checked, by the user or by code.
    connect(btnLocal, &QRadioButton::toggled, this, platform::guarded([this](bool checked) {
                if (checked)
                    btnLocalClick();
            }));
    connect(btnRemote, &QRadioButton::toggled, this, platform::guarded([this](bool checked) {
                if (checked)
                    btnRemoteClick();
            }));
    connect(boxNotLoginPrompt, &QCheckBox::toggled, this,
            platform::guarded(this, &TfrmIBServer::boxNotLoginPromptClick));
    connect(btnTest, &QPushButton::clicked, this, platform::guarded(this, &TfrmIBServer::btnTestClick));
    connect(btnOpenDlg, &QToolButton::clicked, this, platform::guarded(this, &TfrmIBServer::btnOpenDlgClick));
    connect(btnCfgLoad, &QToolButton::clicked, this, platform::guarded(this, &TfrmIBServer::btnCfgLoadClick));
    connect(btnCfgSave, &QToolButton::clicked, this, platform::guarded(this, &TfrmIBServer::btnCfgSaveClick));
    connect(qApp, &QApplication::focusChanged, this, platform::guarded(this, &TfrmIBServer::focusChanged));
}

void TfrmIBServer::focusChanged(QWidget *, QWidget *now)
{
    // The field is entered when the dialog's focus moves to it from another
    // of its controls; the focus coming back from another window (a login
    // dialog, a message box) or from the item list enters nothing.
    if (!now || now->window() != this)
        return;
    // The role field's focus lies in its text part.
    QWidget *control = edtSql_Role->isAncestorOf(now) ? edtSql_Role : now;
    if (control == activeControl_)
        return;
    activeControl_ = control;
    if (control == edtSql_Role)
        edtSql_RoleEnter();
}

void TfrmIBServer::LoadFromDatabase(const Database *connection)
{
    QString server;
    QString path;
    if (!connection->databaseName().isEmpty()) {
        if (SplitDatabaseName(connection, server, path)) {
            btnLocal->setChecked(true);
            edtServer->clear();
        } else {
            btnRemote->setChecked(true);
            edtServer->setText(server);
        }
        edtDatabase->setText(path);
    }
    edtSQLDialect->setText(QStringLiteral("3"));

    const QStringList params = connection->params();
    const auto showIfGiven = [&params](const QString &name, const std::function<void(const QString &)> &show) {
        const QString value = ParamValue(params, name);
        if (!TrimBlanks(value).isEmpty())
            show(value);
    };
    showIfGiven(kUserNameParam, [this](const QString &value) { edtUser_Name->setText(value); });
    showIfGiven(kPasswordParam, [this](const QString &value) { edtPassword->setText(value); });
    showIfGiven(kRoleParam, [this](const QString &value) { edtSql_Role->setEditText(value); });

    const QString characterSet = ParamValue(params, kCharacterSetParam);
    boxLc_Ctype->setEditText(TrimBlanks(characterSet).isEmpty() ? kDefaultCharacterSet : characterSet);

    boxNotLoginPrompt->setChecked(!connection->loginPrompt());
}

void TfrmIBServer::SaveToDatabase(Database *connection) const
{
    connection->setDatabaseName(
        edtServer->text().isEmpty() ? edtDatabase->text() : edtServer->text() + QLatin1Char(':') + edtDatabase->text());
    connection->setLoginPrompt(!boxNotLoginPrompt->isChecked());

    QStringList params{ParamLine(kUserNameParam, edtUser_Name->text())};
    if (!connection->loginPrompt())
        params.append(ParamLine(kPasswordParam, edtPassword->text()));
    if (!TrimBlanks(edtSql_Role->currentText()).isEmpty())
        params.append(ParamLine(kRoleParam, edtSql_Role->currentText()));
    if (boxLc_Ctype->currentText() != kNoCharacterSet)
        params.append(ParamLine(kCharacterSetParam, boxLc_Ctype->currentText()));
    connection->setParams(params);

    if (!TrimBlanks(edtSQLDialect->text()).isEmpty())
        connection->setSqlDialect(dialectOf(edtSQLDialect->text()));
}

void TfrmIBServer::LoadFromIni(const ProfileFile *profile)
{
    if (!profile)
        return;
    const auto read = [profile](const char *key, const QString &defaultValue) {
        return profile->readString(kIBServerSection, QLatin1String(key), defaultValue);
    };
    const QString server = read("Server", QString());
    const QString database = read("Database", QString());
    if (server.isEmpty() && database.isEmpty()) {
        ShowWarning(QStringLiteral("Zadaný soubor neobsahuje informaci o nastavení IB serveru."));
        return;
    }
    setRadioChecked(btnLocal, profile->readBool(kIBServerSection, QStringLiteral("Local"), false));
    setRadioChecked(btnRemote, !btnLocal->isChecked());
    edtServer->setText(server);
    edtDatabase->setText(database);
    edtSQLDialect->setText(read("SQLDialect", QStringLiteral("3")));
    boxLc_Ctype->setEditText(read("Characters", kDefaultCharacterSet));
}

void TfrmIBServer::SaveToIni(ProfileFile *profile) const
{
    if (!profile)
        return;
    profile->writeBool(kIBServerSection, QStringLiteral("Local"), btnLocal->isChecked());
    profile->writeString(kIBServerSection, QStringLiteral("Server"), edtServer->text());
    profile->writeString(kIBServerSection, QStringLiteral("Database"), edtDatabase->text());
    profile->writeString(kIBServerSection, QStringLiteral("SQLDialect"), edtSQLDialect->text());
    profile->writeString(kIBServerSection, QStringLiteral("Characters"), boxLc_Ctype->currentText());
}

void TfrmIBServer::LocalOrRemote()
{
    const bool local = btnLocal->isChecked();
    btnOpenDlg->setEnabled(local);
    setFieldInUse(lblServer, edtServer, !local);
    edtDatabase->clear();
    edtServer->clear();
}

void TfrmIBServer::btnLocalClick()
{
    LocalOrRemote();
}

void TfrmIBServer::btnRemoteClick()
{
    LocalOrRemote();
}

void TfrmIBServer::boxNotLoginPromptClick()
{
    const bool automatic = boxNotLoginPrompt->isChecked();
    setFieldInUse(lblUzivatel, edtUser_Name, automatic);
    setFieldInUse(lblHeslo, edtPassword, automatic);
}

void TfrmIBServer::btnTestClick()
{
    if (IBDatabase->connected())
        IBDatabase->close();
    SaveToDatabase(IBDatabase);
    try {
        IBDatabase->open();
        if (IBDatabase->connected())
            ShowInfo(QStringLiteral("Připojení se podařilo."));
        IBDatabase->close();
    } catch (const Exception &error) {
        platform::messageBox(ComposeErrorMessage(QStringLiteral("Připojení se nepodařilo!"), error),
                             QStringLiteral("Chyba!"), platform::MB_ICONERROR);
    }
}

void TfrmIBServer::btnOpenDlgClick()
{
    try {
        OpenDlg->InitialDir = edtDatabase->text();
        OpenDlg->Title = QStringLiteral("Zadejte cestu k databázovému souboru");
        OpenDlg->Filter =
            QStringLiteral("databázové soubory InterBase (*.gdb, *.idb, *.ib, *.fb)|*.gdb;*.idb;*.ib;*.fb");
        if (OpenDlg->Execute())
            edtDatabase->setText(OpenDlg->FileName);
    } catch (const Exception &error) {
        ShowError(error.message());
    }
}

void TfrmIBServer::btnCfgLoadClick()
{
    try {
        OpenDlg->Title = kProfileTitle;
        OpenDlg->Filter = kProfileFilter;
        if (OpenDlg->Execute()) {
            const ProfileFile profile(OpenDlg->FileName);
            LoadFromIni(&profile);
        }
    } catch (const Exception &error) {
        ShowError(error.message());
    }
}

void TfrmIBServer::btnCfgSaveClick()
{
    if ((edtServer->text() + edtDatabase->text()).isEmpty()) {
        ShowWarning(
            QStringLiteral("Informace o nastavení IB serveru není úplná. Zadejte jméno serveru a název databáze."));
        return;
    }
    try {
        SaveDlg->Title = kProfileTitle;
        SaveDlg->Filter = kProfileFilter;
        if (SaveDlg->Execute()) {
            ProfileFile profile(SaveDlg->FileName);
            SaveToIni(&profile);
        }
    } catch (const Exception &error) {
        ShowError(error.message());
    }
}

void TfrmIBServer::edtSql_RoleEnter()
{
    try {
        SaveToDatabase(IBDatabase);
        IBDatabase->open();
        IBTransaction->start();
        if (IBDatabase->connected()) {
            platform::setAppCursor(platform::AppCursor::SqlWait);
            const auto defaultCursor = qScopeGuard([] { platform::setAppCursor(platform::AppCursor::Default); });
            QStringList roles;
            SelectToList(RoleStatement(edtUser_Name->text()), IBDatabase, &roles);
            edtSql_Role->clear();
            edtSql_Role->addItems(roles);
            edtSql_Role->setEditText(roles.value(0));
        }
        IBTransaction->commit();
        IBDatabase->close();
    } catch (const Exception &) {
        // The role list is an offer only: a failure empties the role and says nothing.
        edtSql_Role->setEditText(QString());
        closeTestConnection();
    }
}

void TfrmIBServer::closeTestConnection()
{
    try {
        if (IBDatabase->isOpen())
            IBDatabase->close();
    } catch (const Exception &) {
        // Nothing to report: the next use opens it afresh.
    }
}
