// The wait window through ShowWait and HideWait as the restore program uses
// them: the bar, the rationed message processing, the previous window, the
// cursor and the cancel question.

#include "DAutils.h"
#include "ModalDriver.h"
#include "fDAWait.h"
#include "ui/Cursor.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

using namespace platform;
using testsupport::ModalDriver;

class TestWaitWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showWaitShowsTextsAndDisablesTheActiveWindow();
    void barPositionIsPercentOfTwoHundred_data();
    void barPositionIsPercentOfTwoHundred();
    void messagesAreProcessedOnlyNowAndThen();
    void secondCallLeavesThePreviousWindowAlone();
    void hideWaitGivesBackWindowAndDefaultCursor();
    void hideWaitWithoutShownWindowDoesNothing();
    void cancelQuestionCallsOnStornoOnlyOnYes_data();
    void cancelQuestionCallsOnStornoOnlyOnYes();

private:
    std::unique_ptr<QWidget> mainWindow_;
};

void TestWaitWindow::init()
{
    mainWindow_ = std::make_unique<QWidget>();
    mainWindow_->setWindowTitle(QStringLiteral("Obnova"));
    mainWindow_->show();
    mainWindow_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mainWindow_.get()));
}

void TestWaitWindow::cleanup()
{
    HideWait();
    setAppCursor(AppCursor::Default);
    mainWindow_.reset();
}

void TestWaitWindow::showWaitShowsTextsAndDisablesTheActiveWindow()
{
    ShowWait(QStringLiteral("Probíhá obnova databáze ..."), QString(), 0, false, true);
    QVERIFY(frmDAWait->isVisible());
    QCOMPARE(frmDAWait->size(), QSize(397, 113));
    QCOMPARE(frmDAWait->labStav1->text(), QStringLiteral("Probíhá obnova databáze ..."));
    QCOMPARE(frmDAWait->labStav2->text(), QString());
    QVERIFY(frmDAWait->pbWait->isHidden());
    QVERIFY(frmDAWait->btnStorno->isHidden());
    QVERIFY(frmDAWait->aniStav->isPlaying());
    QCOMPARE(PrevActiveForm.data(), mainWindow_.get());
    QVERIFY(!mainWindow_->isEnabled());
    QCOMPARE(appCursor(), AppCursor::HourGlass);
}

void TestWaitWindow::barPositionIsPercentOfTwoHundred_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("position");
    QTest::newRow("1 %") << 1 << 2;
    QTest::newRow("45 %") << 45 << 90;
    QTest::newRow("50 %") << 50 << 100;
    QTest::newRow("100 %") << 100 << 200;
}

void TestWaitWindow::barPositionIsPercentOfTwoHundred()
{
    QFETCH(int, percent);
    ShowWait(QStringLiteral("Kopíruji"), QStringLiteral("soubor"), std::uint8_t(percent), true, false);
    QTEST(frmDAWait->pbWait->value(), "position");
    QVERIFY(!frmDAWait->pbWait->isHidden());
    QVERIFY(!frmDAWait->btnStorno->isHidden());
    QVERIFY(frmDAWait->aniStav->isHidden());
    // Percent 0 hides the bar and keeps its position.
    ShowWait(QStringLiteral("Kopíruji"), QString(), 0, true, false);
    QVERIFY(frmDAWait->pbWait->isHidden());
    QTEST(frmDAWait->pbWait->value(), "position");
}

void TestWaitWindow::messagesAreProcessedOnlyNowAndThen()
{
    ShowWait(QStringLiteral("Krok"), QString(), 10, false, false);
    bool processed = false;
    QMetaObject::invokeMethod(
        qApp, [&] { processed = true; }, Qt::QueuedConnection);
    ShowWait(QStringLiteral("Krok"), QString(), 50, false, false);
    QCOMPARE(frmDAWait->pbWait->value(), 100);
    QVERIFY(!processed);
    ShowWait(QStringLiteral("Krok"), QString(), 45, false, false);
    QCOMPARE(frmDAWait->pbWait->value(), 90);
    QVERIFY(processed);
}

void TestWaitWindow::secondCallLeavesThePreviousWindowAlone()
{
    ShowWait(QStringLiteral("První"), QString(), 0, false, true);
    frmDAWait->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(frmDAWait));
    PrevActiveForm = nullptr;
    ShowWait(QStringLiteral("Druhý"), QStringLiteral("podrobnosti"), 30, false, true);
    QVERIFY(PrevActiveForm.isNull());
    QCOMPARE(frmDAWait->labStav1->text(), QStringLiteral("Druhý"));
    QCOMPARE(frmDAWait->labStav2->text(), QStringLiteral("podrobnosti"));
    QCOMPARE(frmDAWait->pbWait->value(), 60);
}

void TestWaitWindow::hideWaitGivesBackWindowAndDefaultCursor()
{
    setAppCursor(AppCursor::SqlWait);
    ShowWait(QStringLiteral("Probíhá obnova databáze ..."), QString(), 20, false, true);
    QCOMPARE(appCursor(), AppCursor::HourGlass);
    HideWait();
    QVERIFY(!frmDAWait->isVisible());
    QVERIFY(!frmDAWait->aniStav->isPlaying());
    QCOMPARE(frmDAWait->pbWait->value(), 0);
    QCOMPARE(appCursor(), AppCursor::Default);
    QVERIFY(mainWindow_->isEnabled());
    QTRY_COMPARE(QApplication::activeWindow(), mainWindow_.get());
}

void TestWaitWindow::hideWaitWithoutShownWindowDoesNothing()
{
    // Hidden already (or never shown): the cursor and the windows stay as they are.
    setAppCursor(AppCursor::SqlWait);
    mainWindow_->setEnabled(false);
    HideWait();
    QCOMPARE(appCursor(), AppCursor::SqlWait);
    QVERIFY(!mainWindow_->isEnabled());
}

void TestWaitWindow::cancelQuestionCallsOnStornoOnlyOnYes_data()
{
    QTest::addColumn<QKeySequence>("answer");
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("Enter is Yes") << QKeySequence(Qt::Key_Return) << true;
    QTest::newRow("N is No") << QKeySequence(Qt::Key_N) << false;
    QTest::newRow("Esc is Cancel") << QKeySequence(Qt::Key_Escape) << false;
}

void TestWaitWindow::cancelQuestionCallsOnStornoOnlyOnYes()
{
    QFETCH(QKeySequence, answer);
    ShowWait(QStringLiteral("Probíhá akce"), QString(), 0, true, true);
    QObject *sender = nullptr;
    frmDAWait->OnStorno = [&](QObject *from) { sender = from; };
    ModalDriver driver;
    driver.thenKeys({answer});
    frmDAWait->btnStorno->click();
    VERIFY_DRIVER(driver);
    frmDAWait->OnStorno = nullptr;
    const testsupport::ModalRecord &box = driver.seen().first();
    QCOMPARE(box.title, QStringLiteral("Přerušit?"));
    QCOMPARE(box.text, QStringLiteral("Opravdu si přejete přerušit prováděnou akci?"));
    QCOMPARE(box.buttons, (QStringList{"&Ano", "&Ne", "Storno"}));
    QCOMPARE(box.defaultButton, QStringLiteral("&Ano"));
    QCOMPARE(box.icon, int(QMessageBox::Question));
    QFETCH(bool, cancelled);
    QCOMPARE(sender, cancelled ? static_cast<QObject *>(frmDAWait) : nullptr);
    QVERIFY(frmDAWait->isVisible());
}

QTEST_MAIN(TestWaitWindow)
#include "tst_WaitWindow.moc"
