// The default error box: an error that ends an event handler is shown with
// the application's title and the program goes on.

#include "ModalDriver.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "ui/Application.h"
#include "ui/ErrorBoundary.h"
#include "ui/Form.h"
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace platform;
using testsupport::ModalDriver;

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void errorTextGetsFullStop_data();
    void errorTextGetsFullStop();
    void errorLeavingEventHandlerIsShownAndProgramGoesOn();
    void buttonWhoseHandlerFailedCanBeClickedAgain();
    void formHandlerFailures_data();
    void formHandlerFailures();
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
    QTimer::singleShot(0, qApp,
                       guarded([] { throw EIBError(QStringLiteral("Spojení se serverem selhalo"), 335544721); }));
    QTimer::singleShot(20, qApp, [&] { laterEventRan = true; });
    VERIFY_DRIVER(driver);
    QTRY_VERIFY(laterEventRan);
    QCOMPARE(driver.seen().size(), 1);
    QCOMPARE(driver.seen().first().title, QStringLiteral("Správa uživatelů DEVEVI"));
    QCOMPARE(driver.seen().first().text, QStringLiteral("Spojení se serverem selhalo."));
    QCOMPARE(driver.seen().first().icon, int(QMessageBox::Critical));
    QCOMPARE(driver.seen().first().buttons, QStringList{"OK"});
}

void TestApplication::buttonWhoseHandlerFailedCanBeClickedAgain()
{
    Form form;
    auto *button = new QPushButton(QStringLiteral("Test"), &form);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, &form, guarded([&] {
                         ++clicks;
                         throw EDatabaseError(QStringLiteral("Připojení selhalo ") + QString::number(clicks));
                     }));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    for (int click = 1; click <= 2; ++click) {
        ModalDriver driver;
        driver.thenKeys({QKeySequence(Qt::Key_Return)});
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
        VERIFY_DRIVER(driver);
        QCOMPARE(clicks, click);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen().first().text, QStringLiteral("Připojení selhalo %1.").arg(click));
    }
    QVERIFY(form.isVisible());
    QVERIFY(button->isEnabled());
}

namespace {
// A form whose handler named in failIn fails once, then works.
class FailingForm : public Form {
public:
    QString failIn;
    QStringList ran;

protected:
    void FormShow() override { run(QStringLiteral("show")); }
    void FormCloseQuery(bool &) override { run(QStringLiteral("closeQuery")); }
    void FormKeyDown(int &, Qt::KeyboardModifiers) override { run(QStringLiteral("keyDown")); }

private:
    void run(const QString &handler)
    {
        ran << handler;
        if (failIn == handler) {
            failIn.clear();
            throw Exception(QStringLiteral("Selhalo: ") + handler);
        }
    }
};
} // namespace

void TestApplication::formHandlerFailures_data()
{
    QTest::addColumn<QString>("failIn");
    QTest::addColumn<QStringList>("ranAfterwards");
    QTest::newRow("show handler") << "show" << QStringList{"show"};
    QTest::newRow("close query: the form stays open") << "closeQuery" << QStringList{"closeQuery", "closeQuery"};
    QTest::newRow("key handler: the next key is handled") << "keyDown" << QStringList{"keyDown", "keyDown"};
}

void TestApplication::formHandlerFailures()
{
    QFETCH(QString, failIn);
    QFETCH(QStringList, ranAfterwards);
    FailingForm form;
    form.setKeyPreview(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.ran.clear();
    form.failIn = failIn;

    ModalDriver driver;
    driver.thenKeys({QKeySequence(Qt::Key_Return)});
    if (failIn == QLatin1String("show")) {
        form.hide();
        form.show();
    } else if (failIn == QLatin1String("closeQuery")) {
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QVERIFY(form.close());
    } else {
        QTest::keyClick(testsupport::keyTarget(&form), Qt::Key_A);
        QTest::keyClick(testsupport::keyTarget(&form), Qt::Key_B);
    }
    VERIFY_DRIVER(driver);
    QCOMPARE(driver.seen().size(), 1);
    QCOMPARE(driver.seen().first().text, QStringLiteral("Selhalo: ") + failIn + QLatin1Char('.'));
    QCOMPARE(form.ran, ranAfterwards);
}

ZELO_TEST_MAIN(TestApplication)
#include "tst_Application.moc"
