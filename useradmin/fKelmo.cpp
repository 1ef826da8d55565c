#include "fKelmo.h"

#include "ClickableText.h"
#include "ConnectionSettings.h"
#include "EditConnection.h"
#include "KelmoTransaction.h"
#include "MessageBoxes.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "fLogin_s.h"
#include "fUziv_s.h"
#include "ui/Application.h"
#include "ui/Drawing.h"
#include "ui/ErrorBoundary.h"
#include "ui/SystemColors.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>

namespace {

QLabel *actionImage(QWidget *parent, int top, QStyle::StandardPixmap picture)
{
    auto *image = new QLabel(parent);
    image->setGeometry(40, top, 25, 25);
    image->setScaledContents(true);
    image->setPixmap(parent->style()->standardIcon(picture).pixmap(25, 25));
    return image;
}

ClickableText *actionText(QWidget *parent, int top, const QString &caption)
{
    auto *text = new ClickableText(caption, parent);
    text->setGeometry(72, top, 153, 18);
    text->setFont(platform::tahomaFont(15, true));
    platform::setFontColor(text, platform::clNavy);
    return text;
}

} // namespace

QString KelmoSettingsFileName()
{
    const QString named = qEnvironmentVariable(kSettingsFileVariable);
    if (!named.isEmpty())
        return named;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zelo.ini");
}

TfrmKelmo::TfrmKelmo(const QStringList &clientLibraries, QWidget *owner) : platform::Form(owner)
{
    platform::checkClientLibrary(clientLibraries);
    buildComponents();
    FormCreate();
}

TfrmKelmo::~TfrmKelmo()
{
    // The connection closes (and commits) as the window's objects are freed,
    // when the status bar is gone already.
    disconnect(dbUziv, nullptr, this, nullptr);
}

void TfrmKelmo::buildComponents()
{
    setObjectName(QStringLiteral("frmKelmo"));
    setWindowTitle(QStringLiteral("Uživatelé"));
    setBorderStyle(platform::BorderStyle::Dialog);
    setClientSize(265, 160);
    setColor(platform::clBtnFace);
    setFont(platform::tahomaFont(11, false));
    setKeyPreview(true);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 249, 97);

    imgSetDb = actionImage(this, 20, QStyle::SP_DriveHDIcon);
    txtSetDb = actionText(this, 23, QStringLiteral("Nastavení databáze"));
    connect(txtSetDb, &ClickableText::clicked, this, platform::guarded(this, &TfrmKelmo::txtSetDbClick));

    imgUziv = actionImage(this, 60, QStyle::SP_DirHomeIcon);
    txtUziv = actionText(this, 63, QStringLiteral("Nastavení uživatelů"));
    txtUziv->setEnabled(false);
    connect(txtUziv, &ClickableText::clicked, this, platform::guarded(this, &TfrmKelmo::txtUzivClick));

    btnOk = new QPushButton(QStringLiteral("Zavřít"), this);
    btnOk->setGeometry(93, 112, 79, 25);
    btnOk->setFont(platform::msSansSerifFont(13, true));
    platform::setFontColor(btnOk, platform::clNavy);
    setDefaultButton(btnOk);
    connect(btnOk, &QPushButton::clicked, this, platform::guarded(this, &TfrmKelmo::btnOkClick));

    sbUziv = new QStatusBar(this);
    sbUziv->setSizeGripEnabled(false);
    sbUziv->setGeometry(0, 160 - 19, 265, 19);

    dbUziv = new platform::Database(this);
    trUziv = new platform::Transaction(this);
    trUziv->setDefaultDatabase(dbUziv);
    trUziv->setParams(kKelmoTransactionParams);
    dbUziv->setDefaultTransaction(trUziv);
    connect(dbUziv, &platform::Database::afterConnect, this, platform::guarded(this, &TfrmKelmo::dbUzivAfterConnect));
    connect(dbUziv, &platform::Database::afterDisconnect, this,
            platform::guarded(this, &TfrmKelmo::dbUzivAfterConnect));
    qryTmp = new platform::Query(this);
    qryTmp->setDatabase(dbUziv);
    qryTmp->setTransaction(trUziv);
}

void TfrmKelmo::FormCreate()
{
    // Any error that leaves a start-up step ends the program after the
    // default error box; the window is then never shown.
    startupComplete_ = false;
    platform::runGuarded([this] { startupComplete_ = runStartup(); });
}

bool TfrmKelmo::runStartup()
{
    settingsFile_ = std::make_unique<platform::ProfileFile>(KelmoSettingsFileName());
    try {
        LoadConnectionSettings(settingsFile_.get(), dbUziv);
        openConnection();
    } catch (const Exception &) {
        // The dialog reports a failed reopening itself.
        if (EditConnection(dbUziv, true, true)) {
            try {
                openConnection();
                SaveConnectionSettings(settingsFile_.get(), dbUziv);
            } catch (const Exception &error) {
                ShowWarning(QStringLiteral("Chyba nastavení databáze!\r\n") + exceptionMessage(error));
            }
        }
    }
    if (!dbUziv->connected())
        return false;

    QString login, password, fullName;
    bool readOnly = false, admin = false, write = false;
    if (!RunLogin(qryTmp, login, password, fullName, readOnly, admin, write, settingsFile_.get()))
        return false;
    if (!admin) {
        ShowWarning(QStringLiteral("Nemáte oprávnění měnit nastavení uživatelů!"));
        return false;
    }
    return true;
}

void TfrmKelmo::openConnection()
{
    if (!dbUziv->connected())
        dbUziv->open();
    if (!trUziv->active())
        trUziv->start();
}

void TfrmKelmo::txtSetDbClick()
{
    if (!EditConnection(dbUziv, true, true))
        return;
    try {
        openConnection();
        SaveConnectionSettings(settingsFile_.get(), dbUziv);
    } catch (const Exception &error) {
        ShowWarning(QStringLiteral("Nepodařilo se připojit k databázi!\r\n") + exceptionMessage(error));
    }
}

void TfrmKelmo::txtUzivClick()
{
    ShowUserList(dbUziv);
}

void TfrmKelmo::btnOkClick()
{
    if (dbUziv->connected())
        dbUziv->close();
    close();
}

void TfrmKelmo::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (key == platform::VK_ESCAPE) {
        key = 0;
        close();
    }
}

void TfrmKelmo::dbUzivAfterConnect()
{
    if (dbUziv->connected()) {
        sbUziv->showMessage(QStringLiteral("DB:") + dbUziv->databaseName());
        txtUziv->setEnabled(true);
    } else {
        sbUziv->showMessage(QStringLiteral("DB:") + dbUziv->databaseName() + QStringLiteral("-odpojeno"));
        txtUziv->setEnabled(false);
    }
    sbUziv->repaint();
}
