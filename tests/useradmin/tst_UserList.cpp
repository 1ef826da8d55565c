// The user list over DB$UZIV: its actions by key, what they leave in the
// database and when it is committed, the status texts and the sorting.

#include "ADBGrid.h"
#include "AEdit.h"
#include "DACrypt.h"
#include "DataSource.h"
#include "DbFixture.h"
#include "ModalDriver.h"
#include "TestMain.h"
#include "base/Exceptions.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Field.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "fUzivU_s.h"
#include "fUziv_s.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QToolButton>

using testsupport::DbFixture;
using testsupport::ModalDriver;
using testsupport::pressKey;
using testsupport::retype;

namespace {

const QKeySequence kYes(Qt::Key_A);
const QKeySequence kNo(Qt::Key_N);
const QKeySequence kOk(Qt::Key_Return);

TfrmUziv_s *asList(QWidget *modal)
{
    return qobject_cast<TfrmUziv_s *>(modal);
}
TfrmUzivU_s *asEditor(QWidget *modal)
{
    return qobject_cast<TfrmUzivU_s *>(modal);
}

QString currentLogin(const TfrmUziv_s *list)
{
    return list->setUser->fieldByName(QStringLiteral("UZI$LOGIN"))->asString();
}

// The logins in the grid, top to bottom, as the user sees them.
QStringList gridLogins(const TfrmUziv_s *list)
{
    QStringList logins;
    const QAbstractItemModel *model = list->grdUziv->model();
    for (int row = 0; row < model->rowCount(); ++row)
        logins.append(model->index(row, 0).data().toString());
    return logins;
}

// The grid's rows as login and first name, top to bottom.
QStringList gridRows(const TfrmUziv_s *list)
{
    QStringList rows;
    const QAbstractItemModel *model = list->grdUziv->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString() + QLatin1Char(' ') + model->index(row, 2).data().toString());
    return rows;
}

// The login of the grid's highlighted row.
QString gridCurrentLogin(const TfrmUziv_s *list)
{
    const QModelIndex current = list->grdUziv->currentIndex();
    return current.isValid() ? current.siblingAtColumn(0).data().toString() : QString();
}

QString status(const TfrmUziv_s *list)
{
    return list->barUziv->currentMessage();
}

// What a menu draws of its items: the text and, after a tab, the shortcut;
// "-" for a separator.
class MenuItemTexts : public QProxyStyle {
public:
    MenuItemTexts() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

    mutable QStringList drawn;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option); item && element == CE_MenuItem)
            drawn << (item->menuItemType == QStyleOptionMenuItem::Separator ? QStringLiteral("-") : item->text);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// Waits until the driver has met `count` modal windows and `window` is the
// topmost modal again.
bool waitForBack(const ModalDriver &driver, QWidget *window, int count)
{
    return QTest::qWaitFor(
        [&] { return driver.seen().size() >= count && QApplication::activeModalWidget() == window; });
}

QString focusedName(QWidget *window)
{
    QWidget *focused = window->focusWidget();
    return focused ? focused->objectName() : QString();
}

std::optional<QString> userCount(const DbFixture &fixture)
{
    return fixture.readValue(QStringLiteral("select count(*) from DB$UZIV"));
}

std::optional<QString> logins(const DbFixture &fixture)
{
    return fixture.readValue(QStringLiteral("select cast(list(UZI$LOGIN) as varchar(200)) from "
                                            "(select UZI$LOGIN from DB$UZIV order by 1)"));
}

// Shows the list over a connection of its own, like the main window.
void showList(const DbFixture &fixture)
{
    auto database = fixture.openConnection();
    ShowUserList(database.get());
}

} // namespace

