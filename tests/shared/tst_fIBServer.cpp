#include "DbFixture.h"
#include "ErrorTranslation.h"
#include "FileBytes.h"
#include "MessageBoxes.h"
#include "ModalDriver.h"
#include "SqlUtils.h"
#include "TestEnvironment.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "base/ProfileFile.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "fIBServer.h"
#include "ui/Application.h"
#include "ui/Cursor.h"
#include "ui/LoginDialog.h"
#include "ui/SystemColors.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

using platform::Database;
using platform::ProfileFile;
using testsupport::DbFixture;
using testsupport::ModalDriver;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

const QString kRoleUserPassword = QStringLiteral("heslo1");

QString uniqueUser(const QString &stem)
{
    return stem + QLatin1Char('_') + QString::number(QCoreApplication::applicationPid());
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Chooses a file in the file dialog the code under test opened.
ModalDriver::Action chooseFile(const QString &path)
{
    return [path](QWidget *modal) { testsupport::chooseFile(modal, path); };
}

ModalDriver::Action pressReturn()
{
    return [](QWidget *modal) { testsupport::pressKey(modal, QKeySequence(Qt::Key_Return)); };
}

} // namespace

class tst_fIBServer : public QObject {
    Q_OBJECT

    std::unique_ptr<DbFixture> fixture_;
    QString roleUser_;
    QString plainUser_;
    QString apostropheUser_;
    QTemporaryDir dir_;
    std::unique_ptr<TfrmIBServer> form_;

    // The dialog shown and active, as a user sees it.
    TfrmIBServer *shownForm()
    {
        form_->show();
        if (!QTest::qWaitForWindowExposed(form_.get()))
            return nullptr;
        testsupport::keyTarget(form_.get());
        return form_.get();
    }

    // The dialog's fields set for an automatic login to the fixture database.
    void fillLogin(const QString &user, const QString &password)
    {
        form_->btnRemote->setChecked(true);
        form_->edtServer->setText(QStringLiteral("localhost"));
        form_->edtDatabase->setText(fixture_->path());
        form_->boxNotLoginPrompt->setChecked(true);
        form_->edtUser_Name->setText(user);
        form_->edtPassword->setText(password);
        form_->boxLc_Ctype->setEditText(QStringLiteral("WIN1250"));
    }

    // Enters the role field from the password field by Tab.
    void tabIntoRole()
    {
        shownForm();
        form_->edtPassword->setEnabled(true);
        form_->edtPassword->setFocus();
        QTest::keyClick(form_->edtPassword, Qt::Key_Tab);
    }

    QStringList rolesBySysdba(const QString &sql)
    {
        auto connection = fixture_->openConnection();
        QStringList roles;
        SelectToList(sql, connection.get(), &roles);
        return roles;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        fixture_ = std::make_unique<DbFixture>(QStringLiteral("ibserver"));
        roleUser_ = uniqueUser(QStringLiteral("CONN_ROLES"));
        plainUser_ = uniqueUser(QStringLiteral("CONN_PLAIN"));
        apostropheUser_ = uniqueUser(QStringLiteral("O'BRIEN"));
        for (const QString &user : {roleUser_, plainUser_, apostropheUser_})
            fixture_->execute(QStringLiteral("create or alter user \"%1\" password '%2' using plugin Srp")
                                  .arg(QString(user).replace('"', "\"\""), kRoleUserPassword));
        fixture_->execute(QStringLiteral("create role UCETNI"));
        fixture_->execute(QStringLiteral("create role SKLADNIK"));
        fixture_->execute(QStringLiteral("grant UCETNI, SKLADNIK to \"%1\"").arg(roleUser_));
        fixture_->execute(QStringLiteral("grant UCETNI to \"%1\"").arg(apostropheUser_));
    }

    void cleanupTestCase()
    {
        form_.reset();
        for (const QString &user : {roleUser_, plainUser_, apostropheUser_}) {
            try {
                fixture_->execute(QStringLiteral("drop user \"%1\" using plugin Srp").arg(user));
            } catch (const Exception &) {
                // Users of a run that failed early may not exist.
            }
        }
    }

    void init() { form_ = std::make_unique<TfrmIBServer>(); }

    void cleanup()
    {
        form_.reset();
        platform::setAppCursor(platform::AppCursor::Default);
    }

