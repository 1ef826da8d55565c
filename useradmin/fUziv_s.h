#pragma once

// The user list: every row of DB$UZIV in a grid, the right of the current
// row in the status bar, and the actions new, change, delete, refresh, back.
// It works on the main connection in a transaction of its own.

#include "ui/Form.h"

#include <QIcon>
#include <QList>

#include <exception>

class QAction;
class QMenuBar;
class QStatusBar;
class QToolButton;
class QWidget;
class TADBGrid;
class TDataSource;

namespace platform {
class DataSet;
class Database;
class Transaction;
} // namespace platform

// Shows the user list modally over the connection, which must be connected;
// whatever the list left uncommitted is committed when it closes, and a
// failure of that commit passes to the caller, as the work is then lost.
void ShowUserList(platform::Database *database);

class TfrmUziv_s : public platform::Form {
    Q_OBJECT
public:
    explicit TfrmUziv_s(QWidget *owner = nullptr);
    // Frees the data set, then the transaction, which commits; a failure of
    // that commit goes unseen, so the list commits by commitWork as it closes.
    ~TfrmUziv_s() override;

    // Closes the data set and commits the list's work.
    void commitWork();

    // Rethrows the failure of opening the data set as the list was shown.
    void rethrowShowFailure() const;

    QMenuBar *mnuUsers;
    QWidget *pnlTop;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton4;
    TADBGrid *grdUziv;
    QStatusBar *barUziv;
    TDataSource *dsUser;
    platform::DataSet *setUser;
    platform::Transaction *trUziv;
    QList<QIcon> imgUser;
    QList<QAction *> actUsers;
    QAction *aEsc;
    QAction *aIns;
    QAction *aUpd;
    QAction *aDel;
    QAction *aRefr;

public slots:
    void aEscExecute();
    void aInsExecute();
    void aUpdExecute();
    void aDelExecute();
    void aRefrExecute();
    void setUserAfterScroll();

protected:
    void FormShow() override;
    // The actions' shortcuts, before the focused control sees the key.
    void FormKeyDown(int &key, Qt::KeyboardModifiers shift) override;

private:
    QAction *addAction(const QString &hint, Qt::Key key, int image, void (TfrmUziv_s::*handler)());
    void buildActions();
    void buildMenu();
    void buildToolPanel();
    void buildGrid();
    // Shows the user editor over the row that `start` (insert or edit) begins.
    void editRow(void (platform::DataSet::*start)());

    std::exception_ptr showFailure_;
};
