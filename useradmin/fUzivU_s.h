#pragma once

// The user editor: fills in or changes the current row of the user list's
// data set, checks the input and posts the row. It has no data access of
// its own and never commits.

#include "ui/Form.h"

class QGroupBox;
class QLabel;
class QPushButton;
class TAEdit;
class TARadioButton;

namespace platform {
class DataSet;
}

class TfrmUzivU_s : public platform::Form {
    Q_OBJECT
public:
    explicit TfrmUzivU_s(QWidget *owner = nullptr);

    QGroupBox *box1;
    QLabel *Label1;
    TAEdit *edtUserName;
    QLabel *Label2;
    TAEdit *edtPassword1;
    QLabel *Label3;
    TAEdit *edtPassword2;
    QGroupBox *box2;
    QLabel *labPrijmeni;
    TAEdit *edtPrijmeni;
    QLabel *labJmeno;
    TAEdit *edtJmeno;
    QGroupBox *box3;
    TARadioButton *btnReadOnly;
    TARadioButton *btnZapis;
    TARadioButton *btnAdmin;
    QLabel *Image1;
    QPushButton *btnOk;
    QPushButton *btnStorno;

    // Whether one of the five edits changed since the editor was shown.
    bool FModified = false;
    // The list's data set, in insert or edit state while the editor lives.
    platform::DataSet *FDataSet = nullptr;

public slots:
    void edtUserNameChange();
    void edtUserNameKeyPress(QChar &key);
    void btnStornoClick();

protected:
    void FormShow() override;
    void FormCloseQuery(bool &canClose) override;
    void FormKeyDown(int &key, Qt::KeyboardModifiers shift) override;

private:
    void buildComponents();
    TAEdit *addEdit(QWidget *box, int top, int maxLength);
    // Posts the row; canClose becomes true only when it was posted.
    void SaveUser(bool &canClose);
    void writeRow();
};
