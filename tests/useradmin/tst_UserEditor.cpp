// The user editor over the users data set: what it stores, the checks and
// messages of the save, and the ways to leave it without OK.

#include "AEdit.h"
#include "ARadioButton.h"
#include "DACrypt.h"
#include "DbFixture.h"
#include "ModalDriver.h"
#include "TestMain.h"
#include "UsersSet.h"
#include "UsersTable.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Field.h"
#include "db/Transaction.h"
#include "fUzivU_s.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMessageBox>
#include <QPushButton>

using testsupport::DbFixture;
using testsupport::ModalDriver;
using testsupport::pressKey;
using testsupport::retype;
using testsupport::typeText;

namespace {

const QString kPreset = QStringLiteral("58203947165820394716");
const QKeySequence kYes(Qt::Key_A);
const QKeySequence kNo(Qt::Key_N);
const QKeySequence kCancel(Qt::Key_Escape);
const QKeySequence kOk(Qt::Key_Return);

// A radio button takes clicks on its circle and caption only.
void clickRadio(TARadioButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Waits until the driver has met `count` modal windows and the editor is
// the topmost modal again.
bool waitForEditorBack(const ModalDriver &driver, QWidget *editor, int count)
{
    return QTest::qWaitFor(
        [&] { return driver.seen().size() >= count && QApplication::activeModalWidget() == editor; });
}

QString focusedName(QWidget *editor)
{
    QWidget *focused = editor->focusWidget();
    return focused ? focused->objectName() : QString();
}

QString warningText(const ModalDriver &driver, int index)
{
    const testsupport::ModalRecord &box = driver.seen().value(index);
    if (box.title != QStringLiteral("Upozornění") || box.icon != QMessageBox::Warning ||
        box.buttons != QStringList{QStringLiteral("OK")})
        return QStringLiteral("<not a warning box: %1>").arg(box.title);
    return box.text;
}

} // namespace

class TestUserEditor : public QObject {
    Q_OBJECT

private slots:
    void newUserIsStoredAsTyped_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password"); // null: the preset left alone
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<int>("button"); // -1: the default
        QTest::addColumn<bool>("byF12");
        QTest::addColumn<QString>("storedLogin");
        QTest::addColumn<std::optional<QString>>("storedPassword");
        QTest::addColumn<QString>("storedRight");

