// The application's message box as a user meets it: buttons, their order and
// the Windows keyboard rules.

#include "ModalDriver.h"
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QTest>

using namespace platform;
using testsupport::ModalDriver;

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void buttonsInWindowsOrder_data();
    void buttonsInWindowsOrder();
    void keysAnswer_data();
    void keysAnswer();
    void yesNoBoxIgnoresEscapeAndCloseBox_data();
    void yesNoBoxIgnoresEscapeAndCloseBox();
    void closeBoxAnswersLikeEscape_data();
    void closeBoxAnswersLikeEscape();
    void textKeepsItsLinesAndBlankLine();
    void previouslyActiveWindowIsActiveAgain();
};

void TestMessageBox::buttonsInWindowsOrder_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<int>("icon");
    QTest::newRow("ok, error") << (MB_OK | MB_ICONERROR) << QStringList{"OK"} << "OK" << int(QMessageBox::Critical);
    QTest::newRow("ok/cancel, information")
        << (MB_OKCANCEL | MB_ICONINFORMATION) << QStringList{"OK", "Storno"} << "OK" << int(QMessageBox::Information);
    QTest::newRow("yes/no/cancel, question")
        << (MB_YESNOCANCEL | MB_ICONQUESTION) << QStringList{"&Ano", "&Ne", "Storno"} << "&Ano"
        << int(QMessageBox::Question);
    QTest::newRow("yes/no, second default, question")
        << (MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) << QStringList{"&Ano", "&Ne"} << "&Ne"
        << int(QMessageBox::Question);
    QTest::newRow("yes/no, exclamation") << (MB_YESNO | MB_ICONEXCLAMATION) << QStringList{"&Ano", "&Ne"} << "&Ano"
                                         << int(QMessageBox::Warning);
}

void TestMessageBox::buttonsInWindowsOrder()
{
    QFETCH(int, flags);
    ModalDriver driver;
    driver.thenKeys({QKeySequence(Qt::Key_Return)});
    messageBox(QStringLiteral("Text"), QStringLiteral("Titulek"), flags);
    VERIFY_DRIVER(driver);
    QCOMPARE(driver.seen().size(), 1);
    const testsupport::ModalRecord &box = driver.seen().first();
    QCOMPARE(box.title, QStringLiteral("Titulek"));
    QCOMPARE(box.text, QStringLiteral("Text"));
    QTEST(box.buttons, "buttons");
    QTEST(box.defaultButton, "defaultButton");
    QTEST(box.icon, "icon");
}

void TestMessageBox::keysAnswer_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("ok: Enter") << MB_OK << QKeySequence(Qt::Key_Return) << IDOK;
    QTest::newRow("ok: Esc") << (MB_OK | MB_ICONWARNING) << QKeySequence(Qt::Key_Escape) << IDOK;
    QTest::newRow("ok/cancel: Esc") << MB_OKCANCEL << QKeySequence(Qt::Key_Escape) << IDCANCEL;
    QTest::newRow("ok/cancel: Enter") << MB_OKCANCEL << QKeySequence(Qt::Key_Return) << IDOK;
    QTest::newRow("yes/no/cancel: Esc answers Cancel")
        << (MB_YESNOCANCEL | MB_ICONQUESTION) << QKeySequence(Qt::Key_Escape) << IDCANCEL;
    QTest::newRow("yes/no/cancel: Enter takes Yes")
        << (MB_YESNOCANCEL | MB_ICONQUESTION) << QKeySequence(Qt::Key_Return) << IDYES;
    QTest::newRow("yes/no/cancel: N") << MB_YESNOCANCEL << QKeySequence(Qt::Key_N) << IDNO;
    QTest::newRow("yes/no, No default: Enter takes No")
        << (MB_YESNO | MB_DEFBUTTON2) << QKeySequence(Qt::Key_Return) << IDNO;
    QTest::newRow("yes/no: A is Ano") << (MB_YESNO | MB_DEFBUTTON2) << QKeySequence(Qt::Key_A) << IDYES;
    QTest::newRow("yes/no: Tab then Enter") << (MB_YESNO | MB_DEFBUTTON2) << QKeySequence(Qt::Key_Backtab) << IDYES;
}

