// The data-entry edit as a user types into it: the character filter, Enter as
// Tab, and the date completion on leaving the edit.

#include "AEdit.h"
#include "ModalDriver.h"
#include "TestMain.h"
#include "ui/Beep.h"
#include "ui/Form.h"
#include "ui/Regional.h"

#include <QPushButton>
#include <QStyle>
#include <QTest>

using namespace platform;
using testsupport::ModalDriver;

namespace {

// A form with the edit under test, a second edit after it and a default button.
class EditForm : public Form {
public:
    EditForm()
    {
        setClientSize(300, 100);
        edit = new TAEdit(this);
        edit->setGeometry(8, 8, 120, 21);
        next = new TAEdit(this);
        next->setGeometry(8, 36, 120, 21);
        btnOk = new QPushButton(QStringLiteral("OK"), this);
        btnOk->setGeometry(200, 68, 75, 25);
        setDefaultButton(btnOk);
        connect(btnOk, &QPushButton::clicked, this, [this] { ++okClicks; });
        connect(edit, &TAEdit::OnExit, this, [this] { ++exits; });
    }

    void showWithFocusInEdit()
    {
        show();
        activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(this));
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(edit));
    }

    TAEdit *edit;
    TAEdit *next;
    QPushButton *btnOk;
    int okClicks = 0;
    int exits = 0;
};

RegionalSettings czech(QChar decimalSeparator = QLatin1Char(','))
{
    return {decimalSeparator, QStringLiteral("d.M.yyyy"), QDate(2026, 12, 10)};
}

} // namespace

class TestAEdit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void newEditIsLeftAlignedEnterIsTabAll();
    void typedCharactersAreFiltered_data();
    void typedCharactersAreFiltered();
    void controlKeysReachTheEditForEveryType();
    void leavingDateEditCompletesAndChecks_data();
    void leavingDateEditCompletesAndChecks();
    void enterMovesTheFocus_data();
    void enterMovesTheFocus();
    void keyDownHandlerSeesEnterFirstAndCannotStopTheMove();
    void enterAsTabStillReachesKeyPressAndTheEdit();
    void keyDownHandlerSeesEveryKey_data();
    void keyDownHandlerSeesEveryKey();
    void passwordCharacterHidesTheText();
    void upperCaseAndMaxLengthLimitTypingOnly();
    void keyPressHandlerDropsCharacters();
    void readOnlyEditTakesNoTyping();

private:
    int beeps_ = 0;
};

void TestAEdit::init()
{
    beeps_ = 0;
    setBeepHandler([this] { ++beeps_; });
    setRegionalSettingsProvider([] { return czech(); });
}

void TestAEdit::cleanup()
{
    setBeepHandler({});
    setRegionalSettingsProvider({});
}

void TestAEdit::newEditIsLeftAlignedEnterIsTabAll()
{
    TAEdit edit;
    QCOMPARE(edit.Alignment(), taLeftJustify);
    QVERIFY(edit.EnterIsTab());
    QCOMPARE(edit.CharType(), ctAll);
}

