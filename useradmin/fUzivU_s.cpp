#include "fUzivU_s.h"

#include "AEdit.h"
#include "ARadioButton.h"
#include "DACrypt.h"
#include "ErrorTranslation.h"
#include "LoginCharacters.h"
#include "UserImages.h"
#include "UsersTable.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"
#include "db/DataSet.h"
#include "db/DataSetTexts.h"
#include "db/Field.h"
#include "ui/Controls.h"
#include "ui/ErrorBoundary.h"
#include "ui/MessageBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace platform;

namespace {

// The text both password edits start with for a new user.
const QString kPresetPassword = QStringLiteral("58203947165820394716");
// The server's unique-key violation: the login exists already.
constexpr int kDuplicateKey = 335544665;

constexpr int kEditLeft = 12;
constexpr int kEditWidth = 201;
constexpr int kEditHeight = 21;
constexpr int kLabelHeight = 15;

void warn(const QString &text)
{
    messageBox(text, QStringLiteral("Upozornění"), MB_OK | MB_ICONEXCLAMATION);
}

void showSaveError(const QString &text)
{
    warn(QStringLiteral("Chyba při ukládání uživatele!\r\n\r\n") + text);
}

QLabel *addLabel(QWidget *box, int top, const QString &caption)
{
    auto *label = new QLabel(caption, box);
    label->setGeometry(kEditLeft, top, kEditWidth, kLabelHeight);
    return label;
}

} // namespace

TfrmUzivU_s::TfrmUzivU_s(QWidget *owner) : Form(owner)
{
    setWindowTitle(QStringLiteral("Změna nastavení uživatele"));
    setBorderStyle(BorderStyle::DialogNoIcons);
    setClientSize(241, 381);
    setKeyPreview(true);
    buildComponents();
}

TAEdit *TfrmUzivU_s::addEdit(QWidget *box, int top, int maxLength)
{
    auto *edit = new TAEdit(box);
    edit->setGeometry(kEditLeft, top, kEditWidth, kEditHeight);
    edit->SetCharType(ctAll);
    edit->SetEnterIsTab(true);
    edit->SetMaxLength(maxLength);
    connect(edit, &TAEdit::OnChange, this, guarded(this, &TfrmUzivU_s::edtUserNameChange));
    return edit;
}

void TfrmUzivU_s::buildComponents()
{
    box1 = new QGroupBox(QStringLiteral("Povinné údaje"), this);
    box1->setGeometry(8, 8, 225, 142);
    Label1 = addLabel(box1, 18, QStringLiteral("Přihlašovací jméno"));
    edtUserName = addEdit(box1, 33, 40);
    edtUserName->SetCharCase(ecUpperCase);
    connect(edtUserName, &TAEdit::OnKeyPress, this, guarded(this, &TfrmUzivU_s::edtUserNameKeyPress));
    TypeOnlyThroughKeys(edtUserName);
    Label2 = addLabel(box1, 58, QStringLiteral("Heslo"));
    edtPassword1 = addEdit(box1, 73, 10);
    Label3 = addLabel(box1, 98, QStringLiteral("Potvrzení hesla"));
    edtPassword2 = addEdit(box1, 113, 10);
    for (TAEdit *password : {edtPassword1, edtPassword2}) {
        password->SetPasswordChar(QLatin1Char('*'));
        password->setText(kPresetPassword);
    }

    box2 = new QGroupBox(QStringLiteral("Nepovinné údaje"), this);
    box2->setGeometry(8, 156, 225, 102);
    labPrijmeni = addLabel(box2, 18, QStringLiteral("Příjmení"));
    edtPrijmeni = addEdit(box2, 33, 40);
    labJmeno = addLabel(box2, 58, QStringLiteral("Jméno"));
    edtJmeno = addEdit(box2, 73, 40);

    box3 = new QGroupBox(QStringLiteral("Oprávnění"), this);
    box3->setGeometry(8, 264, 225, 78);
    btnReadOnly = new TARadioButton(QStringLiteral("Pouze pro čtení"), box3);
    btnReadOnly->setGeometry(kEditLeft, 18, 150, 17);
    btnReadOnly->setChecked(true);
    btnZapis = new TARadioButton(QStringLiteral("Zápis"), box3);
    btnZapis->setGeometry(kEditLeft, 36, 150, 17);
    btnAdmin = new TARadioButton(QStringLiteral("Administrátor"), box3);
    btnAdmin->setGeometry(kEditLeft, 54, 150, 17);
    Image1 = new QLabel(box3);
    Image1->setPixmap(UserRightsPicture());
    Image1->setGeometry(177, 24, 32, 32);

    btnOk = new QPushButton(QStringLiteral("OK (F12)"), this);
    btnOk->setGeometry(77, 350, 75, 25);
    setButtonModalResult(btnOk, mrOk);
    btnStorno = new QPushButton(QStringLiteral("Storno"), this);
    btnStorno->setGeometry(158, 350, 75, 25);
    setButtonModalResult(btnStorno, mrCancel);
    setCancelButton(btnStorno);
    connect(btnStorno, &QPushButton::clicked, this, guarded(this, &TfrmUzivU_s::btnStornoClick));

    // The components' names, so that they can be found as the form names them.
    platform::nameComponents({{box1, "box1"},
                              {Label1, "Label1"},
                              {edtUserName, "edtUserName"},
                              {Label2, "Label2"},
                              {edtPassword1, "edtPassword1"},
                              {Label3, "Label3"},
                              {edtPassword2, "edtPassword2"},
                              {box2, "box2"},
                              {labPrijmeni, "labPrijmeni"},
                              {edtPrijmeni, "edtPrijmeni"},
                              {labJmeno, "labJmeno"},
                              {edtJmeno, "edtJmeno"},
                              {box3, "box3"},
                              {btnReadOnly, "btnReadOnly"},
                              {btnZapis, "btnZapis"},
                              {btnAdmin, "btnAdmin"},
                              {Image1, "Image1"},
                              {btnOk, "btnOk"},
                              {btnStorno, "btnStorno"}});

    tabToCheckedRadio({btnReadOnly, btnZapis, btnAdmin});

    QWidget *tabOrder[] = {edtUserName, edtPassword1, edtPassword2, edtPrijmeni, edtJmeno,
                           btnReadOnly, btnZapis,     btnAdmin,     btnOk,       btnStorno};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void TfrmUzivU_s::edtUserNameChange()
{
    FModified = true;
}

void TfrmUzivU_s::edtUserNameKeyPress(QChar &key)
{
    if (!IsLoginCharacter(key) && key != QChar(VK_BACK))
        key = QChar();
}

void TfrmUzivU_s::btnStornoClick()
{
    close();
}

void TfrmUzivU_s::FormShow()
{
    if (FDataSet->state() == DataSetState::Edit) {
        edtUserName->setText(FDataSet->fieldByName(QStringLiteral("UZI$LOGIN"))->asString());
        edtPassword1->setText(
            DecodePassword(FDataSet->fieldByName(QStringLiteral("UZI$HESLO"))->asString(), kUsersTableKey));
        edtPassword2->setText(edtPassword1->text());
        edtPrijmeni->setText(FDataSet->fieldByName(QStringLiteral("UZI$PRIJMENI"))->asString());
        edtJmeno->setText(FDataSet->fieldByName(QStringLiteral("UZI$JMENO"))->asString());
        const QString right = FDataSet->fieldByName(QStringLiteral("UZI$PRAVO"))->asString();
        // Exclusive buttons cannot all be unchecked one by one: a row with an
        // unknown letter shows none of them checked.
        for (TARadioButton *button : {btnReadOnly, btnZapis, btnAdmin})
            button->setAutoExclusive(false);
        btnReadOnly->setChecked(right == kRightReadOnly);
        btnAdmin->setChecked(right == kRightAdmin);
        btnZapis->setChecked(right == kRightWrite);
        for (TARadioButton *button : {btnReadOnly, btnZapis, btnAdmin})
            button->setAutoExclusive(true);
    }
    FModified = false;
}

void TfrmUzivU_s::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    if (key == VK_F12)
        setModalResult(mrOk);
    else if (key == VK_ESCAPE)
        setModalResult(mrCancel);
}

