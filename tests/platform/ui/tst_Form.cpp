// The form base's modal result, close query, key preview and dialog keys,
// driven by keys as a user would.

#include "ModalDriver.h"
#include "ui/Form.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace platform;
using testsupport::ModalDriver;
using testsupport::pressKey;

namespace {

// A dialog as the programs build them: F12 confirms and Esc cancels through the
// key preview; OK and Storno buttons; a close query that may refuse.
class SampleForm : public Form {
public:
    explicit SampleForm(bool cancelIsCancelButton = false)
    {
        setClientSize(240, 100);
        setBorderStyle(BorderStyle::DialogNoIcons);
        setKeyPreview(true);
        edit = new QLineEdit(this);
        edit->setGeometry(8, 8, 120, 21);
        btnOk = new QPushButton(QStringLiteral("OK"), this);
        btnOk->setGeometry(80, 68, 75, 25);
        btnStorno = new QPushButton(QStringLiteral("Storno"), this);
        btnStorno->setGeometry(160, 68, 75, 25);
        setButtonModalResult(btnOk, mrOk);
        setDefaultButton(btnOk);
        if (cancelIsCancelButton) {
            setCancelButton(btnStorno);
            connect(btnStorno, &QPushButton::clicked, this, [this] { close(); });
        } else {
            setButtonModalResult(btnStorno, mrCancel);
        }
    }

    QLineEdit *edit;
    QPushButton *btnOk;
    QPushButton *btnStorno;
    bool refuseOk = false;
    bool swallowInsert = false;
    int closeQueries = 0;
    int closes = 0;
    QList<int> keysSeen;
    QString editTextAtPreview;

protected:
    void FormShow() override { edit->setFocus(); }
    void FormCloseQuery(bool &canClose) override
    {
        ++closeQueries;
        if (modalResult() == mrOk && refuseOk)
            canClose = false;
    }
    void FormClose() override { ++closes; }
    void FormKeyDown(int &key, Qt::KeyboardModifiers) override
    {
        keysSeen.append(key);
        editTextAtPreview = edit->text();
        if (key == VK_F12)
            setModalResult(mrOk);
        if (key == VK_ESCAPE)
            setModalResult(mrCancel);
        if (key == VK_INSERT && swallowInsert)
            key = 0;
    }
};

} // namespace

class TestForm : public QObject {
    Q_OBJECT
private slots:
    void keysCloseWithTheirResult_data();
    void keysCloseWithTheirResult();
    void refusedCloseKeepsFormOpenWithResultReset();
    void closeRoutineGivesCancel();
    void escapeOnCancelButtonMakesOneCloseAttempt();
    void keyPreviewSeesKeysBeforeTheFocusedControl();
    void consumedKeyNeverReachesTheControl();
    void clientSizeIsFixedAndFormIsCentred();
};

void TestForm::keysCloseWithTheirResult_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("F12") << QKeySequence(Qt::Key_F12) << mrOk;
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape) << mrCancel;
    QTest::newRow("Enter presses the default button") << QKeySequence(Qt::Key_Return) << mrOk;
}

void TestForm::keysCloseWithTheirResult()
{
    QFETCH(QKeySequence, key);
    SampleForm form;
    ModalDriver driver;
    driver.thenKeys({key});
    const int result = form.showModal();
    VERIFY_DRIVER(driver);
    QTEST(result, "result");
    QCOMPARE(form.closeQueries, 1);
    QCOMPARE(form.closes, 1);
}

void TestForm::refusedCloseKeepsFormOpenWithResultReset()
{
    SampleForm form;
    form.refuseOk = true;
    bool stayedOpen = false;
    int resultAfterRefusal = -1;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        pressKey(modal, QKeySequence(Qt::Key_F12));
        // The close attempt is posted: wait until the close query has answered.
        (void)QTest::qWaitFor([&] { return form.closeQueries == 1; });
        stayedOpen = modal->isVisible();
        resultAfterRefusal = form.modalResult();
        pressKey(modal, QKeySequence(Qt::Key_Escape));
    });
    const int result = form.showModal();
    VERIFY_DRIVER(driver);
    QVERIFY(stayedOpen);
    QCOMPARE(resultAfterRefusal, mrNone);
    QCOMPARE(result, mrCancel);
    QCOMPARE(form.closeQueries, 2);
    QCOMPARE(form.closes, 1);
}

void TestForm::closeRoutineGivesCancel()
{
    SampleForm form;
    ModalDriver driver;
    driver.then([](QWidget *modal) { modal->close(); });
    QCOMPARE(form.showModal(), mrCancel);
    VERIFY_DRIVER(driver);
    QCOMPARE(form.closeQueries, 1);
}

void TestForm::escapeOnCancelButtonMakesOneCloseAttempt()
{
    // Esc sets the result in the key preview and presses the cancel button,
    // whose handler closes the form: still one close attempt.
    SampleForm form(true);
    ModalDriver driver;
    driver.thenKeys({QKeySequence(Qt::Key_Escape)});
    QCOMPARE(form.showModal(), mrCancel);
    VERIFY_DRIVER(driver);
    QCOMPARE(form.closeQueries, 1);
}

void TestForm::keyPreviewSeesKeysBeforeTheFocusedControl()
{
    SampleForm form;
    QStringList editTexts;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        pressKey(modal, QKeySequence(Qt::Key_X));
        editTexts.append(form.editTextAtPreview);
        pressKey(modal, QKeySequence(Qt::Key_Y));
        editTexts.append(form.editTextAtPreview);
        pressKey(modal, QKeySequence(Qt::Key_Escape));
    });
    form.showModal();
    VERIFY_DRIVER(driver);
    // Each key was seen once, before the edit got it.
    QCOMPARE(form.keysSeen, (QList<int>{'X', 'Y', VK_ESCAPE}));
    QCOMPARE(editTexts, (QStringList{"", "x"}));
    QCOMPARE(form.edit->text(), QStringLiteral("xy"));
}

void TestForm::consumedKeyNeverReachesTheControl()
{
    SampleForm form;
    form.swallowInsert = true;
    form.edit->setText(QStringLiteral("ab"));
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        form.edit->setCursorPosition(1);
        // Shift+Insert would paste into the edit; the form takes Insert away.
        pressKey(modal, QKeySequence(Qt::SHIFT | Qt::Key_Insert));
        pressKey(modal, QKeySequence(Qt::Key_Delete));
        pressKey(modal, QKeySequence(Qt::Key_Escape));
    });
    form.showModal();
    VERIFY_DRIVER(driver);
    // The Shift key comes first, as on Windows.
    QCOMPARE(form.keysSeen, (QList<int>{VK_SHIFT, VK_INSERT, VK_DELETE, VK_ESCAPE}));
    // Delete reached the edit, Insert did not.
    QCOMPARE(form.edit->text(), QStringLiteral("a"));
}

void TestForm::clientSizeIsFixedAndFormIsCentred()
{
    SampleForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(240, 100));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    const QPoint screenCentre = form.screen()->availableGeometry().center();
    QVERIFY((form.frameGeometry().center() - screenCentre).manhattanLength() <= 2);
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    form.close();
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestForm)
#include "tst_Form.moc"
