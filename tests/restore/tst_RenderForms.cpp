// Renders every window of the user-interface layer to PNG files, to look at:
// into $ZELO_RENDER_DIR, or the build folder's "render" folder.

#include "DAutils.h"
#include "ModalDriver.h"
#include "fDAWait.h"
#include "fIBback.h"
#include "ui/LoginDialog.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QTest>

using namespace platform;
using testsupport::ModalDriver;

namespace {

QString renderDir()
{
    QString dir = qEnvironmentVariable("ZELO_RENDER_DIR");
    if (dir.isEmpty())
        dir = qEnvironmentVariable("ZELO_BINARY_DIR", QDir::tempPath()) + QStringLiteral("/render");
    QDir().mkpath(dir);
    return dir;
}

// Saved, and more than a blank area: something was drawn.
void saveAndCheck(QWidget *window, const QString &name)
{
    const QString path = renderDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    const QImage image = window->grab().toImage();
    QVERIFY(image.save(path));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 2, qPrintable(path));
}

} // namespace

class TestRenderForms : public QObject {
    Q_OBJECT
private slots:
    void messageBoxes_data();
    void messageBoxes();
    void loginDialog();
    void waitWindow();
    void restoreWindow();
};

void TestRenderForms::messageBoxes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("flags");
    QTest::newRow("box-information") << "Připojení se podařilo."
                                     << "Informace" << (MB_OK | MB_ICONINFORMATION);
    QTest::newRow("box-question") << "Přejete si uložit změny?"
                                  << "Dotaz" << (MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    QTest::newRow("box-yes-no-cancel") << "Opravdu si přejete přerušit prováděnou akci?"
                                       << "Přerušit?" << (MB_YESNOCANCEL | MB_ICONQUESTION);
    QTest::newRow("box-warning") << "'31.2' není platné datum."
                                 << "Upozornění" << (MB_OK | MB_ICONWARNING);
    QTest::newRow("box-error") << "Vybraná akce byla přerušena!\r\n\r\nChybné jméno uživatele nebo heslo."
                               << "Chyba!" << (MB_OK | MB_ICONERROR);
}

void TestRenderForms::messageBoxes()
{
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(int, flags);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    ModalDriver driver;
    driver.then([name](QWidget *box) {
        saveAndCheck(box, name);
        testsupport::pressKey(box, QKeySequence(Qt::Key_Return));
    });
    messageBox(text, caption, flags);
    VERIFY_DRIVER(driver);
}

void TestRenderForms::loginDialog()
{
    LoginDialog dialog(QStringLiteral("localhost:/data/zelo.fdb"), QStringLiteral("SYSDBA"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    saveAndCheck(&dialog, QStringLiteral("login-dialog"));
}

void TestRenderForms::waitWindow()
{
    ShowWait(QStringLiteral("Probíhá obnova databáze ..."), QStringLiteral("Načítání tabulky DB$UZIV"), 45, true, true);
    QVERIFY(QTest::qWaitForWindowExposed(frmDAWait));
    for (int frame = 0; frame < 7; ++frame)
        frmDAWait->aniStav->stepFrame();
    saveAndCheck(frmDAWait, QStringLiteral("wait-window"));
    HideWait();
}

void TestRenderForms::restoreWindow()
{
    TfrmIBback form;
    form.edtServerName->setText(QStringLiteral("localhost"));
    form.edtDatabaseFile->setText(QStringLiteral("/data/zelo/DEvevi.fdb"));
    form.edtBackupFile->setText(QStringLiteral("/data/zálohy/DEvevi.gbk"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const char *line : {"gbak:opened file /data/zálohy/DEvevi.gbk ", "gbak:restoring table DB$UZIV ",
                             "gbak:restoring data for table DB$UZIV "})
        form.appendOutputLine(QString::fromUtf8(line));
    form.flushOutputLines();
    saveAndCheck(&form, QStringLiteral("restore-window"));
}

QTEST_MAIN(TestRenderForms)
#include "tst_RenderForms.moc"