    void componentsHaveTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("place");
        const QString form = QStringLiteral("form");
        QTest::newRow("boxUmisteni") << "boxUmisteni" << form << QRect(8, 8, 329, 97);
        QTest::newRow("btnLocal") << "btnLocal"
                                  << "boxUmisteni" << QRect(16, 16, 89, 17);
        QTest::newRow("btnRemote") << "btnRemote"
                                   << "boxUmisteni" << QRect(112, 16, 103, 17);
        QTest::newRow("edtServer") << "edtServer"
                                   << "boxUmisteni" << QRect(64, 40, 149, 21);
        QTest::newRow("edtDatabase") << "edtDatabase"
                                     << "boxUmisteni" << QRect(64, 64, 233, 21);
        QTest::newRow("btnOpenDlg") << "btnOpenDlg"
                                    << "boxUmisteni" << QRect(296, 64, 23, 22);
        QTest::newRow("Image") << "Image"
                               << "boxUmisteni" << QRect(286, 16, 33, 33);
        QTest::newRow("boxUzivatel") << "boxUzivatel" << form << QRect(8, 112, 201, 121);
        QTest::newRow("boxNotLoginPrompt") << "boxNotLoginPrompt"
                                           << "boxUzivatel" << QRect(8, 16, 129, 17);
        QTest::newRow("edtUser_Name") << "edtUser_Name"
                                      << "boxUzivatel" << QRect(56, 40, 129, 21);
        QTest::newRow("edtPassword") << "edtPassword"
                                     << "boxUzivatel" << QRect(56, 64, 129, 21);
        QTest::newRow("edtSql_Role") << "edtSql_Role"
                                     << "boxUzivatel" << QRect(56, 88, 129, 21);
        QTest::newRow("boxParametry") << "boxParametry" << form << QRect(216, 112, 121, 121);
        QTest::newRow("boxLc_Ctype") << "boxLc_Ctype"
                                     << "boxParametry" << QRect(8, 40, 97, 21);
        QTest::newRow("edtSQLDialect") << "edtSQLDialect"
                                       << "boxParametry" << QRect(8, 88, 97, 21);
        QTest::newRow("btnCfgLoad") << "btnCfgLoad" << form << QRect(8, 240, 25, 25);
        QTest::newRow("btnCfgSave") << "btnCfgSave" << form << QRect(32, 240, 25, 25);
        QTest::newRow("btnTest") << "btnTest" << form << QRect(64, 240, 75, 25);
        QTest::newRow("btnOK") << "btnOK" << form << QRect(184, 240, 75, 25);
        QTest::newRow("btnStorno") << "btnStorno" << form << QRect(264, 240, 75, 25);
    }

    void componentsHaveTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        auto *component = form_->findChild<QWidget *>(name);
        QVERIFY(component);
        QCOMPARE(component->parentWidget(),
                 parent == QLatin1String("form") ? form_.get() : form_->findChild<QWidget *>(parent));
        QTEST(component->geometry(), "place");
    }

    void labelsStandAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("lblServer") << "lblServer"
                                   << "Server:" << QPoint(24, 44);
        QTest::newRow("lblSoubor") << "lblSoubor"
                                   << "Databáze:" << QPoint(9, 68);
        QTest::newRow("lblUzivatel") << "lblUzivatel"
                                     << "Uživatel:" << QPoint(8, 44);
        QTest::newRow("lblHeslo") << "lblHeslo"
                                  << "Heslo:" << QPoint(19, 68);
        QTest::newRow("lblRole") << "lblRole"
                                 << "Role:" << QPoint(24, 92);
        QTest::newRow("lblSada") << "lblSada"
                                 << "Znak. sada:" << QPoint(8, 24);
        QTest::newRow("lblDialekt") << "lblDialekt"
                                    << "SQL dialekt:" << QPoint(8, 72);
    }

    void labelsStandAtTheirPlaces()
    {
        QFETCH(QString, name);
        auto *label = form_->findChild<QLabel *>(name);
        QVERIFY(label);
        QTEST(label->text(), "caption");
        QTEST(label->pos(), "place");
        QVERIFY(label->width() >= label->sizeHint().width());
    }

    void designTimeState()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("InterBase Server nastavení"));
        QCOMPARE(form_->size(), QSize(342, 268));
        QCOMPARE(form_->boxUmisteni->title(), QStringLiteral("Umístění"));
        QCOMPARE(form_->boxUzivatel->title(), QStringLiteral("Uživatel"));
        QCOMPARE(form_->boxParametry->title(), QStringLiteral("Parametry"));
        QCOMPARE(form_->btnLocal->text(), QStringLiteral("Tento počítač"));
        QCOMPARE(form_->btnRemote->text(), QStringLiteral("Vzdálený počítač"));
        QCOMPARE(form_->boxNotLoginPrompt->text(), QStringLiteral("Automatické přihlášení"));
        QCOMPARE(form_->btnTest->text(), QStringLiteral("&Test"));
        QCOMPARE(form_->btnOK->text(), QStringLiteral("&OK"));
        QCOMPARE(form_->btnStorno->text(), QStringLiteral("&Storno"));
        QCOMPARE(form_->btnCfgLoad->toolTip(), QStringLiteral("Načtení nastavení IB serveru z konfiguračního souboru"));
        QCOMPARE(form_->btnCfgSave->toolTip(),
                 QStringLiteral("Uložení nastavení IB serveru do konfiguračního souboru"));

        QVERIFY(form_->btnLocal->isChecked());
        QVERIFY(!form_->btnRemote->isChecked());
        QVERIFY(!form_->lblServer->isEnabled());
        QVERIFY(!form_->edtServer->isEnabled());
        QCOMPARE(platform::controlColor(form_->edtServer), platform::clInactiveCaptionText);
        QVERIFY(form_->btnOpenDlg->isEnabled());
        QVERIFY(!form_->boxNotLoginPrompt->isChecked());
        for (QWidget *loginField :
             {static_cast<QWidget *>(form_->lblUzivatel), static_cast<QWidget *>(form_->lblHeslo),
              static_cast<QWidget *>(form_->edtUser_Name), static_cast<QWidget *>(form_->edtPassword)})
            QVERIFY2(!loginField->isEnabled(), qPrintable(loginField->objectName()));
        QCOMPARE(platform::controlColor(form_->edtUser_Name), platform::clInactiveCaptionText);
        QCOMPARE(platform::controlColor(form_->edtPassword), platform::clInactiveCaptionText);
        QCOMPARE(form_->edtPassword->echoMode(), QLineEdit::Password);
        QVERIFY(form_->edtSql_Role->isEditable());
        QCOMPARE(form_->edtSql_Role->count(), 0);
        QVERIFY(form_->boxLc_Ctype->isEditable());
        QCOMPARE(comboItems(form_->boxLc_Ctype),
                 QStringList({"None", "ASCII", "DOS850", "DOS852", "DOS857", "Win1250"}));
        QCOMPARE(form_->boxLc_Ctype->currentText(), QStringLiteral("None"));
        QCOMPARE(form_->edtSQLDialect->text(), QString());

        for (QToolButton *speed : {form_->btnOpenDlg, form_->btnCfgLoad, form_->btnCfgSave}) {
            QCOMPARE(speed->focusPolicy(), Qt::NoFocus);
            QVERIFY(!speed->icon().isNull());
        }
        QVERIFY(!form_->Image->pixmap().isNull());
        QCOMPARE(form_->btnTest->focusPolicy(), Qt::ClickFocus);
        QVERIFY(form_->btnOK->isDefault());

        QCOMPARE(form_->IBDatabase->sqlDialect(), 1);
        QCOMPARE(form_->IBDatabase->defaultTransaction(), form_->IBTransaction);
        QVERIFY(form_->IBTransaction->params().isEmpty());
        for (TAgOpenDialog *dialog : QList<TAgOpenDialog *>{form_->OpenDlg, form_->SaveDlg}) {
            QCOMPARE(dialog->DefaultExt, QStringLiteral("cfg"));
            QVERIFY(dialog->ShowPlacesBar);
        }
    }

    void tabWalksTheControlsInOrder()
    {
        form_->btnRemote->setChecked(true);
        form_->boxNotLoginPrompt->setChecked(true);
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        QCOMPARE(QApplication::focusWidget(), form->btnOK);
        const QList<QWidget *> expected{
            form->btnStorno,         form->btnRemote,     form->edtServer,   form->edtDatabase,
            form->boxNotLoginPrompt, form->edtUser_Name,  form->edtPassword, form->edtSql_Role,
            form->boxLc_Ctype,       form->edtSQLDialect, form->btnOK};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void radioButtonsSwitchTheLocation()
    {
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        form->edtDatabase->setText(QStringLiteral("C:\\x.gdb"));
        form->btnLocal->setFocus();
        QTest::keyClick(form->btnLocal, Qt::Key_Right);
        QVERIFY(form->btnRemote->isChecked());
        QVERIFY(form->lblServer->isEnabled());
        QVERIFY(form->edtServer->isEnabled());
        QCOMPARE(platform::controlColor(form->edtServer), platform::clWindow);
        QVERIFY(!form->btnOpenDlg->isEnabled());
        QCOMPARE(form->edtDatabase->text(), QString());

        form->edtServer->setText(QStringLiteral("srv"));
        form->edtDatabase->setText(QStringLiteral("/data/x.gdb"));
        QTest::keyClick(form->btnRemote, Qt::Key_Left);
        QVERIFY(form->btnLocal->isChecked());
        QVERIFY(!form->lblServer->isEnabled());
        QVERIFY(!form->edtServer->isEnabled());
        QCOMPARE(platform::controlColor(form->edtServer), platform::clInactiveCaptionText);
        QVERIFY(form->btnOpenDlg->isEnabled());
        QCOMPARE(form->edtServer->text(), QString());
        QCOMPARE(form->edtDatabase->text(), QString());

        // Checking the button that is checked already runs nothing.
        form->edtDatabase->setText(QStringLiteral("C:\\y.gdb"));
        form->btnLocal->setChecked(true);
        QCOMPARE(form->edtDatabase->text(), QStringLiteral("C:\\y.gdb"));
    }

    void automaticLoginEnablesUserAndPassword()
    {
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        form->edtSql_Role->setEditText(QStringLiteral("UCETNI"));
        form->boxNotLoginPrompt->setFocus();
        QTest::keyClick(form->boxNotLoginPrompt, Qt::Key_Space);
        QVERIFY(form->boxNotLoginPrompt->isChecked());
        for (QWidget *field :
             QList<QWidget *>{form->lblUzivatel, form->lblHeslo, form->edtUser_Name, form->edtPassword})
            QVERIFY2(field->isEnabled(), qPrintable(field->objectName()));
        QCOMPARE(platform::controlColor(form->edtUser_Name), platform::clWindow);
        QCOMPARE(platform::controlColor(form->edtPassword), platform::clWindow);

        QTest::keyClick(form->boxNotLoginPrompt, Qt::Key_Space);
        QVERIFY(!form->edtUser_Name->isEnabled());
        QVERIFY(!form->lblHeslo->isEnabled());
        QCOMPARE(platform::controlColor(form->edtPassword), platform::clInactiveCaptionText);
        QVERIFY(form->edtSql_Role->isEnabled());
        QCOMPARE(form->edtSql_Role->currentText(), QStringLiteral("UCETNI"));
    }

    void loadFromDatabase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loginPrompt");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<bool>("local");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("characterSet");
        QTest::newRow("remote with every line")
            << "srv:C:\\data\\Účty.gdb" << false
            << QStringList{"user_name=NOVÁK", "password=tajné", "sql_role_name=UCETNI", "lc_ctype=DOS852"} << false
            << "srv"
            << "C:\\data\\Účty.gdb"
            << "NOVÁK"
            << "tajné"
            << "UCETNI"
            << "DOS852";
        QTest::newRow("local, login prompt, blank values keep the fields")
            << "C:\\x.gdb" << true << QStringList{"user_name= ", "password=", "sql_role_name=\t", "lc_ctype= "} << true
            << ""
            << "C:\\x.gdb"
            << "předem"
            << "předem"
            << "předem"
            << "Win1250";
        QTest::newRow("values are taken untrimmed")
            << "srv:/x.gdb" << false << QStringList{"user_name= NOVAK ", "lc_ctype= WIN1250"} << false << "srv"
            << "/x.gdb"
            << " NOVAK "
            << "předem"
            << "předem"
            << " WIN1250";
        QTest::newRow("server with a port")
            << "localhost/3051:/data/Účty.fdb" << false << QStringList{"user_name=NOVAK"} << false << "localhost/3051"
            << "/data/Účty.fdb"
            << "NOVAK"
            << "předem"
            << "předem"
            << "Win1250";
        QTest::newRow("empty name keeps the design-time location") << "" << false << QStringList() << true << ""
                                                                   << ""
                                                                   << "předem"
                                                                   << "předem"
                                                                   << "předem"
                                                                   << "Win1250";
    }

    void loadFromDatabase()
    {
        QFETCH(QString, name);
        QFETCH(bool, loginPrompt);
        QFETCH(QStringList, params);
        Database connection;
        connection.setDatabaseName(name);
        connection.setLoginPrompt(loginPrompt);
        connection.setSqlDialect(1);
        connection.setParams(params);
        for (QLineEdit *edit : {form_->edtUser_Name, form_->edtPassword})
            edit->setText(QStringLiteral("předem"));
        form_->edtSql_Role->setEditText(QStringLiteral("předem"));

        form_->LoadFromDatabase(&connection);
        QFETCH(bool, local);
        QCOMPARE(form_->btnLocal->isChecked(), local);
        QCOMPARE(form_->btnRemote->isChecked(), !local);
        QCOMPARE(form_->edtServer->isEnabled(), !local);
        QTEST(form_->edtServer->text(), "server");
        QTEST(form_->edtDatabase->text(), "database");
        QCOMPARE(form_->edtSQLDialect->text(), QStringLiteral("3"));
        QTEST(form_->edtUser_Name->text(), "user");
        QTEST(form_->edtPassword->text(), "password");
        QTEST(form_->edtSql_Role->currentText(), "role");
        QTEST(form_->boxLc_Ctype->currentText(), "characterSet");
        QCOMPARE(form_->boxNotLoginPrompt->isChecked(), !loginPrompt);
        QCOMPARE(form_->edtUser_Name->isEnabled(), !loginPrompt);
    }

    void locationRoundTripKeepsTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("server and unix path") << "srv:/data/x.fdb";
        QTest::newRow("server and drive path") << "srv:C:\\data\\x.gdb";
        QTest::newRow("server with a port") << "localhost/3197:/data/zelo.fdb";
        QTest::newRow("address with a port, Czech path") << "127.0.0.1/3191:/data/účetnictví.fdb";
        QTest::newRow("server with a service") << "srv/gds_db:C:\\data\\x.gdb";
        QTest::newRow("local path") << "C:\\data\\x.gdb";
    }

    // OK with nothing changed gives back the database name it was opened with.
    void locationRoundTripKeepsTheName()
    {
        QFETCH(QString, name);
        Database connection;
        connection.setDatabaseName(name);
        form_->LoadFromDatabase(&connection);
        Database saved;
        form_->SaveToDatabase(&saved);
        QCOMPARE(saved.databaseName(), name);
    }

    void saveToDatabase_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("characterSet");
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<int>("sqlDialect");
        QTest::newRow("server and path, automatic login")
            << "srv"
            << "C:\\x.gdb" << true << "UCETNI"
            << "WIN1250"
            << "1"
            << "srv:C:\\x.gdb"
            << QStringList{"user_name=NOVAK", "password=tajné", "sql_role_name=UCETNI", "lc_ctype=WIN1250"} << 1;
        QTest::newRow("empty server gives the path alone") << ""
                                                           << "/data/x.gdb" << false << " "
                                                           << "None"
                                                           << "3"
                                                           << "/data/x.gdb" << QStringList{"user_name=NOVAK"} << 3;
        QTest::newRow("server with empty path") << "srv"
                                                << "" << false << ""
                                                << ""
                                                << " 3 "
                                                << "srv:" << QStringList{"user_name=NOVAK", "lc_ctype="} << 3;
        QTest::newRow("blank dialect keeps the connection's")
            << ""
            << "x.gdb" << false << ""
            << "none"
            << "  "
            << "x.gdb" << QStringList{"user_name=NOVAK", "lc_ctype=none"} << 1;
    }

    void saveToDatabase()
    {
        QFETCH(QString, server);
        QFETCH(QString, database);
        QFETCH(bool, automatic);
        QFETCH(QString, role);
        QFETCH(QString, characterSet);
        QFETCH(QString, dialect);
        form_->btnRemote->setChecked(true);
        form_->edtServer->setText(server);
        form_->edtDatabase->setText(database);
        form_->boxNotLoginPrompt->setChecked(automatic);
        form_->edtUser_Name->setText(QStringLiteral("NOVAK"));
        form_->edtPassword->setText(QStringLiteral("tajné"));
        form_->edtSql_Role->setEditText(role);
        form_->boxLc_Ctype->setEditText(characterSet);
        form_->edtSQLDialect->setText(dialect);

        Database connection;
        connection.setSqlDialect(1);
        form_->SaveToDatabase(&connection);
        QTEST(connection.databaseName(), "name");
        QCOMPARE(connection.loginPrompt(), !automatic);
        QTEST(connection.params(), "params");
        QTEST(connection.sqlDialect(), "sqlDialect");
    }

    void saveToDatabaseRefusesBadDialect_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<bool>("conversion");
        QTest::newRow("no integer") << "tři" << true;
        QTest::newRow("below one") << "0" << false;
    }

    void saveToDatabaseRefusesBadDialect()
    {
        QFETCH(QString, dialect);
        QFETCH(bool, conversion);
        form_->edtDatabase->setText(QStringLiteral("x.gdb"));
        form_->edtSQLDialect->setText(dialect);
        Database connection;
        bool convertError = false;
        bool databaseError = false;
        try {
            form_->SaveToDatabase(&connection);
        } catch (const EConvertError &) {
            convertError = true;
        } catch (const EDatabaseError &) {
            databaseError = true;
        }
        QCOMPARE(convertError, conversion);
        QCOMPARE(databaseError, !conversion);
        QCOMPARE(connection.databaseName(), QStringLiteral("x.gdb"));
        QCOMPARE(connection.sqlDialect(), 3);
    }

    void profileWithoutLocationWarns_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("no server and no database") << QByteArray("[IBServer]\r\nLocal=1\r\nSQLDialect=1\r\n");
    }

    void profileWithoutLocationWarns()
    {
        QFETCH(QByteArray, content);
        const QString path = dir_.filePath(QStringLiteral("empty.cfg"));
        QFile::remove(path);
        if (!content.isEmpty())
            writeBytes(path, content);
        form_->edtDatabase->setText(QStringLiteral("C:\\stay.gdb"));
        const ProfileFile profile(path);
        ModalDriver driver;
        driver.then(pressReturn());
        form_->LoadFromIni(&profile);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[0].text, QStringLiteral("Zadaný soubor neobsahuje informaci o nastavení IB serveru."));
        QCOMPARE(form_->edtDatabase->text(), QStringLiteral("C:\\stay.gdb"));
        QVERIFY(form_->btnLocal->isChecked());
        QCOMPARE(form_->edtSQLDialect->text(), QString());
    }

    void profileFillsTheLocation_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("local");
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("characterSet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("sqlDialect");
        QTest::newRow("local with a server names that server")
            << QByteArray("[IBServer]\r\nLocal=1\r\nServer=srv\r\nDatabase=C:\\\xda\xe8ty.gdb\r\nSQLDialect=1\r\n"
                          "Characters=DOS852\r\n")
            << true << "1"
            << "DOS852"
            << "srv:C:\\Účty.gdb" << 1;
        QTest::newRow("remote by default, dialect and character set defaults")
            << QByteArray("[IBServer]\r\nServer=srv\r\nDatabase=/data/x.gdb\r\n") << false << "3"
            << "Win1250"
            << "srv:/data/x.gdb" << 3;
        QTest::newRow("empty dialect leaves the connection's")
            << QByteArray("[IBServer]\r\nLocal=0\r\nDatabase=x.gdb\r\nSQLDialect=\r\nCharacters=\r\n") << false << ""
            << ""
            << "x.gdb" << 2;
    }

    void profileFillsTheLocation()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, local);
        const QString path = dir_.filePath(QStringLiteral("profile.cfg"));
        writeBytes(path, content);
        if (local)
            form_->btnRemote->setChecked(true); // the other state before the load
        form_->edtSQLDialect->setEnabled(false);
        const ProfileFile profile(path);
        form_->LoadFromIni(&profile);
        QCOMPARE(form_->btnLocal->isChecked(), local);
        QCOMPARE(form_->btnRemote->isChecked(), !local);
        QCOMPARE(form_->edtServer->isEnabled(), !local);
        QTEST(form_->edtSQLDialect->text(), "dialect");
        QTEST(form_->boxLc_Ctype->currentText(), "characterSet");

        Database connection;
        connection.setSqlDialect(2);
        form_->SaveToDatabase(&connection);
        QTEST(connection.databaseName(), "name");
        QTEST(connection.sqlDialect(), "sqlDialect");
    }

    void profileKeepsEverythingElse()
    {
        const QString path = dir_.filePath(QStringLiteral("foreign.cfg"));
        writeBytes(path, "; profil\r\n[IBServer]\r\nServer=stary\r\nJine=zustane\r\n[Dalsi]\r\nServer=nechat\r\n");
        form_->btnRemote->setChecked(true);
        form_->edtServer->setText(QStringLiteral("nový"));
        form_->edtDatabase->setText(QStringLiteral("/data/Účty.gdb"));
        form_->edtSQLDialect->setText(QStringLiteral("1"));
        form_->boxLc_Ctype->setEditText(QStringLiteral("WIN1250"));
        form_->boxNotLoginPrompt->setChecked(true);
        form_->edtUser_Name->setText(QStringLiteral("NOVAK"));
        form_->edtPassword->setText(QStringLiteral("tajne"));
        form_->edtSql_Role->setEditText(QStringLiteral("UCETNI"));
        ProfileFile profile(path);
        form_->SaveToIni(&profile);

        const QByteArray after = readBytes(path);
        QVERIFY(after.startsWith("; profil\r\n[IBServer]\r\n"));
        QVERIFY(after.contains("Server=nov\xfd\r\n"));
        QVERIFY(after.contains("Jine=zustane"));
        QVERIFY(after.contains("Database=/data/\xda\xe8ty.gdb"));
        QVERIFY(after.contains("[Dalsi]\r\nServer=nechat"));
        for (const char *never : {"NOVAK", "tajne", "UCETNI"})
            QVERIFY2(!after.contains(never), never);
        QCOMPARE(profile.readString("IBServer", "Local", "-"), QStringLiteral("0"));
        QCOMPARE(profile.readString("IBServer", "SQLDialect", "-"), QStringLiteral("1"));
        QCOMPARE(profile.readString("IBServer", "Characters", "-"), QStringLiteral("WIN1250"));
    }

    void profileNewFileHasFiveKeysInOrder()
    {
        const QString path = dir_.filePath(QStringLiteral("new.cfg"));
        QFile::remove(path);
        form_->edtDatabase->setText(QStringLiteral("C:\\x.gdb"));
        form_->edtSQLDialect->setText(QStringLiteral("3"));
        ProfileFile profile(path);
        form_->SaveToIni(&profile);
        QCOMPARE(readBytes(path).replace("\r\n", "\n"),
                 QByteArray("[IBServer]\nLocal=1\nServer=\nDatabase=C:\\x.gdb\nSQLDialect=3\nCharacters=None\n"));
        form_->LoadFromIni(nullptr);
        form_->SaveToIni(nullptr);
    }

    void profileSaveWithNothingFilledWarns()
    {
        const QString path = dir_.filePath(QStringLiteral("nothing.cfg"));
        QFile::remove(path);
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        ModalDriver driver;
        driver.then(pressReturn());
        QTest::mouseClick(form->btnCfgSave, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        QCOMPARE(
            driver.seen()[0].text,
            QStringLiteral("Informace o nastavení IB serveru není úplná. Zadejte jméno serveru a název databáze."));
        QVERIFY(QDir(dir_.path()).entryList({"*.cfg"}).filter("nothing").isEmpty());
    }

    void profileSaveAndLoadThroughTheFileDialogs()
    {
        const QString path = dir_.filePath(QStringLiteral("lokalni.cfg"));
        QFile::remove(path);
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        form->edtDatabase->setText(QStringLiteral("C:\\Účty.gdb"));
        form->edtSQLDialect->setText(QStringLiteral("1"));
        {
            ModalDriver driver;
            driver.then(chooseFile(path));
            QTest::mouseClick(form->btnCfgSave, Qt::LeftButton);
            VERIFY_DRIVER(driver);
            QCOMPARE(driver.seen()[0].title, QStringLiteral("Zadejte cestu ke konfiguračnímu souboru"));
        }
        QCOMPARE(form->SaveDlg->Filter, QStringLiteral("soubory konfigurace (*.cfg)|*.cfg"));
        QCOMPARE(ProfileFile(path).readString("IBServer", "Database", "-"), QStringLiteral("C:\\Účty.gdb"));

        form->btnRemote->setChecked(true);
        QCOMPARE(form->edtDatabase->text(), QString());
        {
            ModalDriver driver;
            driver.then(chooseFile(path));
            QTest::mouseClick(form->btnCfgLoad, Qt::LeftButton);
            VERIFY_DRIVER(driver);
            QCOMPARE(driver.seen()[0].title, QStringLiteral("Zadejte cestu ke konfiguračnímu souboru"));
        }
        QCOMPARE(form->OpenDlg->Filter, QStringLiteral("soubory konfigurace (*.cfg)|*.cfg"));
        QVERIFY(form->btnLocal->isChecked());
        QCOMPARE(form->edtDatabase->text(), QStringLiteral("C:\\Účty.gdb"));
        QCOMPARE(form->edtSQLDialect->text(), QStringLiteral("1"));
    }

    void profileLoadOfMissingFileWarns()
    {
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        ModalDriver driver;
        driver.then(chooseFile(dir_.filePath(QStringLiteral("neni.cfg")))).then(pressReturn());
        QTest::mouseClick(form->btnCfgLoad, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Zadaný soubor neobsahuje informaci o nastavení IB serveru."));
    }

    void browseFillsTheDatabaseFile()
    {
        const QString path = dir_.filePath(QStringLiteral("data.fdb"));
        writeBytes(path, "x");
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        form->edtDatabase->setText(dir_.path());
        {
            ModalDriver driver;
            driver.then(chooseFile(path));
            QTest::mouseClick(form->btnOpenDlg, Qt::LeftButton);
            VERIFY_DRIVER(driver);
            QCOMPARE(driver.seen()[0].title, QStringLiteral("Zadejte cestu k databázovému souboru"));
            QCOMPARE(form->OpenDlg->Filter, QStringLiteral("databázové soubory InterBase (*.gdb, *.idb, *.ib, *.fb)|"
                                                           "*.gdb;*.idb;*.ib;*.fb"));
            QCOMPARE(form->OpenDlg->InitialDir, dir_.path());
            QCOMPARE(form->edtDatabase->text(), path);
        }

        ModalDriver cancelled;
        cancelled.then([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
        form->btnOpenDlg->click();
        VERIFY_DRIVER(cancelled);
        QCOMPARE(form->edtDatabase->text(), path);
    }

    void testReportsSuccess()
    {
        fillLogin(roleUser_, kRoleUserPassword);
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        ModalDriver driver;
        driver.then(pressReturn());
        QTest::mouseClick(form->btnTest, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Informace"));
        QCOMPARE(driver.seen()[0].text, QStringLiteral("Připojení se podařilo."));
        QVERIFY(!form->IBDatabase->isOpen());
        QCOMPARE(form->IBDatabase->databaseName(), testsupport::overTcp(fixture_->path()));
    }

    void enterAfterTestRunsTheTestAgain()
    {
        // A clicked button keeps the focus, and Enter presses the focused button.
        fillLogin(roleUser_, kRoleUserPassword);
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        ModalDriver driver;
        driver.then(pressReturn()).then(pressReturn());
        QTest::mouseClick(form->btnTest, Qt::LeftButton);
        QCOMPARE(form->focusWidget(), form->btnTest);
        testsupport::pressKey(form, QKeySequence(Qt::Key_Return));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].text, QStringLiteral("Připojení se podařilo."));
    }

    void testWithWrongPasswordShowsTheComposedError()
    {
        QString expected;
        {
            Database wrong;
            wrong.setDatabaseName(testsupport::overTcp(fixture_->path()));
            wrong.setParams({"user_name=" + roleUser_, "password=spatne"});
            try {
                wrong.open();
            } catch (const EIBError &error) {
                QCOMPARE(error.errorCode(), 335544472);
                expected = ComposeErrorMessage(QStringLiteral("Připojení se nepodařilo!"), error);
            }
        }
        QVERIFY(expected.startsWith(QStringLiteral("Připojení se nepodařilo!")));
        fillLogin(roleUser_, QStringLiteral("spatne"));
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        ModalDriver driver;
        driver.then(pressReturn());
        QTest::mouseClick(form->btnTest, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Chyba!"));
        QCOMPARE(driver.seen()[0].icon, int(QMessageBox::Critical));
        QCOMPARE(driver.seen()[0].text, expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(form->isVisible());
        QVERIFY(!form->IBDatabase->isOpen());
    }

    void testWithBadDialectReachesTheDefaultErrorBox()
    {
        fillLogin(roleUser_, kRoleUserPassword);
        form_->edtSQLDialect->setText(QStringLiteral("0"));
        TfrmIBServer *form = shownForm();
        QVERIFY(form);
        ModalDriver driver;
        driver.then(pressReturn());
        QTest::mouseClick(form->btnTest, Qt::LeftButton);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].title, platform::applicationTitle());
        QVERIFY(!driver.seen()[0].text.contains(QStringLiteral("Připojení se nepodařilo!")));
        QVERIFY(!form->IBDatabase->isOpen());
    }

    void roleStatementText_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("statement");
        QTest::newRow("plain name as given")
            << "Novak"
            << "select RDB$RELATION_NAME from RDB$USER_PRIVILEGES where (UPPER(RDB$USER) = UPPER('Novak')) and "
               "(UPPER(RDB$PRIVILEGE) = 'M')";
        QTest::newRow("apostrophes doubled")
            << "X') or (1=1"
            << "select RDB$RELATION_NAME from RDB$USER_PRIVILEGES where (UPPER(RDB$USER) = UPPER('X'') or (1=1')) and "
               "(UPPER(RDB$PRIVILEGE) = 'M')";
    }

    void roleStatementText()
    {
        QFETCH(QString, user);
        QTEST(RoleStatement(user), "statement");
    }

    void roleStatementCannotBeWidened()
    {
        // Spliced in as typed, this name would list every granted role.
        const QString widening = QStringLiteral("X')) or (('1'='1");
        const QString spliced = QStringLiteral("select RDB$RELATION_NAME from RDB$USER_PRIVILEGES where "
                                               "(UPPER(RDB$USER) = UPPER('%1')) and (UPPER(RDB$PRIVILEGE) = 'M')")
                                    .arg(widening);
        QVERIFY(rolesBySysdba(spliced).contains(QStringLiteral("UCETNI")));
        for (const QString &crafted : {widening, QStringLiteral("X') or (1=1")})
            QCOMPARE(rolesBySysdba(RoleStatement(crafted)), QStringList());
        QCOMPARE(rolesBySysdba(RoleStatement(apostropheUser_.toLower())), QStringList{"UCETNI"});
    }

    void enteringRoleListsTheUsersRoles_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("roles");
        QTest::newRow("two roles") << "roles" << QStringList{"SKLADNIK", "UCETNI"};
        QTest::newRow("no roles") << "plain" << QStringList();
        QTest::newRow("name with an apostrophe") << "apostrophe" << QStringList{"UCETNI"};
    }

    void enteringRoleListsTheUsersRoles()
    {
        QFETCH(QString, user);
        QFETCH(QStringList, roles);
        const QString login = user == QLatin1String("roles")   ? roleUser_
                              : user == QLatin1String("plain") ? plainUser_
                                                               : apostropheUser_;
        fillLogin(login, kRoleUserPassword);
        form_->edtSql_Role->setEditText(QStringLiteral("STARA"));
        tabIntoRole();
        QCOMPARE(QApplication::focusWidget(), form_->edtSql_Role);
        QCOMPARE(sorted(comboItems(form_->edtSql_Role)), roles);
        QCOMPARE(form_->edtSql_Role->currentText(), comboItems(form_->edtSql_Role).value(0));
        QVERIFY(!form_->IBDatabase->isOpen());
        QVERIFY(!form_->IBTransaction->inTransaction());
        QCOMPARE(platform::appCursor(), platform::AppCursor::Default);
    }

    void rolesAreOfferedOnlyWhenTheFieldIsEntered()
    {
        fillLogin(roleUser_, kRoleUserPassword);
        int offers = 0;
        connect(form_->IBDatabase, &Database::afterConnect, this, [&offers] { ++offers; });
        tabIntoRole();
        QCOMPARE(offers, 1);

        // A message box over the dialog, then the dialog active again as a
        // window manager makes it: the field still has the focus, it is not
        // entered anew.
        ModalDriver driver;
        driver.then(pressReturn());
        QTimer::singleShot(0, [] { ShowInfo(QStringLiteral("Informace")); });
        VERIFY_DRIVER(driver);
        testsupport::keyTarget(form_.get());
        QCOMPARE(QApplication::focusWidget(), form_->edtSql_Role);
        QCOMPARE(offers, 1);

        // The item list opened and closed again.
        QTest::keyClick(form_->edtSql_Role, Qt::Key_F4);
        QTRY_VERIFY(form_->edtSql_Role->view()->isVisible());
        QTest::keyClick(form_->edtSql_Role->view(), Qt::Key_Escape);
        QTRY_VERIFY(!form_->edtSql_Role->view()->isVisible());
        QCOMPARE(QApplication::focusWidget(), form_->edtSql_Role);
        QCOMPARE(offers, 1);

        // Leaving and entering again offers the roles again.
        QTest::keyClick(form_->edtSql_Role, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), form_->edtSql_Role);
        QCOMPARE(offers, 2);
    }

    void roleFailureEmptiesTheRoleSilently()
    {
        fillLogin(roleUser_, QStringLiteral("spatne"));
        form_->edtSql_Role->setEditText(QStringLiteral("UCETNI"));
        ModalDriver driver;
        tabIntoRole();
        QVERIFY(driver.seen().isEmpty());
        QCOMPARE(form_->edtSql_Role->currentText(), QString());
        QVERIFY(!form_->IBDatabase->isOpen());
    }

    void roleWithLoginPrompt_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled login empties the role") << true;
        QTest::newRow("crafted name with a real login gives no roles") << false;
    }

    void roleWithLoginPrompt()
    {
        QFETCH(bool, cancel);
        fillLogin(QStringLiteral("X')) or (('1'='1"), QString());
        form_->boxNotLoginPrompt->setChecked(false);
        form_->edtSql_Role->setEditText(QStringLiteral("UCETNI"));
        ModalDriver driver;
        driver.then([cancel](QWidget *modal) {
            auto *login = qobject_cast<platform::LoginDialog *>(modal);
            if (!login || cancel) {
                testsupport::pressKey(modal, QKeySequence(Qt::Key_Escape));
                return;
            }
            login->edtUserName->setText(QStringLiteral("SYSDBA"));
            login->edtPassword->setText(testsupport::sysdbaPassword());
            login->btnOk->click();
        });
        tabIntoRole();
        VERIFY_DRIVER(driver);
        // The window manager gives the field its focus back as the login
        // dialog goes: that enters nothing, no second login dialog opens.
        testsupport::keyTarget(form_.get());
        form_->edtSql_Role->clearFocus();
        form_->edtSql_Role->setFocus(Qt::OtherFocusReason);
        QCOMPARE(QApplication::focusWidget(), form_->edtSql_Role);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].className, QStringLiteral("platform::LoginDialog"));
        QCOMPARE(comboItems(form_->edtSql_Role), QStringList());
        QCOMPARE(form_->edtSql_Role->currentText(), QString());
        QVERIFY(!form_->IBDatabase->isOpen());
    }
};

ZELO_TEST_MAIN(tst_fIBServer)
#include "tst_fIBServer.moc"