void TestAEdit::typedCharactersAreFiltered_data()
{
    QTest::addColumn<int>("charType");
    QTest::addColumn<QChar>("decimalSeparator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("all takes everything") << int(ctAll) << QChar(',') << "Žluť +-.,E"
                                          << "Žluť +-.,E";
    QTest::newRow("integer: signs and digits") << int(ctInteger) << QChar(',') << "+1-2a.,E3ř"
                                               << "+1-23";
    QTest::newRow("unsigned integer: digits only") << int(ctIntegerUnsigned) << QChar(',') << "+1-2a.3"
                                                   << "123";
    QTest::newRow("float, comma separator: . becomes ,") << int(ctFloat) << QChar(',') << "-1.5e+3,x"
                                                         << "-1,5e+3,";
    QTest::newRow("float, point separator: , becomes .") << int(ctFloat) << QChar('.') << "+1,5E-3.q"
                                                         << "+1.5E-3.";
    QTest::newRow("float, other separator: both pass") << int(ctFloat) << QChar('\'') << "1,2.3'"
                                                       << "1,2.3";
    QTest::newRow("unsigned float: no signs") << int(ctFloatUnsigned) << QChar(',') << "-1.5+e"
                                              << "1,5e";
    QTest::newRow("date: , becomes . and letters are dropped") << int(ctDate) << QChar('.') << "1,2.a2026-"
                                                               << "1.2.2026";
}

void TestAEdit::typedCharactersAreFiltered()
{
    QFETCH(int, charType);
    QFETCH(QChar, decimalSeparator);
    QFETCH(QString, typed);
    setRegionalSettingsProvider([decimalSeparator] { return czech(decimalSeparator); });
    EditForm form;
    form.edit->SetCharType(TCharType(charType));
    form.showWithFocusInEdit();
    testsupport::typeText(form.edit, typed);
    QTEST(form.edit->text(), "shown");
    // Rejection is silent.
    QCOMPARE(beeps_, 0);
}

void TestAEdit::controlKeysReachTheEditForEveryType()
{
    for (const TCharType charType : {ctAll, ctInteger, ctFloat, ctDate, ctIntegerUnsigned, ctFloatUnsigned}) {
        for (const char16_t control : {u'\b', u'\t', u'\r', u'\x1b'}) {
            QChar key(control);
            QVERIFY(TAEdit::FilterKey(key, charType));
            QCOMPARE(key, QChar(control));
        }
    }
    EditForm form;
    form.edit->SetCharType(ctIntegerUnsigned);
    form.showWithFocusInEdit();
    testsupport::typeText(form.edit, QStringLiteral("123"));
    QTest::keyClick(form.edit, Qt::Key_Backspace);
    QCOMPARE(form.edit->text(), QStringLiteral("12"));
}

void TestAEdit::leavingDateEditCompletesAndChecks_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("completed");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<bool>("warning");
    QTest::newRow("5") << "5"
                       << "5.12.2026" << 0 << false;
    QTest::newRow("15") << "15"
                        << "15.12.2026" << 0 << false;
    QTest::newRow("5.") << "5."
                        << "5.12.2026" << 1 << false;
    QTest::newRow("5.3") << "5.3"
                         << "5.3.2026" << 0 << false;
    QTest::newRow("15.") << "15."
                         << "15.12.2026" << 1 << false;
    QTest::newRow("5.3.") << "5.3."
                          << "5.3.2026" << 1 << false;
    QTest::newRow("15.3") << "15.3"
                          << "15.3.2026" << 0 << false;
    QTest::newRow("15.12") << "15.12"
                           << "15.12.2026" << 0 << false;
    QTest::newRow("15.3.") << "15.3."
                           << "15.3.2026" << 1 << false;
    QTest::newRow("15.12.") << "15.12."
                            << "15.12.2026" << 1 << false;
    QTest::newRow("1.1.2026") << "1.1.2026"
                              << "1.1.2026" << 0 << false;
    QTest::newRow("1.1.26 is not completed") << "1.1.26"
                                             << "1.1.26" << 0 << false;
    QTest::newRow("153") << "153"
                         << "153.2026" << 0 << true;
    QTest::newRow(".5") << ".5"
                        << ".5" << 1 << true;
    QTest::newRow("31.2") << "31.2"
                          << "31.2.2026" << 0 << true;
    QTest::newRow("empty") << ""
                           << "" << 0 << false;
}

void TestAEdit::leavingDateEditCompletesAndChecks()
{
    QFETCH(QString, typed);
    QFETCH(bool, warning);
    EditForm form;
    form.edit->SetCharType(ctDate);
    form.showWithFocusInEdit();
    testsupport::typeText(form.edit, typed);
    ModalDriver driver;
    if (warning)
        driver.thenKeys({QKeySequence(Qt::Key_Return)});
    QTest::keyClick(form.edit, Qt::Key_Tab);
    VERIFY_DRIVER(driver);
    QTEST(form.edit->text(), "completed");
    QTEST(beeps_, "beeps");
    QCOMPARE(form.exits, 1);
    if (warning) {
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen().first().text, QStringLiteral("'%1' není platné datum.").arg(typed));
        QCOMPARE(driver.seen().first().title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen().first().buttons, QStringList{"OK"});
    }
    // The focus went on to the control the user chose.
    form.activateWindow();
    QTRY_COMPARE(form.focusWidget(), static_cast<QWidget *>(form.next));
}

void TestAEdit::enterMovesTheFocus_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("enterIsTab");
    QTest::newRow("left") << int(taLeftJustify) << true;
    QTest::newRow("right") << int(taRightJustify) << true;
    QTest::newRow("centre") << int(taCenter) << true;
    QTest::newRow("right, Enter is not Tab") << int(taRightJustify) << false;
}

void TestAEdit::enterMovesTheFocus()
{
    QFETCH(int, alignment);
    QFETCH(bool, enterIsTab);
    EditForm form;
    form.edit->SetAlignment(TAlignment(alignment));
    form.edit->SetEnterIsTab(enterIsTab);
    form.showWithFocusInEdit();
    QTest::keyClick(form.edit, Qt::Key_Return);
    // The move is posted: it happens once the key is handled.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.edit));
    QWidget *expected = enterIsTab ? static_cast<QWidget *>(form.next) : form.edit;
    QTRY_COMPARE(QApplication::focusWidget(), expected);
    QCoreApplication::processEvents(); // a second posted move would go now
    QCOMPARE(QApplication::focusWidget(), expected);
    // Enter as Tab never reaches the default button.
    QCOMPARE(form.okClicks, enterIsTab ? 0 : 1);
}

