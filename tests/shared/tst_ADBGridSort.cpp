// The data grid's look, column fitting, sorting by a title click, and the
// grid and its data set moving together.

#include "tst_ADBGridFixture.h"

#include "ModalDriver.h"
#include "TestMain.h"
#include "ui/SystemColors.h"

#include <QLineEdit>
#include <QSignalSpy>

class TestADBGridSort : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GridDatabase> database;
    std::unique_ptr<GridUnderTest> t;

    QList<int> widths() const
    {
        QList<int> result;
        for (int i = 0; i < t->grid->ColumnCount(); ++i)
            result.append(t->grid->Columns(i)->Width());
        return result;
    }
    void setWidths(const QList<int> &values)
    {
        for (int i = 0; i < values.size(); ++i)
            t->grid->Columns(i)->SetWidth(values[i]);
    }
    QList<QColor> titleColours() const
    {
        QList<QColor> result;
        for (int i = 0; i < t->grid->ColumnCount(); ++i)
            result.append(t->grid->Columns(i)->TitleFontColor());
        return result;
    }

private slots:
    void initTestCase() { database = std::make_unique<GridDatabase>(); }
    void init() { t = std::make_unique<GridUnderTest>(database->connection.get()); }
    void cleanup() { t.reset(); }

    void constructionGivesTheGridsDefaults()
    {
        TADBGrid grid;
        grid.AddColumn(QStringLiteral("UZI$LOGIN"), 107);
        QCOMPARE(grid.Options(), dgTitles | dgColumnResize | dgColLines | dgRowLines | dgRowSelect |
                                     dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit);
        QVERIFY(grid.ColumnsResize());
        QVERIFY(grid.ColumnsSort());
        QVERIFY(grid.HotFind());
        QVERIFY(grid.Find());
        QVERIFY(!grid.ColorFocus());
        QCOMPARE(grid.FocusedColor(), platform::clWindow);
        QCOMPARE(grid.UnfocusedColor(), platform::clBtnFace);
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!grid.horizontalHeader()->isHidden());
        QVERIFY(grid.verticalHeader()->isHidden());
        QCOMPARE(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
        // The selection keeps its colour without the focus.
        QCOMPARE(grid.palette().color(QPalette::Inactive, QPalette::Highlight),
                 grid.palette().color(QPalette::Active, QPalette::Highlight));
    }

    void titlesAreTheFieldsDisplayLabels()
    {
        t->openUsers();
        QCOMPARE(t->grid->Columns(0)->TitleCaption(), QStringLiteral("Přihlašovací jméno"));
        QCOMPARE(t->grid->Columns(1)->TitleCaption(), QStringLiteral("Příjmení"));
        QCOMPARE(t->grid->Columns(2)->TitleCaption(), QStringLiteral("Jméno"));
        QCOMPARE(t->grid->model()->rowCount(), gridUsers().size());
        QCOMPARE(t->grid->model()->index(1, 1).data().toString(), QStringLiteral("Dvořák"));
    }

    void fitColumnsSharesTheClientWidth_data()
    {
        QTest::addColumn<bool>("indicator");
        QTest::addColumn<int>("clientWidth");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("user list") << false << 400 << QList<int>{107, 134, 138} << QList<int>{112, 140, 144};
        QTest::newRow("with indicator") << true << 400 << QList<int>{107, 134, 138} << QList<int>{109, 136, 140};
        QTest::newRow("narrow share gets 22") << false << 400 << QList<int>{5, 300, 300} << QList<int>{22, 197, 197};
    }
    void fitColumnsSharesTheClientWidth()
    {
        QFETCH(bool, indicator);
        QFETCH(int, clientWidth);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        t->openUsers();
        if (indicator)
            t->grid->SetOptions(t->grid->Options() | dgIndicator);
        t->show();
        t->setClientWidth(clientWidth);
        QCOMPARE(t->grid->ClientWidth(), clientWidth);
        setWidths(before);
        t->grid->FitColumns();
        QCOMPARE(widths(), after);
    }

    void everyColumnGets22WhenTheClientIsNarrowerThanTheColumns()
    {
        t->openUsers();
        t->show();
        t->grid->resize(4, 200);
        QCoreApplication::processEvents();
        QVERIFY2(t->grid->ClientWidth() < t->grid->ColumnCount(), qPrintable(QString::number(t->grid->ClientWidth())));
        t->grid->FitColumns();
        QCOMPARE(widths(), (QList<int>{22, 22, 22}));
    }

    void resizingTheGridFitsTheColumns()
    {
        t->openUsers();
        t->show();
        t->setClientWidth(300);
        setWidths({107, 134, 138});
        const int border = t->grid->width() - t->grid->ClientWidth();
        t->grid->resize(400 + border, t->grid->height());
        QCoreApplication::processEvents();
        QCOMPARE(t->grid->ClientWidth(), 400);
        QCOMPARE(widths(), (QList<int>{112, 140, 144}));
    }

    void columnsResizeSwitchAndTheUpdateLock()
    {
        t->openUsers();
        t->show();
        t->grid->SetColumnsResize(false);
        t->setClientWidth(400);
        setWidths({107, 134, 138});
        t->grid->FitColumns();
        QCOMPARE(widths(), (QList<int>{107, 134, 138}));

        t->grid->BeginUpdate();
        t->grid->SetColumnsResize(true);
        QVERIFY(!t->grid->ColumnsResize());
        t->grid->EndUpdate();
        QCOMPARE(widths(), (QList<int>{107, 134, 138}));

        t->grid->SetColumnsResize(true);
        QVERIFY(t->grid->ColumnsResize());
        QCOMPARE(widths(), (QList<int>{112, 140, 144}));
    }

    void threeTitleClicksRewriteTheOrderLine()
    {
        t->openUsers();
        t->show();
        const QString login = QStringLiteral("\"DB$UZIV\".\"UZI$LOGIN\"");
        const QString prijmeni = QStringLiteral("\"DB$UZIV\".\"UZI$PRIJMENI\"");
        const QString jmeno = QStringLiteral("\"DB$UZIV\".\"UZI$JMENO\"");

        t->clickTitle(0);
        QCOMPARE(t->dataSet.selectSql(), (QStringList{kUsersSelect, "ORDER BY " + login}));
        QCOMPARE(t->currentLogin(), database->firstLogin(QStringLiteral("UZI$LOGIN")));
        QCOMPARE(titleColours(), (QList<QColor>{platform::clBlue, platform::clWindowText, platform::clWindowText}));
        QCOMPARE(t->grid->SearchField(), QStringLiteral("UZI$LOGIN"));
        QCOMPARE(t->grid->SearchOrigin(), login);

        t->clickTitle(1);
        QCOMPARE(t->dataSet.selectSql(), (QStringList{kUsersSelect, "ORDER BY " + prijmeni + "," + login}));
        QCOMPARE(t->currentLogin(), database->firstLogin(QStringLiteral("UZI$PRIJMENI, UZI$LOGIN")));
        QCOMPARE(titleColours(), (QList<QColor>{platform::clWindowText, platform::clBlue, platform::clWindowText}));
        QCOMPARE(t->grid->SearchColumnIndex(), 1);

        t->clickTitle(2);
        QCOMPARE(t->dataSet.selectSql(), (QStringList{kUsersSelect, "ORDER BY " + jmeno + "," + prijmeni}));
        QCOMPARE(t->currentLogin(), database->firstLogin(QStringLiteral("UZI$JMENO, UZI$PRIJMENI")));
        QCOMPARE(t->grid->SearchField(), QStringLiteral("UZI$JMENO"));
        QCOMPARE(t->grid->currentIndex().row(), 0);
    }

    void clickOnTheFirstKeysColumnReopensWithTheSameText()
    {
        t->openUsers();
        t->show();
        t->clickTitle(1);
        const QStringList sorted = t->dataSet.selectSql();
        t->dataSet.setRecNo(4);
        t->grid->SetSearchText(QStringLiteral("old"));
        QSignalSpy reopened(&t->dataSet, &platform::DataSet::rowsReset);

        t->clickTitle(1);
        QCOMPARE(t->dataSet.selectSql(), sorted);
        QVERIFY(reopened.count() >= 2); // closed and opened again
        QCOMPARE(t->dataSet.recNo(), 1);
        QCOMPARE(t->grid->currentIndex().row(), 0);
        QCOMPARE(t->grid->Columns(1)->TitleFontColor(), platform::clBlue);
        QVERIFY(t->grid->SearchText().isEmpty());
    }

    void anExistingOrderLineIsRewritten_data()
    {
        QTest::addColumn<QString>("orderLine");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("rewritten");
        QTest::addColumn<QString>("serverOrder");
        QTest::newRow("lower case, first key compared case-sensitively")
            << "order by uzi$login" << 0 << "ORDER BY \"DB$UZIV\".\"UZI$LOGIN\",UZI$LOGIN"
            << "UZI$LOGIN";
        QTest::newRow("direction moves with the key")
            << "order by uzi$prijmeni desc" << 0 << "ORDER BY \"DB$UZIV\".\"UZI$LOGIN\",UZI$PRIJMENI DESC"
            << "UZI$LOGIN";
        QTest::newRow("further keys dropped")
            << "ORDER BY uzi$jmeno, uzi$login desc" << 1 << "ORDER BY \"DB$UZIV\".\"UZI$PRIJMENI\",UZI$JMENO"
            << "UZI$PRIJMENI, UZI$JMENO";
    }
    void anExistingOrderLineIsRewritten()
    {
        QFETCH(QString, orderLine);
        QFETCH(int, column);
        QFETCH(QString, rewritten);
        QFETCH(QString, serverOrder);
        t->openUsers({kUsersSelect, orderLine});
        t->show();
        t->clickTitle(column);
        QCOMPARE(t->dataSet.selectSql(), (QStringList{kUsersSelect, rewritten}));
        QVERIFY(t->dataSet.active());
        QCOMPARE(t->currentLogin(), database->firstLogin(serverOrder));
        QCOMPARE(t->grid->Columns(column)->TitleFontColor(), platform::clBlue);
    }

    void firstKeysAreComparedCaseSensitively_data()
    {
        QTest::addColumn<QString>("orderLine");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("same case: unchanged") << "ORDER BY DB$UZIV.UZI$LOGIN"
                                              << "ORDER BY DB$UZIV.UZI$LOGIN";
        QTest::newRow("lower case: not equal") << "order by db$uziv.uzi$login"
                                               << "ORDER BY DB$UZIV.UZI$LOGIN,DB$UZIV.UZI$LOGIN";
    }
    void firstKeysAreComparedCaseSensitively()
    {
        // In dialect 1 the origin is unquoted, so a lower-case key names the same column.
        QFETCH(QString, orderLine);
        QFETCH(QString, rewritten);
        GridDatabase dialect1(1);
        GridUnderTest grid(dialect1.connection.get());
        grid.openUsers({kUsersSelect, orderLine});
        grid.show();
        QCOMPARE(grid.grid->Columns(0)->Field()->origin(), QStringLiteral("DB$UZIV.UZI$LOGIN"));
        grid.clickTitle(0);
        QCOMPARE(grid.dataSet.selectSql(), (QStringList{kUsersSelect, rewritten}));
        QVERIFY(grid.dataSet.active());
        QCOMPARE(grid.grid->Columns(0)->TitleFontColor(), platform::clBlue);
    }

    void aRefusedReopenIsUndoneSilently()
    {
        t->openUsers();
        t->show();
        t->clickTitle(0);
        const QStringList sorted{kUsersSelect, QStringLiteral("  order by uzi$login")};
        t->dataSet.close();
        t->dataSet.setSelectSql(sorted);
        t->dataSet.open();
        t->dataSet.setRecNo(3);

        testsupport::ModalDriver driver(500);
        QVERIFY(!t->grid->SortByColumn(t->grid->Columns(1)));
        QCoreApplication::processEvents();
        QVERIFY(driver.seen().isEmpty());
        // The old text is back and open; the mark and the search column stay.
        QCOMPARE(t->dataSet.selectSql(), sorted);
        QVERIFY(t->dataSet.active());
        QCOMPARE(t->dataSet.recordCount(), gridUsers().size());
        QCOMPARE(t->grid->model()->rowCount(), gridUsers().size());
        QCOMPARE(titleColours(), (QList<QColor>{platform::clBlue, platform::clWindowText, platform::clWindowText}));
        QCOMPARE(t->grid->SearchField(), QStringLiteral("UZI$LOGIN"));
        QCOMPARE(t->grid->SearchColumnIndex(), 0);

        t->clickTitle(2); // a click goes the same way
        QCOMPARE(t->dataSet.selectSql(), sorted);
        QVERIFY(driver.seen().isEmpty());
    }

    void sortingRefitsTheColumns()
    {
        t->openUsers();
        t->show();
        t->setClientWidth(400);
        setWidths({107, 134, 138});
        t->clickTitle(0);
        QCOMPARE(widths(), (QList<int>{112, 140, 144}));
    }

    void titleClickWithoutSorting_data()
    {
        QTest::addColumn<bool>("hotFind");
        QTest::addColumn<bool>("find");
        QTest::addColumn<QString>("searchField");
        QTest::addColumn<int>("searchColumn");
        QTest::newRow("HotFind chooses the search column") << true << true << "UZI$PRIJMENI" << 1;
        QTest::newRow("Find sets only the field") << false << true << "UZI$PRIJMENI" << 0;
        QTest::newRow("all off: nothing") << false << false << "" << 0;
    }
    void titleClickWithoutSorting()
    {
        QFETCH(bool, hotFind);
        QFETCH(bool, find);
        QFETCH(QString, searchField);
        QFETCH(int, searchColumn);
        t->openUsers();
        t->grid->SetColumnsSort(false);
        t->grid->SetHotFind(hotFind);
        t->grid->SetFind(find);
        t->show();
        t->dataSet.setRecNo(3);
        QSignalSpy titleClicks(t->grid, &TADBGrid::OnTitleClick);

        t->clickTitle(1);
        QCOMPARE(titleClicks.count(), 1);
        QCOMPARE(t->dataSet.selectSql(), QStringList{kUsersSelect});
        QCOMPARE(t->dataSet.recNo(), 3);
        QCOMPARE(t->grid->SearchField(), searchField);
        QCOMPARE(t->grid->SearchOrigin(),
                 searchField.isEmpty() ? QString() : QStringLiteral("\"DB$UZIV\".\"UZI$PRIJMENI\""));
        QCOMPARE(t->grid->SearchColumnIndex(), searchColumn);
        QCOMPARE(titleColours(), (QList<QColor>{QColor(), QColor(), QColor()}));
    }

    void titleClickOnAClosedDataSetDoesNothing()
    {
        t->openUsers();
        t->dataSet.close();
        t->show();
        t->clickTitle(0);
        QCOMPARE(t->dataSet.selectSql(), QStringList{kUsersSelect});
        QVERIFY(!t->dataSet.active());
        QVERIFY(t->grid->SearchField().isEmpty());
    }

    void titleClickOnAColumnWithoutFieldDoesNothing()
    {
        t->grid->AddColumn(QStringLiteral("NO_SUCH_FIELD"), 50);
        t->openUsers();
        t->show();
        QVERIFY(!t->grid->SortByColumn(t->grid->Columns(0)));
        QCOMPARE(t->dataSet.selectSql(), QStringList{kUsersSelect});
        QVERIFY(t->grid->SearchField().isEmpty());
    }

    void movingInTheGridMovesTheDataSet()
    {
        t->openUsers();
        t->show();
        QCOMPARE(t->grid->currentIndex().row(), 0);
        QTest::keyClick(t->grid, Qt::Key_Down);
        QCOMPARE(t->dataSet.recNo(), 2);
        QTest::keyClick(t->grid, Qt::Key_End);
        QCOMPARE(t->dataSet.recNo(), gridUsers().size());
        QTest::keyClick(t->grid, Qt::Key_Home);
        QCOMPARE(t->dataSet.recNo(), 1);
        t->clickCell(3, 2);
        QCOMPARE(t->currentLogin(), gridUsers()[3].login);
        QVERIFY(t->grid->selectionModel()->isRowSelected(3, {}));
    }

    void movingTheDataSetMovesTheGrid()
    {
        t->openUsers();
        t->show();
        t->dataSet.setRecNo(5);
        QCOMPARE(t->grid->currentIndex().row(), 4);
        t->dataSet.first();
        QCOMPARE(t->grid->currentIndex().row(), 0);
        t->dataSet.next();
        QCOMPARE(t->grid->currentIndex().row(), 1);
        QVERIFY(t->dataSet.locate(QStringLiteral("UZI$PRIJMENI"), QStringLiteral("růž"),
                                  platform::LocateOption::CaseInsensitive | platform::LocateOption::PartialKey));
        QCOMPARE(t->grid->currentIndex().row(), 4);
        QVERIFY(t->grid->selectionModel()->isRowSelected(4, {}));
        // A reopen shows the new rows from the first.
        t->dataSet.close();
        QCOMPARE(t->grid->model()->rowCount(), 0);
        t->dataSet.open();
        QCOMPARE(t->grid->model()->rowCount(), gridUsers().size());
        QCOMPARE(t->grid->currentIndex().row(), 0);
    }

    void colourFollowsTheFocusWhenColorFocusIsOn()
    {
        t->openUsers();
        QLineEdit other(&t->window);
        other.move(10, 350);
        t->grid->SetColorFocus(true);
        t->show();
        other.setFocus();
        QVERIFY(QTest::qWaitFor([&] { return other.hasFocus(); }));
        QCOMPARE(platform::controlColor(t->grid), platform::clBtnFace);
        t->grid->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return t->grid->hasFocus(); }));
        QCOMPARE(platform::controlColor(t->grid), platform::clWindow);

        t->grid->SetColorFocus(false);
        platform::setControlColor(t->grid, platform::clInfoBk);
        other.setFocus();
        QVERIFY(QTest::qWaitFor([&] { return other.hasFocus(); }));
        QCOMPARE(platform::controlColor(t->grid), platform::clInfoBk);
    }
};

ZELO_TEST_MAIN(TestADBGridSort)
#include "tst_ADBGridSort.moc"