class TestUserList : public QObject {
    Q_OBJECT

private slots:
    void newUserThroughInsPassesTheChecksAndIsCommitted()
    {
        DbFixture fixture(QStringLiteral("list-new"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("DVORAK"), std::nullopt, QStringLiteral("Dvořák"));
        ModalDriver driver;
        QStringList focusAfterChecks;
        QString loginAfter, gridLoginAfter, statusAfter;
        std::optional<QString> storedWhileOpen;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Insert);
            loginAfter = currentLogin(list);
            gridLoginAfter = gridCurrentLogin(list);
            statusAfter = status(list);
            storedWhileOpen =
                fixture.readValue(QStringLiteral("select UZI$HESLO from DB$UZIV where UZI$LOGIN = 'CERNY'"));
            pressKey(list, Qt::Key_Escape);
        });
        driver.then([&](QWidget *modal) {
            TfrmUzivU_s *editor = asEditor(modal);
            pressKey(editor, Qt::Key_F12);
            if (!waitForBack(driver, editor, 3))
                return;
            focusAfterChecks << focusedName(editor);
            retype(editor->edtUserName, QStringLiteral("cerny"));
            retype(editor->edtPassword1, QStringLiteral("abc"));
            pressKey(editor, Qt::Key_F12);
            if (!waitForBack(driver, editor, 4))
                return;
            focusAfterChecks << focusedName(editor);
            retype(editor->edtPassword2, QStringLiteral("abc"));
            pressKey(editor, Qt::Key_F12);
            if (!waitForBack(driver, editor, 5))
                return;
            focusAfterChecks << focusedName(editor);
            retype(editor->edtPrijmeni, QStringLiteral("Černý"));
            QTest::mouseClick(editor->btnOk, Qt::LeftButton);
        });
        driver.thenKeys({kOk}).thenKeys({kOk}).thenKeys({kOk});
        showList(fixture);
        VERIFY_DRIVER(driver);
        QStringList messages;
        for (int i = 2; i < driver.seen().size(); ++i)
            messages << driver.seen()[i].title + QLatin1Char(':') + driver.seen()[i].text;
        QCOMPARE(messages, (QStringList{"Upozornění:Vyplňte údaj 'Přihlašovací jméno'!",
                                        "Upozornění:Chybně potvrzené heslo!", "Upozornění:Vyplňte údaj 'Příjmení'!"}));
        QCOMPARE(focusAfterChecks, (QStringList{"edtUserName", "edtPassword2", "edtPrijmeni"}));
        QCOMPARE(loginAfter, QStringLiteral("CERNY"));
        QCOMPARE(gridLoginAfter, QStringLiteral("CERNY"));
        QCOMPARE(statusAfter, QStringLiteral("JEN ČTENÍ"));
        QCOMPARE(storedWhileOpen, std::optional(EncodePassword(QStringLiteral("abc"), kUsersTableKey)));
    }

    void changeOfLoginThroughF4()
    {
        DbFixture fixture(QStringLiteral("list-change"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("DVORAK"), std::nullopt, QStringLiteral("Dvořák"), QStringLiteral("Jan"),
                        QStringLiteral("Z"), QStringLiteral("d@example.cz"), QStringLiteral("pozn"));
        ModalDriver driver;
        QString shownLogin, loginAfter, gridLoginAfter, statusAfter;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Down);
            pressKey(list, Qt::Key_F4);
            loginAfter = currentLogin(list);
            gridLoginAfter = gridCurrentLogin(list);
            statusAfter = status(list);
            pressKey(list, Qt::Key_Escape);
        });
        driver.then([&](QWidget *modal) {
            TfrmUzivU_s *editor = asEditor(modal);
            shownLogin = editor->edtUserName->text();
            retype(editor->edtUserName, QStringLiteral("dvorsky"));
            pressKey(editor, Qt::Key_F12);
        });
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(shownLogin, QStringLiteral("DVORAK"));
        QCOMPARE(loginAfter, QStringLiteral("DVORSKY"));
        QCOMPARE(gridLoginAfter, QStringLiteral("DVORSKY"));
        QCOMPARE(statusAfter, QStringLiteral("ZÁPIS"));
        QCOMPARE(logins(fixture), QStringLiteral("BENES,DVORSKY"));
        QCOMPARE(fixture.readValue(QStringLiteral("select UZI$JMENO || UZI$EMAIL || UZI$POZN from DB$UZIV "
                                                  "where UZI$LOGIN = 'DVORSKY'")),
                 QStringLiteral("Jand@example.czpozn"));
    }

    void deleteIsCommittedByF5_data()
    {
        QTest::addColumn<QKeySequence>("answer");
        QTest::addColumn<QStringList>("gridAfterDelete");
        QTest::addColumn<QString>("currentAfterDelete");
        QTest::newRow("Yes deletes") << kYes << QStringList{"BENES", "DVORAK"} << "DVORAK";
        QTest::newRow("No keeps") << kNo << QStringList{"BENES", "CAPEK", "DVORAK"} << "CAPEK";
    }
    void deleteIsCommittedByF5()
    {
        QFETCH(QKeySequence, answer);
        QFETCH(QStringList, gridAfterDelete);
        DbFixture fixture(QStringLiteral("list-delete"));
        for (const char *login : {"BENES", "CAPEK", "DVORAK"})
            fixture.addUser(QString::fromLatin1(login), std::nullopt, QStringLiteral("Příjmení"));
        ModalDriver driver;
        QStringList gridAfter;
        QString currentAfter, currentAfterF5;
        std::optional<QString> storedBeforeF5, storedAfterF5;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Down);
            pressKey(list, Qt::Key_Delete);
            if (!waitForBack(driver, list, 2))
                return;
            gridAfter = gridLogins(list);
            currentAfter = gridCurrentLogin(list);
            storedBeforeF5 = logins(fixture);
            pressKey(list, Qt::Key_F5);
            storedAfterF5 = logins(fixture);
            currentAfterF5 = currentLogin(list);
            pressKey(list, Qt::Key_Escape);
        });
        driver.thenKeys({answer});
        showList(fixture);
        VERIFY_DRIVER(driver);
        const testsupport::ModalRecord &question = driver.seen().value(1);
        QCOMPARE(question.title, QStringLiteral("Upozornění"));
        QCOMPARE(question.text, QStringLiteral("Opravdu si přejete vymazat vybraného uživatele?"));
        QCOMPARE(question.buttons, (QStringList{"&Ano", "&Ne"}));
        QCOMPARE(question.defaultButton, QStringLiteral("&Ano"));
        QCOMPARE(question.icon, int(QMessageBox::Warning));
        QCOMPARE(gridAfter, gridAfterDelete);
        QTEST(currentAfter, "currentAfterDelete");
        QCOMPARE(storedBeforeF5, QStringLiteral("BENES,CAPEK,DVORAK"));
        QCOMPARE(storedAfterF5, gridAfterDelete.join(QLatin1Char(',')));
        QTEST(currentAfterF5, "currentAfterDelete");
    }

    void failedDeleteShowsItsMessage()
    {
        DbFixture fixture(QStringLiteral("list-delete-fails"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.execute(QStringLiteral("create exception E_KEEP 'keep'"));
        fixture.execute(QStringLiteral("create trigger KEEP_USERS for DB$UZIV before delete as begin "
                                       "exception E_KEEP; end"));
        ModalDriver driver;
        QStringList gridAfter;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Delete);
            if (!waitForBack(driver, list, 3))
                return;
            gridAfter = gridLogins(list);
            pressKey(list, Qt::Key_Escape);
        });
        driver.thenKeys({kYes}).thenKeys({kOk});
        showList(fixture);
        VERIFY_DRIVER(driver);
        const testsupport::ModalRecord &message = driver.seen().value(2);
        QCOMPARE(message.title + QLatin1Char(':') + message.text,
                 QStringLiteral("Upozornění:Chyba při mazání uživatele!"));
        QCOMPARE(message.icon, int(QMessageBox::Warning));
        QCOMPARE(message.buttons, QStringList{"OK"});
        QCOMPARE(gridAfter, QStringList{"BENES"});
        QCOMPARE(userCount(fixture), QStringLiteral("1"));
    }

    void sortByTitleClickIsKeptByF5()
    {
        DbFixture fixture(QStringLiteral("list-sort"));
        fixture.addUser(QStringLiteral("ADAM"), std::nullopt, QStringLiteral("Zeman"));
        fixture.addUser(QStringLiteral("BOHM"), std::nullopt, QStringLiteral("Novák"));
        fixture.addUser(QStringLiteral("CIHLA"), std::nullopt, QStringLiteral("Adámek"));
        ModalDriver driver;
        QStringList sorted, afterF5;
        QString currentAfterF5;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            QHeaderView *titles = list->grdUziv->horizontalHeader();
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                              QPoint(titles->sectionViewportPosition(1) + titles->sectionSize(1) / 2, 5));
            sorted = gridLogins(list);
            list->grdUziv->setFocus();
            pressKey(list, Qt::Key_Down);
            pressKey(list, Qt::Key_F5);
            afterF5 = gridLogins(list);
            currentAfterF5 = gridCurrentLogin(list);
            pressKey(list, Qt::Key_Escape);
        });
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(sorted, (QStringList{"CIHLA", "BOHM", "ADAM"}));
        QCOMPARE(afterF5, sorted);
        QCOMPARE(currentAfterF5, QStringLiteral("BOHM"));
    }

    void emptyTableOffersOnlyANewUser()
    {
        DbFixture fixture(QStringLiteral("list-empty"));
        ModalDriver driver;
        QString statusAtStart;
        QStringList gridAtStart;
        platform::DataSetState stateInEditor{};
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            statusAtStart = status(list);
            gridAtStart = gridLogins(list);
            // Nothing to change or delete: no window may open.
            pressKey(list, Qt::Key_F4);
            pressKey(list, Qt::Key_Delete);
            pressKey(list, Qt::Key_Insert);
            pressKey(list, Qt::Key_Escape);
        });
        driver.then([&](QWidget *modal) {
            TfrmUzivU_s *editor = asEditor(modal);
            stateInEditor = editor->FDataSet->state();
            pressKey(editor, Qt::Key_Escape);
        });
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 2);
        QCOMPARE(driver.seen()[1].className, QStringLiteral("TfrmUzivU_s"));
        QCOMPARE(statusAtStart, QString());
        QCOMPARE(gridAtStart, QStringList());
        QCOMPARE(stateInEditor, platform::DataSetState::Insert);
        QCOMPARE(userCount(fixture), QStringLiteral("0"));
    }

    void statusBarShowsTheRightOfTheCurrentRow_data()
    {
        QTest::addColumn<QString>("firstRight");
        QTest::addColumn<QString>("secondRight");
        QTest::addColumn<QString>("statusOnFirst");
        QTest::addColumn<QString>("statusOnSecond");
        QTest::newRow("read only, then write") << "R"
                                               << "Z"
                                               << "JEN ČTENÍ"
                                               << "ZÁPIS";
        QTest::newRow("administrator, then unknown letter") << "A"
                                                            << "X"
                                                            << "ADMINISTRÁTOR"
                                                            << "ADMINISTRÁTOR";
        QTest::newRow("lower case, then read only") << "a"
                                                    << "R"
                                                    << ""
                                                    << "JEN ČTENÍ";
    }
    void statusBarShowsTheRightOfTheCurrentRow()
    {
        QFETCH(QString, firstRight);
        QFETCH(QString, secondRight);
        DbFixture fixture(QStringLiteral("list-status"));
        fixture.addUser(QStringLiteral("AAA"), std::nullopt, QStringLiteral("A"), std::nullopt, firstRight);
        fixture.addUser(QStringLiteral("BBB"), std::nullopt, QStringLiteral("B"), std::nullopt, secondRight);
        ModalDriver driver;
        QString onFirst, onSecond;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            onFirst = status(list);
            pressKey(list, Qt::Key_Down);
            onSecond = status(list);
            pressKey(list, Qt::Key_Escape);
        });
        showList(fixture);
        VERIFY_DRIVER(driver);
        QTEST(onFirst, "statusOnFirst");
        QTEST(onSecond, "statusOnSecond");
    }

    void closingTheListCommitsItsWork()
    {
        DbFixture fixture(QStringLiteral("list-close"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("CAPEK"), std::nullopt, QStringLiteral("Čapek"));
        ModalDriver driver;
        QStringList gridWhileOpen;
        std::optional<QString> storedWhileOpen;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Delete);
            if (!waitForBack(driver, list, 2))
                return;
            pressKey(list, Qt::Key_Insert);
            gridWhileOpen = gridLogins(list);
            storedWhileOpen = logins(fixture);
            QTest::mouseClick(list->SpeedButton4, Qt::LeftButton);
        });
        driver.thenKeys({kYes});
        // The editor is left by Esc and Yes: the row is posted, not refreshed.
        driver.then([&](QWidget *modal) {
            TfrmUzivU_s *editor = asEditor(modal);
            retype(editor->edtUserName, QStringLiteral("dolezal"));
            retype(editor->edtPrijmeni, QStringLiteral("Doležal"));
            pressKey(editor, Qt::Key_Escape);
        });
        driver.thenKeys({kYes});
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(gridWhileOpen, (QStringList{"DOLEZAL", "CAPEK"}));
        QCOMPARE(storedWhileOpen, QStringLiteral("BENES,CAPEK"));
        QCOMPARE(logins(fixture), QStringLiteral("CAPEK,DOLEZAL"));
    }

    void committedWorkOfAnotherConnectionAppearsAfterF5()
    {
        DbFixture fixture(QStringLiteral("list-others"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"), QStringLiteral("Karel"));
        fixture.addUser(QStringLiteral("CAPEK"), std::nullopt, QStringLiteral("Čapek"), QStringLiteral("Josef"));
        fixture.addUser(QStringLiteral("DVORAK"), std::nullopt, QStringLiteral("Dvořák"), QStringLiteral("Antonín"));
        ModalDriver driver;
        QStringList before, afterF5;
        QString currentAfterF5;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Down);
            before = gridRows(list);
            // Another administrator's work, each statement committed at once.
            fixture.addUser(QStringLiteral("ERBEN"), std::nullopt, QStringLiteral("Erben"), QStringLiteral("Karel"));
            fixture.execute(QStringLiteral("update DB$UZIV set UZI$JMENO = 'Karel' where UZI$LOGIN = 'CAPEK'"));
            fixture.execute(QStringLiteral("delete from DB$UZIV where UZI$LOGIN = 'DVORAK'"));
            pressKey(list, Qt::Key_F5);
            afterF5 = gridRows(list);
            currentAfterF5 = gridCurrentLogin(list);
            pressKey(list, Qt::Key_Escape);
        });
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(before, (QStringList{"BENES Karel", "CAPEK Josef", "DVORAK Antonín"}));
        QCOMPARE(afterF5, (QStringList{"BENES Karel", "CAPEK Karel", "ERBEN Karel"}));
        QCOMPARE(currentAfterF5, QStringLiteral("CAPEK"));
    }

    // Another administrator's transaction holds the row. The box comes while
    // that transaction is still open: a list that waited for it would never
    // get so far, as the holder cannot end while the window waits.
    void aRowHeldByAnotherTransactionFailsAtOnce_data()
    {
        QTest::addColumn<QString>("holderSql");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("heldAfterCommit");
        const QString change = QStringLiteral("update DB$UZIV set UZI$JMENO = 'Jiný' where UZI$LOGIN = 'CAPEK'");
        const QString removal = QStringLiteral("delete from DB$UZIV where UZI$LOGIN = 'CAPEK'");
        QTest::newRow("save of a changed row") << change << true << "BENES,CAPEK Jiný";
        QTest::newRow("save of a deleted row") << removal << true << "BENES";
        QTest::newRow("delete of a changed row") << change << false << "BENES,CAPEK Jiný";
        QTest::newRow("delete of a deleted row") << removal << false << "BENES";
    }
    void aRowHeldByAnotherTransactionFailsAtOnce()
    {
        QFETCH(QString, holderSql);
        QFETCH(bool, save);
        DbFixture fixture(QStringLiteral("list-held"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("CAPEK"), std::nullopt, QStringLiteral("Čapek"), QStringLiteral("Karel"));
        auto holder = fixture.openConnection();
        platform::Query holding;
        holding.setDatabase(holder.get());
        holding.setSql(holderSql);
        holding.execQuery();

        ModalDriver driver;
        QStringList gridAfter;
        bool heldAtTheBox = false;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Down);
            pressKey(list, save ? Qt::Key_F4 : Qt::Key_Delete);
            if (!waitForBack(driver, list, 3))
                return;
            gridAfter = gridRows(list);
            pressKey(list, Qt::Key_Escape);
        });
        if (save) {
            driver.then([&](QWidget *modal) {
                TfrmUzivU_s *editor = asEditor(modal);
                pressKey(editor, Qt::Key_F12);
                if (!waitForBack(driver, editor, 3))
                    return;
                pressKey(editor, Qt::Key_Escape);
            });
        } else {
            driver.thenKeys({kYes});
        }
        driver.then([&](QWidget *box) {
            heldAtTheBox = holder->defaultTransaction()->inTransaction();
            pressKey(box, kOk);
        });
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 3);
        const testsupport::ModalRecord &box = driver.seen()[2];
        QCOMPARE(box.title, QStringLiteral("Upozornění"));
        if (save) {
            QVERIFY2(box.text.startsWith(QStringLiteral("Chyba při ukládání uživatele!\n\n")), qPrintable(box.text));
            QVERIFY2(box.text.contains(QStringLiteral("update conflicts with concurrent update")),
                     qPrintable(box.text));
        } else {
            QCOMPARE(box.text, QStringLiteral("Chyba při mazání uživatele!"));
        }
        QVERIFY(heldAtTheBox);
        QCOMPARE(gridAfter, (QStringList{"BENES ", "CAPEK Karel"}));

        // The holder's work is undisturbed by the list's attempt.
        holder->defaultTransaction()->commit();
        QTEST(fixture
                  .readValue(QStringLiteral("select cast(list(UZI$LOGIN || coalesce(' ' || UZI$JMENO, '')) as "
                                            "varchar(200)) from (select * from DB$UZIV order by UZI$LOGIN)"))
                  .value_or(QString()),
              "heldAfterCommit");
    }

    // Another administrator deleted the row and committed while it was being
    // edited: the save stores nothing, so it must not pass for saved.
    void aSaveOfARowDeletedElsewhereIsReported()
    {
        DbFixture fixture(QStringLiteral("list-gone"));
        fixture.addUser(QStringLiteral("BENES"), std::nullopt, QStringLiteral("Beneš"));
        fixture.addUser(QStringLiteral("CAPEK"), std::nullopt, QStringLiteral("Čapek"), QStringLiteral("Karel"));
        ModalDriver driver;
        QStringList gridAfter, editsAfterBox;
        bool editingAfterBox = false;
        driver.then([&](QWidget *modal) {
            TfrmUziv_s *list = asList(modal);
            pressKey(list, Qt::Key_Down);
            pressKey(list, Qt::Key_F4);
            if (!waitForBack(driver, list, 4))
                return;
            gridAfter = gridRows(list);
            pressKey(list, Qt::Key_Escape);
        });
        driver.then([&](QWidget *modal) {
            TfrmUzivU_s *editor = asEditor(modal);
            retype(editor->edtPrijmeni, QStringLiteral("Čapková"));
            retype(editor->edtJmeno, QStringLiteral("Karla"));
            fixture.execute(QStringLiteral("delete from DB$UZIV where UZI$LOGIN = 'CAPEK'"));
            pressKey(editor, Qt::Key_F12);
            if (!waitForBack(driver, editor, 3))
                return;
            editsAfterBox = {editor->edtUserName->text(), editor->edtPrijmeni->text(), editor->edtJmeno->text()};
            editingAfterBox = editor->FDataSet->state() == platform::DataSetState::Edit;
            pressKey(editor, Qt::Key_Escape);
        });
        driver.thenKeys({kOk});
        // Esc after typing asks whether to save; No leaves without it.
        driver.thenKeys({kNo});
        showList(fixture);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 4);
        const testsupport::ModalRecord &box = driver.seen()[2];
        QCOMPARE(box.title, QStringLiteral("Upozornění"));
        QCOMPARE(box.text, QStringLiteral("Chyba při ukládání uživatele!\n\n"
                                          "Záznam byl mezitím změněn nebo smazán jiným uživatelem."));
        QCOMPARE(box.icon, int(QMessageBox::Warning));
        QCOMPARE(editsAfterBox, (QStringList{"CAPEK", "Čapková", "Karla"}));
        QVERIFY(editingAfterBox);
        QCOMPARE(driver.seen()[3].text, QStringLiteral("Přejete si uložit změny?"));
        QCOMPARE(gridAfter, (QStringList{"BENES ", "CAPEK Karel"}));
        QCOMPARE(logins(fixture), QStringLiteral("BENES"));
    }

    void failureToOpenTheTableReachesTheCaller()
    {
        DbFixture fixture(QStringLiteral("list-no-table"));
        fixture.execute(QStringLiteral("drop table DB$UZIV"));
        auto database = fixture.openConnection();
        // Should the list stay up, this ends the test instead of hanging it.
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->hide();
        });
        safety.start(5000);
        QVERIFY_THROWS_EXCEPTION(EIBError, ShowUserList(database.get()));
        QVERIFY(safety.isActive());
    }

    // The menu names the keys as Windows menus do, also with Qt's Czech
    // translation loaded.
    void menuAndToolButtonsOfferTheActions()
    {
        MenuItemTexts menuStyle;
        TfrmUziv_s list;
        QCOMPARE(list.mnuUsers->actions().size(), 1);
        QMenu *menu = list.mnuUsers->actions().first()->menu();
        QCOMPARE(list.mnuUsers->actions().first()->text(), QStringLiteral("Uživatel"));
        menu->setStyle(&menuStyle);
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menuStyle.drawn.clear();
        menu->grab();
        menu->hide();
        QCOMPARE(menuStyle.drawn, (QStringList{"Nový uživatel\tIns", "Změna uživatele\tF4", "Smazání uživatele\tDel",
                                               "-", "Obnova seznamu uživatelů\tF5"}));
        const std::pair<QToolButton *, QAction *> buttons[] = {{list.SpeedButton1, list.aIns},
                                                               {list.SpeedButton2, list.aUpd},
                                                               {list.SpeedButton3, list.aDel},
                                                               {list.SpeedButton5, list.aRefr},
                                                               {list.SpeedButton4, list.aEsc}};
        for (const auto &[button, action] : buttons) {
            QCOMPARE(button->defaultAction(), action);
            QCOMPARE(button->size(), QSize(24, 24));
            QVERIFY(button->autoRaise());
            QVERIFY(!action->icon().isNull());
        }
        QCOMPARE(list.aEsc->toolTip(), QStringLiteral("Zpět"));
        QCOMPARE(list.aRefr->toolTip(), QStringLiteral("Obnova seznamu uživatelů"));
        QCOMPARE(list.grdUziv->ColumnCount(), 3);
        QCOMPARE(list.grdUziv->Columns(0)->FieldName(), QStringLiteral("UZI$LOGIN"));
        QCOMPARE(list.grdUziv->Columns(1)->FieldName(), QStringLiteral("UZI$PRIJMENI"));
        QCOMPARE(list.grdUziv->Columns(2)->FieldName(), QStringLiteral("UZI$JMENO"));
    }
};

ZELO_TEST_MAIN(TestUserList)
#include "tst_UserList.moc"
