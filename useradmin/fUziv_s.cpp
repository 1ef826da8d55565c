#include "fUziv_s.h"

#include "ADBGrid.h"
#include "DataSource.h"
#include "KelmoTransaction.h"
#include "UserImages.h"
#include "UsersTable.h"
#include "base/Exceptions.h"
#include "db/DataSet.h"
#include "db/Field.h"
#include "db/Transaction.h"
#include "fUzivU_s.h"
#include "ui/ErrorBoundary.h"
#include "ui/Keys.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

using namespace platform;

namespace {

const QString kLogin = QStringLiteral("UZI$LOGIN");
constexpr int kButtonSize = 24;

} // namespace

void ShowUserList(Database *database)
{
    auto form = std::make_unique<TfrmUziv_s>();
    form->setUser->setDatabase(database);
    form->trUziv->setDefaultDatabase(database);
    if (!form->trUziv->inTransaction())
        form->trUziv->start();
    if (!form->trUziv->inTransaction())
        return;
    form->showModal();
    form->rethrowShowFailure();
    form->commitWork();
}

TfrmUziv_s::TfrmUziv_s(QWidget *owner) : Form(owner)
{
    setWindowTitle(QStringLiteral("Nastavení uživatelů"));
    setBorderStyle(BorderStyle::DialogNoIcons);
    setKeyPreview(true);

    setUser = new DataSet(this);
    SetUpUsersTable(*setUser);
    trUziv = new Transaction(this);
    trUziv->setParams(kKelmoTransactionParams);
    setUser->setTransaction(trUziv);
    connect(setUser, &DataSet::afterScroll, this, guarded(this, &TfrmUziv_s::setUserAfterScroll));
    dsUser = new TDataSource(this);
    dsUser->SetDataSet(setUser);

    imgUser = UserListImages();
    buildActions();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenu();
    layout->setMenuBar(mnuUsers);
    buildToolPanel();
    layout->addWidget(pnlTop);
    buildGrid();
    layout->addWidget(grdUziv, 1);
    barUziv = new QStatusBar(this);
    barUziv->setSizeGripEnabled(false);
    barUziv->setFixedHeight(19);
    layout->addWidget(barUziv);

    platform::nameComponents({{mnuUsers, "mnuUsers"},
                              {pnlTop, "pnlTop"},
                              {SpeedButton1, "SpeedButton1"},
                              {SpeedButton2, "SpeedButton2"},
                              {SpeedButton3, "SpeedButton3"},
                              {SpeedButton5, "SpeedButton5"},
                              {SpeedButton4, "SpeedButton4"},
                              {grdUziv, "grdUziv"},
                              {barUziv, "barUziv"},
                              {dsUser, "dsUser"},
                              {setUser, "setUser"},
                              {trUziv, "trUziv"},
                              {aEsc, "aEsc"},
                              {aIns, "aIns"},
                              {aUpd, "aUpd"},
                              {aDel, "aDel"},
                              {aRefr, "aRefr"}});

    // The client area is what lies below the menu, as on Windows.
    setClientSize(394, 290 + mnuUsers->sizeHint().height());
}

TfrmUziv_s::~TfrmUziv_s()
{
    delete setUser;
    delete trUziv;
}

void TfrmUziv_s::commitWork()
{
    setUser->close();
    trUziv->commit();
}

void TfrmUziv_s::rethrowShowFailure() const
{
    if (showFailure_)
        std::rethrow_exception(showFailure_);
}

QAction *TfrmUziv_s::addAction(const QString &hint, Qt::Key key, int image, void (TfrmUziv_s::*handler)())
{
    auto *action = new QAction(imgUser.value(image), hint, this);
    action->setToolTip(hint);
    action->setShortcut(QKeySequence(key));
    // FormKeyDown runs the shortcuts; the sequence is there for the menu to show.
    action->setShortcutContext(Qt::WidgetShortcut);
    // The virtual key that FormKeyDown compares with the key pressed.
    action->setData(virtualKey(QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier)));
    connect(action, &QAction::triggered, this, guarded(this, handler));
    actUsers.append(action);
    return action;
}

void TfrmUziv_s::buildActions()
{
    aEsc = addAction(QStringLiteral("Zpět"), Qt::Key_Escape, 0, &TfrmUziv_s::aEscExecute);
    aIns = addAction(QStringLiteral("Nový uživatel"), Qt::Key_Insert, 1, &TfrmUziv_s::aInsExecute);
    aUpd = addAction(QStringLiteral("Změna uživatele"), Qt::Key_F4, 2, &TfrmUziv_s::aUpdExecute);
    aDel = addAction(QStringLiteral("Smazání uživatele"), Qt::Key_Delete, 3, &TfrmUziv_s::aDelExecute);
    aRefr = addAction(QStringLiteral("Obnova seznamu uživatelů"), Qt::Key_F5, 4, &TfrmUziv_s::aRefrExecute);
}

