#include "fIBback.h"

#include "ConnectionSettings.h"
#include "ErrorTranslation.h"
#include "MessageBoxes.h"
#include "RestoreLook.h"
#include "RestoreTarget.h"
#include "base/Exceptions.h"
#include "db/Database.h"
#include "db/LoginPrompt.h"
#include "db/ParameterLines.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"
#include "ui/ErrorBoundary.h"
#include "ui/SystemColors.h"
#include "ui/Termination.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

using namespace platform;

namespace {

constexpr int kRestorePageSize = 4096;
// The shortest time between two updates of the memo.
constexpr int kOutputBatchMs = 40;

QIcon restoreGlyph()
{
    return QIcon(platform::drawnPicture(16, 16, [](QPainter &painter) {
        painter.setPen(QPen(QColor(0x00, 0x80, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF({{3, 8}, {7, 12}, {13, 4}}));
    }));
}

// A database drum with an arrow coming back into it from a tape.
QPixmap restorePicture()
{
    return platform::drawnPicture(80, 80, [](QPainter &painter) {
        painter.setPen(QPen(clNavy, 1.5));
        painter.setBrush(QColor(0xB0, 0xC8, 0xF0));
        painter.drawRect(30, 22, 40, 44);
        painter.drawEllipse(QRectF(30, 58, 40, 14));
        painter.drawEllipse(QRectF(30, 15, 40, 14));
        painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
        painter.drawEllipse(QRectF(4, 8, 20, 20));
        painter.drawEllipse(QRectF(10, 14, 8, 8));
        painter.setPen(QPen(QColor(0x00, 0x90, 0x00), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(14, 34, 14, 48);
        painter.drawLine(14, 48, 26, 48);
        painter.drawPolyline(QPolygonF({{21, 42}, {27, 48}, {21, 54}}));
    });
}

TAEdit *pathEdit(QWidget *parent, const QRect &place, bool readOnly)
{
    auto *edit = new TAEdit(parent);
    edit->setGeometry(place);
    edit->SetReadOnly(readOnly);
    edit->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    edit->SetEnterIsTab(true);
    edit->SetCharType(ctAll);
    return edit;
}

// The whole line "name=value" of the first line with that name (letter case
// ignored), or empty.
QString paramLine(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines) {
        if (parameterName(line).compare(name, Qt::CaseInsensitive) == 0)
            return line;
    }
    return QString();
}

// The text up to and including its last path delimiter ("\", "/" or ":").
QString folderPart(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (path[i] == QLatin1Char('\\') || path[i] == QLatin1Char('/') || path[i] == QLatin1Char(':'))
            return path.left(i + 1);
    }
    return QString();
}

} // namespace

TfrmIBback::TfrmIBback(QWidget *owner) : Form(owner)
{
    setBorderStyle(BorderStyle::DialogNoIcons);
    setClientSize(444, 453);
    setColor(clWhite);
    setFont(platform::tahomaFont(11));

    GroupBox1 = new QGroupBox(QStringLiteral("Zálohovaná databáze"), this);
    GroupBox1->setGeometry(12, 8, 421, 73);
    Label1 = newLabel(QStringLiteral("Název serveru"), GroupBox1, 16, 20);
    edtServerName = pathEdit(GroupBox1, {16, 36, 93, 21}, true);
    Label2 = newLabel(QStringLiteral("Umístění databáze"), GroupBox1, 124, 20);
    edtDatabaseFile = pathEdit(GroupBox1, {124, 36, 281, 21}, true);

    GroupBox2 = new QGroupBox(QStringLiteral("Zálohovací soubor"), this);
    GroupBox2->setGeometry(12, 88, 421, 73);
    Label3 = newLabel(QStringLiteral("Umístění a název souboru"), GroupBox2, 16, 20);
    edtBackupFile = pathEdit(GroupBox2, {16, 36, 365, 21}, false);
    btnBackup = new QToolButton(GroupBox2);
    btnBackup->setGeometry(384, 36, 23, 22);
    btnBackup->setFocusPolicy(Qt::NoFocus);
    btnBackup->setToolTip(QStringLiteral("Volba zálohovacího adresáře"));
    btnBackup->setIcon(QIcon(platform::folderPicture()));
    connect(btnBackup, &QToolButton::clicked, this, guarded(this, &TfrmIBback::btnBackupClick));

    boxPrubeh = new QGroupBox(this);
    boxPrubeh->setGeometry(12, 168, 421, 125);
    memBackup = new QPlainTextEdit(boxPrubeh);
    memBackup->setGeometry(16, 20, 301, 89);
    memBackup->setReadOnly(true);
    imgBackup = new QLabel(boxPrubeh);
    imgBackup->setGeometry(328, 24, 80, 80);
    imgBackup->setScaledContents(true);
    imgBackup->setAttribute(Qt::WA_TranslucentBackground);
    imgBackup->setPixmap(restorePicture());

    aniCopy = new Animation(this);
    aniCopy->setGeometry(88, 295, 272, 60);

    Bevel1 = new QFrame(this);
    Bevel1->setGeometry(12, 368, 421, 2);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    btnZaloha = new QPushButton(this);
    btnZaloha->setGeometry(262, 400, 91, 25);
    btnZaloha->setIcon(restoreGlyph());
    connect(btnZaloha, &QPushButton::clicked, this, guarded(this, &TfrmIBback::btnZalohaClick));
    btnStorno = new QPushButton(QStringLiteral("Storno"), this);
    btnStorno->setGeometry(358, 400, 75, 25);
    btnStorno->setIcon(cancelGlyph());
    setCancelButton(btnStorno);
    connect(btnStorno, &QPushButton::clicked, this, guarded(this, &TfrmIBback::btnStornoClick));
    setTabOrder(btnZaloha, btnStorno);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 453 - 19, 444, 19);
    for (int width : {160, 50}) {
        auto *panel = new QLabel(StatusBar1);
        panel->setFixedWidth(width);
        StatusBar1->addWidget(panel);
    }

    dlgBackup = new TAgSaveDialog(this);
    dlgBackup->DefaultExt = QStringLiteral("gbk");
    dlgBackup->Filter = QStringLiteral("Zálohovací soubor INTERBASE|*.gbk;*.ibk");
    dlgBackup->ShowPlacesBar = true;

    outputTimer_.setSingleShot(true);
    connect(&outputTimer_, &QTimer::timeout, this, &TfrmIBback::flushOutputLines);
}

void TfrmIBback::appendOutputLine(const QString &line)
{
    pendingLines_ << line;
    const qint64 shownAgo = sinceOutputShown_.isValid() ? sinceOutputShown_.elapsed() : kOutputBatchMs;
    if (shownAgo >= kOutputBatchMs)
        flushOutputLines();
    else if (!outputTimer_.isActive())
        outputTimer_.start(int(kOutputBatchMs - shownAgo));
}

void TfrmIBback::flushOutputLines()
{
    outputTimer_.stop();
    if (pendingLines_.isEmpty())
        return;
    memBackup->appendPlainText(pendingLines_.join(u'\n'));
    // The newest line in view, wrapped lines included, as a memo shows what
    // is added to it.
    memBackup->moveCursor(QTextCursor::End);
    memBackup->ensureCursorVisible();
    pendingLines_.clear();
    sinceOutputShown_.start();
}

void TfrmIBback::FormShow()
{
    setWindowTitle(QStringLiteral("Obnova dat ze zálohy"));
    btnZaloha->setText(QStringLiteral("Obnovit"));
    boxPrubeh->setTitle(QStringLiteral("Průběh obnovy dat"));
    for (QWidget *edit : {edtServerName, edtDatabaseFile, edtBackupFile})
        edit->setEnabled(true);
    btnZaloha->setFocus();
}

void TfrmIBback::btnZalohaClick()
{
    if (edtBackupFile->text().isEmpty()) {
        ShowInfo(QStringLiteral("Zadejte cestu k souboru se zálohou databáze."));
        edtBackupFile->setFocus();
        return;
    }
    if (RunRestore())
        ShowInfo(QStringLiteral("Obnova databáze ze zálohy byla úspěšně dokončena."));
    close();
}

void TfrmIBback::btnStornoClick()
{
    close();
}

void TfrmIBback::btnBackupClick()
{
    const QString backupFile = edtBackupFile->text();
    dlgBackup->FileName = backupFile;
    dlgBackup->InitialDir = folderPart(backupFile.isEmpty() ? edtDatabaseFile->text() : backupFile);
    if (dlgBackup->Execute())
        edtBackupFile->setText(dlgBackup->FileName);
}

bool TfrmIBback::usesLocalManager() const
{
    // A name without a server (a bare path with "/") is on this computer too:
    // there is no ":service_mgr" of an empty server name to reach.
    return FLocal || FServer.isEmpty();
}

void TfrmIBback::FormCloseQuery(bool &canClose)
{
    // The window takes no input while a restore runs, its close box included.
    canClose = isEnabled();
}

void TfrmIBback::setUpService()
{
    const bool local = usesLocalManager();
    resRestore.protocol = local ? ServiceProtocol::Local : ServiceProtocol::Tcp;
    resRestore.serverName = local ? QString() : FServer;
    QStringList lines;
    if (!FUserLine.isEmpty())
        lines << FUserLine;
    if (!FPasswordLine.isEmpty())
        lines << FPasswordLine;
    // Asked before the attach rather than by it: the same login serves the
    // connections that clean up beside the target afterwards.
    if (FUserLine.isEmpty() || FPasswordLine.isEmpty()) {
        const Login login = promptLogin(serviceManagerName(resRestore.protocol, resRestore.serverName), lines);
        lines = {ParamLine(kUserNameParam, login.userName), ParamLine(kPasswordParam, login.password)};
    }
    resRestore.params = lines;
    resRestore.loginPrompt = false;
}

void TfrmIBback::restoreThroughService()
{
    setUpService();
    RestoreTarget target(usesLocalManager(), FServer, FDatabase, resRestore.params);
    resRestore.request = {
        .options = target.restoreOptions(FRestoreOptions),
        .verbose = true,
        .pageSize = kRestorePageSize,
        .backupFiles = {FParamBackupFile},
        .databaseNames = {target.restorePath()},
    };
    RestoreEndWatch end;
    // A program told to end stops reading and leaves the restore to the
    // server; the new file goes with the target object.
    resRestore.onQuiet = throwIfTerminationRequested;
    resRestore.run([&](const QString &line) {
        end.see(line);
        appendOutputLine(line);
        processMessages();
        if (!line.isEmpty())
            throwIfTerminationRequested();
    });
    flushOutputLines();
    end.requireEnd();
    target.takeTargetsPlace();
}

bool TfrmIBback::RunRestore()
{
    bool result = false;
    aniCopy->play();
    setEnabled(false);
    try {
        FParamBackupFile = edtBackupFile->text();
        memBackup->clear();
        restoreThroughService();
        result = true;
    } catch (const Exception &error) {
        flushOutputLines();
        if (!terminationRequested())
            ShowWarning(ComposeErrorMessage(QStringLiteral("Chyba při obnově databáze ze zálohy!"), error));
    }
    setEnabled(true);
    aniCopy->stop();
    FOutcome = result ? roDone : roFailed;
    return result;
}

bool RunBackupRestore(Database *connection, const QString &backupFile, TBackupRunKind kind,
                      const TRestoreOptions &options, TRestoreOutcome *outcome)
{
    if (outcome)
        *outcome = roNotRun;
    if (!connection) {
        ShowWarning(QStringLiteral("Není nastavena databáze."));
        return false;
    }
    TfrmIBback form;
    form.FLocal = SplitDatabaseName(connection, form.FServer, form.FDatabase);
    form.edtDatabaseFile->setText(form.FDatabase);
    form.FParamBackupFile = backupFile;
    form.edtBackupFile->setText(backupFile);
    form.edtServerName->setText(form.usesLocalManager() ? QStringLiteral("Lokální počítač") : form.FServer);
    const QStringList params = connection->params();
    form.FUserLine = paramLine(params, QStringLiteral("user_name"));
    form.FPasswordLine = paramLine(params, QStringLiteral("password"));
    form.FKind = kind;
    form.FRestoreOptions = options;
    if (kind == rkImmediate)
        form.RunRestore();
    else
        form.showModal();
    if (outcome)
        *outcome = form.FOutcome;
    return true;
}