void TestMessageBox::keysAnswer()
{
    QFETCH(int, flags);
    QFETCH(QKeySequence, key);
    ModalDriver driver;
    driver.then([key](QWidget *box) {
        testsupport::pressKey(box, key);
        if (key == QKeySequence(Qt::Key_Backtab))
            testsupport::pressKey(box, QKeySequence(Qt::Key_Return));
    });
    const int result = messageBox(QStringLiteral("Otázka?"), QStringLiteral("Dotaz"), flags);
    VERIFY_DRIVER(driver);
    QTEST(result, "result");
}

void TestMessageBox::yesNoBoxIgnoresEscapeAndCloseBox_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::newRow("Esc") << false;
    QTest::newRow("close box") << true;
}

void TestMessageBox::yesNoBoxIgnoresEscapeAndCloseBox()
{
    QFETCH(bool, byCloseBox);
    bool stayedOpen = false;
    ModalDriver driver;
    driver.then([&](QWidget *box) {
        if (byCloseBox)
            box->close();
        else
            testsupport::pressKey(box, QKeySequence(Qt::Key_Escape));
        QCoreApplication::processEvents(); // whatever the key or the close box posted
        stayedOpen = box->isVisible();
        testsupport::pressKey(box, QKeySequence(Qt::Key_N));
    });
    const int result =
        messageBox(QStringLiteral("Smazat?"), QStringLiteral("Dotaz"), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    VERIFY_DRIVER(driver);
    QVERIFY(stayedOpen);
    QCOMPARE(result, IDNO);
}

void TestMessageBox::closeBoxAnswersLikeEscape_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("result");
    QTest::newRow("ok") << (MB_OK | MB_ICONERROR) << IDOK;
    QTest::newRow("yes/no/cancel") << MB_YESNOCANCEL << IDCANCEL;
}

void TestMessageBox::closeBoxAnswersLikeEscape()
{
    QFETCH(int, flags);
    ModalDriver driver;
    driver.then([](QWidget *box) { box->close(); });
    const int result = messageBox(QStringLiteral("Zpráva"), QStringLiteral("Chyba!"), flags);
    VERIFY_DRIVER(driver);
    QTEST(result, "result");
}

void TestMessageBox::textKeepsItsLinesAndBlankLine()
{
    ModalDriver driver;
    driver.thenKeys({QKeySequence(Qt::Key_Return)});
    messageBox(QStringLiteral("Vybraná akce byla přerušena!\r\n\r\nPodrobnosti"), QStringLiteral("Chyba!"),
               MB_ICONERROR);
    VERIFY_DRIVER(driver);
    QCOMPARE(driver.seen().first().text, QStringLiteral("Vybraná akce byla přerušena!\n\nPodrobnosti"));
}

void TestMessageBox::previouslyActiveWindowIsActiveAgain()
{
    QWidget window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    bool windowDisabledMeanwhile = false;
    ModalDriver driver;
    driver.then([&](QWidget *box) {
        // Modal for the application: the other window takes no input meanwhile.
        windowDisabledMeanwhile = QApplication::activeModalWidget() == box && box->isModal();
        testsupport::pressKey(box, QKeySequence(Qt::Key_Return));
    });
    messageBox(QStringLiteral("Hotovo."), QStringLiteral("Informace"), MB_ICONINFORMATION);
    VERIFY_DRIVER(driver);
    QVERIFY(windowDisabledMeanwhile);
    QTRY_COMPARE(QApplication::activeWindow(), &window);
}

QTEST_MAIN(TestMessageBox)
#include "tst_MessageBox.moc"