void TfrmUziv_s::buildMenu()
{
    mnuUsers = new QMenuBar(this);
    QMenu *user = mnuUsers->addMenu(QStringLiteral("Uživatel"));
    user->addAction(aIns);
    user->addAction(aUpd);
    user->addAction(aDel);
    user->addSeparator();
    user->addAction(aRefr);
}

void TfrmUziv_s::buildToolPanel()
{
    pnlTop = new QWidget(this);
    pnlTop->setFixedHeight(kButtonSize);
    const auto toolButton = [this](QAction *action) {
        auto *button = new QToolButton(pnlTop);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(kButtonSize, kButtonSize);
        return button;
    };
    SpeedButton1 = toolButton(aIns);
    SpeedButton2 = toolButton(aUpd);
    SpeedButton3 = toolButton(aDel);
    SpeedButton5 = toolButton(aRefr);
    SpeedButton4 = toolButton(aEsc);
    auto *row = new QHBoxLayout(pnlTop);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(SpeedButton1);
    row->addWidget(SpeedButton2);
    row->addWidget(SpeedButton3);
    row->addSpacing(8);
    row->addWidget(SpeedButton5);
    row->addStretch(1);
    row->addWidget(SpeedButton4);
}

void TfrmUziv_s::buildGrid()
{
    grdUziv = new TADBGrid(this);
    grdUziv->SetDataSource(dsUser);
    grdUziv->SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgRowSelect | dgAlwaysShowSelection |
                        dgConfirmDelete | dgCancelOnExit);
    grdUziv->SetColumnsResize(true);
    grdUziv->SetColumnsSort(true);
    grdUziv->SetHotFind(true);
    grdUziv->SetFind(true);
    grdUziv->SetColorFocus(false);
    grdUziv->AddColumn(kLogin, 107);
    grdUziv->AddColumn(QStringLiteral("UZI$PRIJMENI"), 134);
    grdUziv->AddColumn(QStringLiteral("UZI$JMENO"), 138);
}

void TfrmUziv_s::FormShow()
{
    try {
        setUser->open();
    } catch (const Exception &) {
        // The list is not shown without its rows: ShowUserList passes the
        // failure on once the dialog is down.
        showFailure_ = std::current_exception();
        setModalResult(mrCancel);
    }
}

void TfrmUziv_s::FormKeyDown(int &key, Qt::KeyboardModifiers shift)
{
    if (shift & ~Qt::KeypadModifier)
        return;
    for (QAction *action : std::as_const(actUsers)) {
        if (action->data().toInt() == key && action->isEnabled()) {
            key = 0;
            action->trigger();
            return;
        }
    }
}

void TfrmUziv_s::aEscExecute()
{
    close();
}

void TfrmUziv_s::editRow(void (DataSet::*start)())
{
    auto editor = std::make_unique<TfrmUzivU_s>(this);
    editor->FDataSet = setUser;
    (setUser->*start)();
    if (editor->showModal() == mrOk)
        aRefrExecute();
}

void TfrmUziv_s::aInsExecute()
{
    editRow(&DataSet::insert);
}

void TfrmUziv_s::aUpdExecute()
{
    if (setUser->isEmpty())
        return;
    editRow(&DataSet::edit);
}

void TfrmUziv_s::aDelExecute()
{
    if (setUser->isEmpty())
        return;
    if (messageBox(QStringLiteral("Opravdu si přejete vymazat vybraného uživatele?"), QStringLiteral("Upozornění"),
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    try {
        setUser->deleteRecord();
    } catch (const Exception &) {
        messageBox(QStringLiteral("Chyba při mazání uživatele!"), QStringLiteral("Upozornění"),
                   MB_OK | MB_ICONEXCLAMATION);
    }
}

void TfrmUziv_s::aRefrExecute()
{
    QString login;
    if (setUser->active()) {
        login = setUser->fieldByName(kLogin)->asString();
        setUser->close();
        trUziv->commitRetaining();
    }
    setUser->open();
    if (!login.isEmpty())
        setUser->locate(kLogin, login);
}

void TfrmUziv_s::setUserAfterScroll()
{
    const Field *right = setUser->findField(QStringLiteral("UZI$PRAVO"));
    if (!right)
        return;
    if (const std::optional<QString> text = RightStatusText(right->asString()))
        barUziv->showMessage(*text);
}