        QTest::newRow("lower-case login, typed password, administrator, F12")
            << "novak"
            << "tajne"
            << "Novák"
            << "Jan" << 2 << true << "NOVAK" << std::optional(EncodePassword(QStringLiteral("tajne"), kUsersTableKey))
            << "A";
        QTest::newRow("preset password stored as its first ten characters, OK button")
            << "cerny" << QString() << "Černý"
            << "" << -1 << false << "CERNY" << std::optional(EncodePassword(kPreset.left(10), kUsersTableKey)) << "R";
        QTest::newRow("both passwords cleared store NULL")
            << "prazdny"
            << ""
            << "Prázdný"
            << "" << 1 << true << "PRAZDNY" << std::optional<QString>() << "Z";
        QTest::newRow("only letters and digits reach the login; a surname of blanks is not empty")
            << "no-vák_1 x"
            << "h"
            << "   "
            << "" << 0 << true << "NOVK1X" << std::optional(EncodePassword(QStringLiteral("h"), kUsersTableKey)) << "R";
    }
    void newUserIsStoredAsTyped()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, surname);
        QFETCH(QString, firstName);
        QFETCH(int, button);
        QFETCH(bool, byF12);
        DbFixture fixture(QStringLiteral("editor-new"));
        UsersSet users(fixture);
        users.set.insert();
        TfrmUzivU_s editor;
        editor.FDataSet = &users.set;
        QString shownLogin;
        ModalDriver driver;
        driver.then([&](QWidget *) {
            retype(editor.edtUserName, login);
            shownLogin = editor.edtUserName->text();
            if (!password.isNull()) {
                retype(editor.edtPassword1, password);
                retype(editor.edtPassword2, password);
            }
            retype(editor.edtPrijmeni, surname);
            retype(editor.edtJmeno, firstName);
            TARadioButton *buttons[] = {editor.btnReadOnly, editor.btnZapis, editor.btnAdmin};
            if (button >= 0)
                clickRadio(buttons[button]);
            if (byF12)
                pressKey(&editor, Qt::Key_F12);
            else
                QTest::mouseClick(editor.btnOk, Qt::LeftButton);
        });
        const int result = editor.showModal();
        VERIFY_DRIVER(driver);
        QCOMPARE(result, platform::mrOk);
        QTEST(shownLogin, "storedLogin");
        QCOMPARE(users.set.state(), platform::DataSetState::Browse);
        users.commit();
        QFETCH(QString, storedLogin);
        const QString where = QStringLiteral(" from DB$UZIV where UZI$LOGIN = '%1'").arg(storedLogin);
        QTEST(fixture.readValue(QStringLiteral("select UZI$HESLO") + where), "storedPassword");
        QTEST(fixture.readValue(QStringLiteral("select UZI$PRAVO") + where).value_or(QString()), "storedRight");
        QCOMPARE(fixture.readValue(QStringLiteral("select UZI$PRIJMENI") + where), std::optional(surname));
        QCOMPARE(fixture.readValue(QStringLiteral("select coalesce(UZI$JMENO, '<null>')") + where),
                 std::optional(firstName));
    }

    void pastingPutsOnlyLettersAndDigitsIntoTheLogin_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("Ctrl+V") << "Ctrl+V";
        QTest::newRow("Shift+Insert") << "Shift+Ins";
    }
    void pastingPutsOnlyLettersAndDigitsIntoTheLogin()
    {
        QFETCH(QString, keys);
        TfrmUzivU_s editor;
        TAEdit *login = editor.edtUserName;
        QApplication::clipboard()->setText(QStringLiteral("no-vák_1 x\tč"));
        typeText(login, QStringLiteral("ab"));
        QTest::keySequence(login, QKeySequence::fromString(keys));
        QCOMPARE(login->text(), QStringLiteral("ABNOVK1X"));
        QVERIFY(editor.FModified);
    }

    void theLoginOffersNoPasteAroundItsFilter()
    {
        TfrmUzivU_s editor;
        TAEdit *login = editor.edtUserName;
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), login->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(login, &request);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QVERIFY(!login->acceptDrops());
    }

    void existingLoginIsRefusedAndCanBeCorrected_data()
    {
        QTest::addColumn<bool>("changingExistingRow");
        QTest::newRow("new user") << false;
        QTest::newRow("changed login") << true;
    }
    void existingLoginIsRefusedAndCanBeCorrected()
    {
        QFETCH(bool, changingExistingRow);
        DbFixture fixture(QStringLiteral("editor-duplicate"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("DVORAK"), std::nullopt, QStringLiteral("Dvořák"));
        UsersSet users(fixture);
        if (changingExistingRow)
            users.set.edit(); // on BENES, the first row
        else
            users.set.insert();
        TfrmUzivU_s editor;
        editor.FDataSet = &users.set;
        QString focusAfterMessage;
        platform::DataSetState stateAfterMessage{};
        ModalDriver driver;
        driver.then([&](QWidget *) {
            retype(editor.edtUserName, QStringLiteral("dvorak"));
            retype(editor.edtPrijmeni, QStringLiteral("Nový"));
            pressKey(&editor, Qt::Key_F12);
            if (!waitForEditorBack(driver, &editor, 2))
                return;
            focusAfterMessage = focusedName(&editor);
            stateAfterMessage = users.set.state();
            retype(editor.edtUserName, QStringLiteral("dvorak2"));
            pressKey(&editor, Qt::Key_F12);
        });
        driver.thenKeys({kOk});
        const int result = editor.showModal();
        VERIFY_DRIVER(driver);
        QCOMPARE(warningText(driver, 1),
                 QStringLiteral("Uživatel 'DVORAK' již existuje, zadejte jiné přihlašovací jméno!"));
        QCOMPARE(focusAfterMessage, QStringLiteral("edtUserName"));
        QCOMPARE(stateAfterMessage,
                 changingExistingRow ? platform::DataSetState::Edit : platform::DataSetState::Insert);
        QCOMPARE(result, platform::mrOk);
        users.commit();
        QCOMPARE(fixture.readValue(QStringLiteral("select cast(list(UZI$LOGIN) as varchar(100)) from "
                                                  "(select UZI$LOGIN from DB$UZIV order by 1)")),
                 changingExistingRow ? QStringLiteral("DVORAK,DVORAK2") : QStringLiteral("BENES,DVORAK,DVORAK2"));
    }

    void otherSaveFailuresShowTheirText_data()
    {
        QTest::addColumn<QString>("constraint"); // empty: none
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("detail");
        QTest::newRow("server error") << "alter table DB$UZIV add constraint CHK_JMENO check (UZI$JMENO <> 'X')"
                                      << "X"
                                      << "h"
                                      << "CHK_JMENO";
        QTest::newRow("password character outside Windows-1250") << ""
                                                                 << "Jan"
                                                                 << "h✓"
                                                                 << "✓";
    }
    void otherSaveFailuresShowTheirText()
    {
        QFETCH(QString, constraint);
        QFETCH(QString, firstName);
        QFETCH(QString, password);
        QFETCH(QString, detail);
        DbFixture fixture(QStringLiteral("editor-error"));
        if (!constraint.isEmpty())
            fixture.execute(constraint);
        UsersSet users(fixture);
        users.set.insert();
        TfrmUzivU_s editor;
        editor.FDataSet = &users.set;
        QString focusAfterMessage;
        ModalDriver driver;
        driver.then([&](QWidget *) {
            retype(editor.edtUserName, QStringLiteral("novak"));
            retype(editor.edtPassword1, password);
            retype(editor.edtPassword2, password);
            retype(editor.edtPrijmeni, QStringLiteral("Novák"));
            retype(editor.edtJmeno, firstName);
            pressKey(&editor, Qt::Key_F12);
            if (!waitForEditorBack(driver, &editor, 2))
                return;
            focusAfterMessage = focusedName(&editor);
            pressKey(&editor, Qt::Key_Escape);
        });
        driver.thenKeys({kOk}).thenKeys({kNo});
        const int result = editor.showModal();
        VERIFY_DRIVER(driver);
        const QString text = warningText(driver, 1);
        QVERIFY2(text.startsWith(QStringLiteral("Chyba při ukládání uživatele!\n\n")), qPrintable(text));
        QVERIFY2(text.contains(detail), qPrintable(text));
        QCOMPARE(focusAfterMessage, QStringLiteral("edtJmeno"));
        QCOMPARE(result, platform::mrCancel);
        QVERIFY(users.set.isEmpty());
    }

    void changeShowsTheRowAndOkKeepsWhatWasNotTouched_data()
    {
        QTest::addColumn<std::optional<QString>>("password");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("checked"); // empty: no button
        QTest::newRow("read only with a password") << std::optional<QString>(QStringLiteral("tajné")) << "R"
                                                   << "btnReadOnly";
        QTest::newRow("write without a password") << std::optional<QString>() << "Z"
                                                  << "btnZapis";
        QTest::newRow("administrator") << std::optional<QString>(QStringLiteral("x")) << "A"
                                       << "btnAdmin";
        QTest::newRow("unknown letter") << std::optional<QString>(QStringLiteral("y")) << "q"
                                        << "";
    }
    void changeShowsTheRowAndOkKeepsWhatWasNotTouched()
    {
        QFETCH(std::optional<QString>, password);
        QFETCH(QString, right);
        QFETCH(QString, checked);
        DbFixture fixture(QStringLiteral("editor-change"));
        const std::optional<QString> stored =
            password ? std::optional(EncodePassword(*password, kUsersTableKey)) : std::nullopt;
        fixture.addUser(QStringLiteral("HORAK"), stored, QStringLiteral("Horák"), QStringLiteral("Jiří"), right,
                        QStringLiteral("h@example.cz"), QStringLiteral("pozn"));
        UsersSet users(fixture);
        users.set.edit();
        TfrmUzivU_s editor;
        editor.FDataSet = &users.set;
        QStringList shown;
        QString checkedButtons;
        bool modified = true;
        ModalDriver driver;
        driver.then([&](QWidget *) {
            shown = QStringList{editor.edtUserName->text(), editor.edtPassword1->text(), editor.edtPassword2->text(),
                                editor.edtPrijmeni->text(), editor.edtJmeno->text()};
            for (TARadioButton *button : {editor.btnReadOnly, editor.btnZapis, editor.btnAdmin}) {
                if (button->isChecked())
                    checkedButtons += button->objectName();
            }
            modified = editor.FModified;
            pressKey(&editor, Qt::Key_F12);
        });
        QCOMPARE(editor.showModal(), platform::mrOk);
        VERIFY_DRIVER(driver);
        const QString passwordText = password.value_or(QString());
        QCOMPARE(shown, (QStringList{"HORAK", passwordText, passwordText, "Horák", "Jiří"}));
        QCOMPARE(checkedButtons, checked);
        QVERIFY(!modified);
        users.commit();
        QCOMPARE(fixture.readValue(QStringLiteral("select UZI$HESLO || '' from DB$UZIV")), stored);
        QCOMPARE(fixture.readValue(QStringLiteral("select UZI$PRAVO || UZI$EMAIL || UZI$POZN from DB$UZIV")),
                 right + QStringLiteral("h@example.czpozn"));
    }

    // As in a Windows group of radio buttons: Tab from the first name lands
    // on the checked right (the first one when none is), the next Tab leaves
    // the group, Shift+Tab comes back to the same button.
    void tabIntoTheRightsLandsOnTheCheckedOne_data()
    {
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("landsOn");
        QTest::newRow("write") << "Z"
                               << "btnZapis";
        QTest::newRow("administrator") << "A"
                                       << "btnAdmin";
        QTest::newRow("unknown letter, none checked") << "X"
                                                      << "btnReadOnly";
    }
    void tabIntoTheRightsLandsOnTheCheckedOne()
    {
        QFETCH(QString, right);
        QFETCH(QString, landsOn);
        DbFixture fixture(QStringLiteral("editor-tab"));
        fixture.addUser(QStringLiteral("HORAK"), std::nullopt, QStringLiteral("Horák"), QStringLiteral("Jiří"), right);
        UsersSet users(fixture);
        users.set.edit();
        TfrmUzivU_s editor;
        editor.FDataSet = &users.set;
        QStringList focused;
        ModalDriver driver;
        driver.then([&](QWidget *) {
            editor.edtJmeno->setFocus();
            pressKey(&editor, Qt::Key_Tab);
            focused << focusedName(&editor);
            pressKey(&editor, Qt::Key_Tab);
            focused << focusedName(&editor);
            pressKey(&editor, Qt::SHIFT | Qt::Key_Tab);
            focused << focusedName(&editor);
            // Nothing was typed: Esc closes without a question.
            pressKey(&editor, Qt::Key_Escape);
        });
        editor.showModal();
        VERIFY_DRIVER(driver);
        QCOMPARE(focused, (QStringList{landsOn, "btnOk", landsOn}));
    }

    void leavingWithoutOk_data()
    {
        QTest::addColumn<QString>("change"); // "", "right" or "typed"
        QTest::addColumn<bool>("byStorno");
        QTest::addColumn<QList<QKeySequence>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("posted");
        QTest::newRow("nothing changed: no question") << "" << false << QList<QKeySequence>{} << 0 << false;
        QTest::newRow("only the right changed: no question, dropped")
            << "right" << false << QList<QKeySequence>{} << 0 << false;
        QTest::newRow("typed, No drops the row") << "typed" << false << QList<QKeySequence>{kNo} << 1 << false;
        QTest::newRow("typed, Cancel keeps the values, then No")
            << "typed" << false << QList<QKeySequence>{kCancel, kNo} << 2 << false;
        QTest::newRow("typed, Storno, Yes saves without OK")
            << "typed" << true << QList<QKeySequence>{kYes} << 1 << true;
    }
    void leavingWithoutOk()
    {
        QFETCH(QString, change);
        QFETCH(bool, byStorno);
        QFETCH(QList<QKeySequence>, answers);
        DbFixture fixture(QStringLiteral("editor-leave"));
        UsersSet users(fixture);
        users.set.insert();
        TfrmUzivU_s editor;
        editor.FDataSet = &users.set;
        QStringList keptAfterCancel;
        ModalDriver driver;
        const auto leave = [&] {
            if (byStorno)
                QTest::mouseClick(editor.btnStorno, Qt::LeftButton);
            else
                pressKey(&editor, Qt::Key_Escape);
        };
        driver.then([&](QWidget *) {
            if (change == QStringLiteral("right"))
                clickRadio(editor.btnAdmin);
            if (change == QStringLiteral("typed")) {
                retype(editor.edtUserName, QStringLiteral("kral"));
                retype(editor.edtPrijmeni, QStringLiteral("Král"));
            }
            leave();
            // Each Cancel leaves the dialog open: leave again.
            for (int i = 1; i < answers.size(); ++i) {
                if (!waitForEditorBack(driver, &editor, i + 1))
                    return;
                keptAfterCancel = QStringList{editor.edtUserName->text(), editor.edtPrijmeni->text()};
                leave();
            }
        });
        for (const QKeySequence &answer : answers)
            driver.thenKeys({answer});
        const int result = editor.showModal();
        VERIFY_DRIVER(driver);
        QCOMPARE(result, platform::mrCancel);
        QTEST(int(driver.seen().size()) - 1, "questions");
        for (int i = 1; i < driver.seen().size(); ++i) {
            const testsupport::ModalRecord &question = driver.seen()[i];
            QCOMPARE(question.title, QStringLiteral("Dotaz"));
            QCOMPARE(question.text, QStringLiteral("Přejete si uložit změny?"));
            QCOMPARE(question.buttons, (QStringList{"&Ano", "&Ne", "Storno"}));
            QCOMPARE(question.defaultButton, QStringLiteral("&Ano"));
            QCOMPARE(question.icon, int(QMessageBox::Question));
        }
        if (answers.size() > 1)
            QCOMPARE(keptAfterCancel, (QStringList{"KRAL", "Král"}));
        QFETCH(bool, posted);
        QCOMPARE(users.set.state(), platform::DataSetState::Browse);
        QCOMPARE(users.set.recordCount(), posted ? 1 : 0);
        users.commit();
        QCOMPARE(fixture.readValue(QStringLiteral("select count(*) from DB$UZIV")),
                 std::optional(QString::number(posted ? 1 : 0)));
    }
};

ZELO_TEST_MAIN(TestUserEditor)
#include "tst_UserEditor.moc"
