// The default error box: an error that no handler catches is shown with the
// application's title and the program goes on.

#include "ModalDriver.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QTimer>

using namespace platform;
using testsupport::ModalDriver;

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void errorTextGetsFullStop_data();
    void errorTextGetsFullStop();
    void errorLeavingEventHandlerIsShownAndProgramGoesOn();
};

void TestApplication::errorTextGetsFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Soubor nenalezen"
                            << "Soubor nenalezen.";
    QTest::newRow("digit") << "Chyba 5"
                           << "Chyba 5.";
    QTest::newRow("Czech letter") << "Chybné heslo ž"
                                  << "Chybné heslo ž.";
    QTest::newRow("full stop already") << "Konec."
                                       << "Konec.";
    QTest::newRow("exclamation sorts before the stop") << "Chyba!"
                                                       << "Chyba!";
    QTest::newRow("closing bracket sorts before the stop") << "(chyba)"
                                                           << "(chyba)";
    QTest::newRow("slash sorts after the stop") << "C:/data/"
                                                << "C:/data/.";
    QTest::newRow("line break at the end") << "Chyba\n"
                                           << "Chyba\n";
    QTest::newRow("empty") << ""
                           << "";
}

void TestApplication::errorTextGetsFullStop()
{
    QFETCH(QString, message);
    QTEST(defaultErrorText(message), "shown");
}

void TestApplication::errorLeavingEventHandlerIsShownAndProgramGoesOn()
{
    setApplicationTitle(QStringLiteral("Správa uživatelů DEVEVI"));
    bool laterEventRan = false;
    ModalDriver driver;
    driver.thenKeys({QKeySequence(Qt::Key_Return)});
    QTimer::singleShot(0, qApp, [] { throw EIBError(QStringLiteral("Spojení se serverem selhalo"), 335544721); });
    QTimer::singleShot(20, qApp, [&] { laterEventRan = true; });
    VERIFY_DRIVER(driver);
    QTRY_VERIFY(laterEventRan);
    QCOMPARE(driver.seen().size(), 1);
    QCOMPARE(driver.seen().first().title, QStringLiteral("Správa uživatelů DEVEVI"));
    QCOMPARE(driver.seen().first().text, QStringLiteral("Spojení se serverem selhalo."));
    QCOMPARE(driver.seen().first().icon, int(QMessageBox::Critical));
    QCOMPARE(driver.seen().first().buttons, QStringList{"OK"});
}

ZELO_TEST_MAIN(TestApplication)
#include "tst_Application.moc"