void TestAEdit::keyDownHandlerSeesEnterFirstAndCannotStopTheMove()
{
    EditForm form;
    QList<int> keysSeen;
    connect(form.edit, &TAEdit::OnKeyDown, &form, [&](int &key, Qt::KeyboardModifiers) {
        keysSeen.append(key);
        key = 0;
    });
    form.showWithFocusInEdit();
    QTest::keyClick(form.edit, Qt::Key_Return);
    QCOMPARE(keysSeen, QList<int>{VK_RETURN});
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.next));
}

void TestAEdit::enterAsTabStillReachesKeyPressAndTheEdit()
{
    EditForm form;
    QString pressed;
    connect(form.edit, &TAEdit::OnKeyPress, &form, [&](QChar &key) { pressed += key; });
    int returnsInEdit = 0;
    connect(form.edit, &QLineEdit::returnPressed, &form, [&] { ++returnsInEdit; });
    form.showWithFocusInEdit();
    QTest::keyClick(form.edit, Qt::Key_Return);
    QCOMPARE(pressed, QStringLiteral("\r"));
    QCOMPARE(returnsInEdit, 1);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.next));
    QCOMPARE(form.okClicks, 0);
}

void TestAEdit::keyDownHandlerSeesEveryKey_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("virtualKey");
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << int(Qt::NoModifier) << int('A');
    QTest::newRow("shift") << int(Qt::Key_Shift) << "" << int(Qt::NoModifier) << VK_SHIFT;
    QTest::newRow("control") << int(Qt::Key_Control) << "" << int(Qt::NoModifier) << VK_CONTROL;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << "5" << int(Qt::KeypadModifier) << VK_NUMPAD0 + 5;
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << "+" << int(Qt::KeypadModifier) << VK_ADD;
    QTest::newRow("comma") << int(Qt::Key_Comma) << "," << int(Qt::NoModifier) << 0xBC;
    QTest::newRow("caps lock") << int(Qt::Key_CapsLock) << "" << int(Qt::NoModifier) << VK_CAPITAL;
    // A Czech letter that Qt names by its character alone has no code: it
    // reaches the handler all the same, as 0.
    QTest::newRow("u with ring") << int(Qt::Key_unknown) << "ů" << int(Qt::NoModifier) << 0;
}

void TestAEdit::keyDownHandlerSeesEveryKey()
{
    QFETCH(int, qtKey);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(int, virtualKey);
    EditForm form;
    QList<int> keysSeen;
    connect(form.edit, &TAEdit::OnKeyDown, &form, [&](int &key, Qt::KeyboardModifiers) { keysSeen.append(key); });
    form.showWithFocusInEdit();
    QTest::sendKeyEvent(QTest::Press, form.edit, Qt::Key(qtKey), text, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(keysSeen, QList<int>{virtualKey});
    QCOMPARE(form.edit->text(), text);
}

void TestAEdit::passwordCharacterHidesTheText()
{
    EditForm form;
    form.edit->SetPasswordChar(QLatin1Char('*'));
    form.edit->setText(QStringLiteral("58203947165820394716"));
    QCOMPARE(form.edit->echoMode(), QLineEdit::Password);
    QCOMPARE(QChar(form.edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, form.edit)),
             QLatin1Char('*'));
    form.edit->SetPasswordChar(QChar());
    QCOMPARE(form.edit->echoMode(), QLineEdit::Normal);
}

void TestAEdit::upperCaseAndMaxLengthLimitTypingOnly()
{
    EditForm form;
    form.edit->SetCharCase(ecUpperCase);
    form.edit->SetMaxLength(4);
    form.showWithFocusInEdit();
    testsupport::typeText(form.edit, QStringLiteral("nováček"));
    QCOMPARE(form.edit->text(), QStringLiteral("NOVÁ"));
    form.edit->setText(QStringLiteral("dlouhý text"));
    QCOMPARE(form.edit->text(), QStringLiteral("DLOUHÝ TEXT"));
}

void TestAEdit::keyPressHandlerDropsCharacters()
{
    EditForm form;
    form.edit->SetCharCase(ecUpperCase);
    QString seen;
    connect(form.edit, &TAEdit::OnKeyPress, &form, [&](QChar &key) {
        seen += key;
        if (!key.isLetterOrNumber() || key.unicode() > 127)
            key = QChar();
    });
    form.showWithFocusInEdit();
    testsupport::typeText(form.edit, QStringLiteral("ab č1-"));
    // The handler sees the character as typed; the upper case comes after it.
    QCOMPARE(seen, QStringLiteral("ab č1-"));
    QCOMPARE(form.edit->text(), QStringLiteral("AB1"));
}

void TestAEdit::readOnlyEditTakesNoTyping()
{
    EditForm form;
    form.edit->SetReadOnly(true);
    form.edit->setText(QStringLiteral("server"));
    form.showWithFocusInEdit();
    testsupport::typeText(form.edit, QStringLiteral("x"));
    QVERIFY(form.edit->ReadOnly());
    QCOMPARE(form.edit->text(), QStringLiteral("server"));
}

ZELO_TEST_MAIN(TestAEdit)
#include "tst_AEdit.moc"
