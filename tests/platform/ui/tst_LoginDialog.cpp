// The login dialog as the database objects' login prompt.

#include "ModalDriver.h"
#include "db/LoginPrompt.h"
#include "ui/LoginDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace platform;
using testsupport::ModalDriver;

class TestLoginDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installLoginDialog(); }
    void typedNameAndPasswordAreAnswered();
    void cancelMakesTheAskingFail_data();
    void cancelMakesTheAskingFail();
};

void TestLoginDialog::typedNameAndPasswordAreAnswered()
{
    QString user = QStringLiteral("SYSDBA");
    QString password;
    bool passwordHidden = false;
    bool focusInPassword = false;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        auto *dialog = static_cast<LoginDialog *>(modal);
        passwordHidden = dialog->edtPassword->echoMode() == QLineEdit::Password;
        QWidget *target = testsupport::keyTarget(modal);
        focusInPassword = target == dialog->edtPassword;
        testsupport::typeText(target, QStringLiteral("tajné"));
        testsupport::pressKey(modal, QKeySequence(Qt::Key_Return));
    });
    QVERIFY(askLogin(QStringLiteral("localhost:/data/zelo.fdb"), user, password));
    VERIFY_DRIVER(driver);
    QVERIFY(passwordHidden);
    QVERIFY(focusInPassword);
    QCOMPARE(user, QStringLiteral("SYSDBA"));
    QCOMPARE(password, QStringLiteral("tajné"));
    QCOMPARE(driver.seen().first().title, QStringLiteral("Přihlášení k databázi"));
}

void TestLoginDialog::cancelMakesTheAskingFail_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape);
    QTest::newRow("Storno clicked") << QKeySequence();
}

void TestLoginDialog::cancelMakesTheAskingFail()
{
    QFETCH(QKeySequence, key);
    QString user;
    QString password;
    ModalDriver driver;
    driver.then([key](QWidget *modal) {
        testsupport::typeText(testsupport::keyTarget(modal), QStringLiteral("Novák"));
        if (key.isEmpty())
            static_cast<LoginDialog *>(modal)->btnStorno->click();
        else
            testsupport::pressKey(modal, key);
    });
    QVERIFY(!askLogin(QStringLiteral("zelo.fdb"), user, password));
    VERIFY_DRIVER(driver);
    QCOMPARE(user, QString());
}

QTEST_MAIN(TestLoginDialog)
#include "tst_LoginDialog.moc"
