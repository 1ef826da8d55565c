// The four standard boxes: caption, icon, buttons and result.

#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QTest>

#include <functional>

using testsupport::ModalDriver;

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void boxesShowTheirCaptionAndIcon_data();
    void boxesShowTheirCaptionAndIcon();
};

using BoxRoutine = std::function<int(const QString &)>;
Q_DECLARE_METATYPE(BoxRoutine)

void TestMessageBoxes::boxesShowTheirCaptionAndIcon_data()
{
    QTest::addColumn<BoxRoutine>("routine");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("result");
    const QStringList ok{"OK"};
    QTest::newRow("information") << BoxRoutine(ShowInfo) << QKeySequence(Qt::Key_Escape) << "Informace"
                                 << int(QMessageBox::Information) << ok << platform::IDOK;
    QTest::newRow("warning") << BoxRoutine(ShowWarning) << QKeySequence(Qt::Key_Return) << "Upozornění"
                             << int(QMessageBox::Warning) << ok << platform::IDOK;
    QTest::newRow("error") << BoxRoutine(ShowError) << QKeySequence(Qt::Key_Escape) << "Chyba!"
                           << int(QMessageBox::Critical) << ok << platform::IDOK;
    QTest::newRow("question: Enter is No")
        << BoxRoutine(AskYesNo) << QKeySequence(Qt::Key_Return) << "Dotaz" << int(QMessageBox::Question)
        << QStringList{"&Ano", "&Ne"} << platform::IDNO;
    QTest::newRow("question: A is Yes") << BoxRoutine(AskYesNo) << QKeySequence(Qt::Key_A) << "Dotaz"
                                        << int(QMessageBox::Question) << QStringList{"&Ano", "&Ne"} << platform::IDYES;
}

void TestMessageBoxes::boxesShowTheirCaptionAndIcon()
{
    QFETCH(BoxRoutine, routine);
    QFETCH(QKeySequence, key);
    ModalDriver driver;
    driver.thenKeys({key});
    const int result = routine(QString());
    VERIFY_DRIVER(driver);
    QTEST(result, "result");
    QTEST(driver.seen().first().title, "caption");
    QTEST(driver.seen().first().icon, "icon");
    QTEST(driver.seen().first().buttons, "buttons");
    QCOMPARE(driver.seen().first().text, QString());
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_MessageBoxes.moc"