void TfrmUzivU_s::FormCloseQuery(bool &canClose)
{
    canClose = false;
    if (modalResult() == mrOk) {
        SaveUser(canClose);
        return;
    }
    if (FModified) {
        const int answer = messageBox(QStringLiteral("Přejete si uložit změny?"), QStringLiteral("Dotaz"),
                                      MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDYES)
            SaveUser(canClose);
        else if (answer == IDNO) {
            FDataSet->cancel();
            canClose = true;
        }
        return;
    }
    FDataSet->cancel();
    canClose = true;
}

void TfrmUzivU_s::SaveUser(bool &canClose)
{
    if (edtUserName->text().isEmpty()) {
        warn(QStringLiteral("Vyplňte údaj 'Přihlašovací jméno'!"));
        edtUserName->setFocus();
        return;
    }
    if (edtPassword2->text() != edtPassword1->text()) {
        warn(QStringLiteral("Chybně potvrzené heslo!"));
        edtPassword2->setFocus();
        return;
    }
    if (edtPrijmeni->text().isEmpty()) {
        warn(QStringLiteral("Vyplňte údaj 'Příjmení'!"));
        edtPrijmeni->setFocus();
        return;
    }
    try {
        writeRow();
        FDataSet->post();
        canClose = true;
    } catch (const EIBError &error) {
        if (error.errorCode() == kDuplicateKey) {
            warn(QStringLiteral("Uživatel '%1' již existuje, zadejte jiné přihlašovací jméno!")
                     .arg(edtUserName->text()));
            edtUserName->setFocus();
        } else {
            showSaveError(error.message());
        }
    } catch (const EConvertError &error) {
        // A character without a Windows-1250 form cannot be stored; say so
        // rather than leave OK without any answer.
        showSaveError(error.message());
    } catch (const EDatabaseError &error) {
        // A row deleted by another user meanwhile: the save stored nothing.
        if (error.message() == kRowNotFoundText)
            showSaveError(TranslateDatabaseError(error));
    } catch (const Exception &) {
        // Other failures of the data layer leave the dialog open silently.
    }
}

void TfrmUzivU_s::writeRow()
{
    FDataSet->fieldByName(QStringLiteral("UZI$LOGIN"))->setAsString(upperLocale(edtUserName->text()));
    Field *password = FDataSet->fieldByName(QStringLiteral("UZI$HESLO"));
    if (edtPassword1->text().isEmpty())
        password->clear();
    else
        password->setAsString(EncodePassword(edtPassword1->text(), kUsersTableKey));
    FDataSet->fieldByName(QStringLiteral("UZI$PRIJMENI"))->setAsString(edtPrijmeni->text());
    FDataSet->fieldByName(QStringLiteral("UZI$JMENO"))->setAsString(edtJmeno->text());
    Field *right = FDataSet->fieldByName(QStringLiteral("UZI$PRAVO"));
    if (btnReadOnly->isChecked())
        right->setAsString(kRightReadOnly);
    else if (btnAdmin->isChecked())
        right->setAsString(kRightAdmin);
    else if (btnZapis->isChecked())
        right->setAsString(kRightWrite);
}
