// The data grid's incremental search, the search dialog and the repeated
// search, driven by keys and clicks.

#include "tst_ADBGridFixture.h"

#include "ModalDriver.h"
#include "TestMain.h"
#include "ui/Drawing.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

QPushButton *buttonWithText(QWidget *dialog, const QString &text)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// What the search dialog showed, read while it is open.
struct DialogSeen {
    QString caption;
    QString prompt;
    QString text;
    bool textSelected = false;
    bool fullText = false;
};

// Fills the search dialog and confirms it (or cancels it with Esc).
testsupport::ModalDriver::Action answerDialog(DialogSeen *seen, const QString &text, bool fullText, bool confirm = true)
{
    return [=](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>();
        auto *box = dialog->findChild<QCheckBox *>();
        seen->caption = dialog->windowTitle();
        seen->prompt = dialog->findChild<QLabel *>()->text();
        seen->text = edit->text();
        seen->textSelected = edit->selectedText() == edit->text();
        seen->fullText = box->isChecked();
        if (!confirm) {
            testsupport::pressKey(dialog, QKeySequence(Qt::Key_Escape));
            return;
        }
        edit->setText(text);
        box->setChecked(fullText);
        buttonWithText(dialog, QStringLiteral("OK"))->click();
    };
}

} // namespace

class TestADBGridSearch : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<GridDatabase> database;
    std::unique_ptr<GridUnderTest> t;

    void type(const QString &text) { testsupport::typeText(t->grid, text); }
    QString searchTitle() const { return t->grid->Columns(t->grid->SearchColumnIndex())->TitleCaption(); }
    // The surname column as the search column, rows in their natural order.
    void openUsersSearchingSurnames()
    {
        t->openUsers();
        t->grid->SetColumnsSort(false);
        t->show();
        t->clickTitle(1);
        QCOMPARE(t->grid->SearchField(), QStringLiteral("UZI$PRIJMENI"));
    }
    void openNumbersSearchingIds()
    {
        t->openNumbers();
        t->grid->SetColumnsSort(false);
        t->show();
        t->clickTitle(0);
        QCOMPARE(t->grid->SearchField(), QStringLiteral("ID"));
    }
    void dialogSearch(const QString &text, bool fullText, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        DialogSeen seen;
        testsupport::ModalDriver driver;
        driver.then(answerDialog(&seen, text, fullText));
        QTest::keyClick(t->grid, Qt::Key_F3, modifiers);
        VERIFY_DRIVER(driver);
    }
    int rowOfSurname(const QString &surname) const
    {
        for (int i = 0; i < gridUsers().size(); ++i) {
            if (gridUsers()[i].prijmeni == surname)
                return i + 1;
        }
        return 0;
    }

private slots:
    void initTestCase() { database = std::make_unique<GridDatabase>(); }
    void init() { t = std::make_unique<GridUnderTest>(database->connection.get()); }
    void cleanup() { t.reset(); }

    void typingAndBackspaceInATextColumn()
    {
        openUsersSearchingSurnames();
        t->dataSet.setRecNo(5);
        type(QStringLiteral("dv"));
        QCOMPARE(t->grid->TypedText(), QStringLiteral("dv"));
        QCOMPARE(searchTitle(), QStringLiteral("dv"));
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Dvořák")));

        QTest::keyClick(t->grid, Qt::Key_Backspace);
        QCOMPARE(searchTitle(), QStringLiteral("d"));
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Dvořák")));

        t->dataSet.setRecNo(5);
        QTest::keyClick(t->grid, Qt::Key_Backspace);
        QVERIFY(t->grid->TypedText().isEmpty());
        QCOMPARE(searchTitle(), QStringLiteral("Příjmení"));
        QCOMPARE(t->dataSet.recNo(), 1); // the empty text matches the first record

        QTest::keyClick(t->grid, Qt::Key_Backspace); // nothing left to remove
        QCOMPARE(searchTitle(), QStringLiteral("Příjmení"));
    }

    void typedNationalLettersMatchRegardlessOfCase_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("surname");
        QTest::newRow("lower č") << QStringLiteral("če") << QStringLiteral("Černý");
        QTest::newRow("upper Ř") << QStringLiteral("RŮŽ") << QStringLiteral("Růžička");
        QTest::newRow("mixed") << QStringLiteral("pRocH") << QStringLiteral("Procházková");
    }
    void typedNationalLettersMatchRegardlessOfCase()
    {
        QFETCH(QString, typed);
        QFETCH(QString, surname);
        openUsersSearchingSurnames();
        type(typed);
        QCOMPARE(t->dataSet.fieldByName(QStringLiteral("UZI$PRIJMENI"))->asString(), surname);
        QCOMPARE(t->grid->currentIndex().row(), rowOfSurname(surname) - 1);
        QCOMPARE(searchTitle(), typed);
    }

    void aTextWithoutMatchKeepsTheRecordAndTheTypedText()
    {
        openUsersSearchingSurnames();
        type(QStringLiteral("s"));
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Svobodová")));
        type(QStringLiteral("x"));
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Svobodová")));
        QCOMPARE(searchTitle(), QStringLiteral("sx"));
    }

    void charactersThatAreNeverAppended_data()
    {
        QTest::addColumn<QString>("character");
        QTest::newRow("254") << QString(QChar(0x0163)); // ţ
        QTest::newRow("255") << QString(QChar(0x02D9)); // ˙
        QTest::newRow("control character") << QString(QChar(1));
        QTest::newRow("outside the code page") << QString(QChar(0x2713));
    }
    void charactersThatAreNeverAppended()
    {
        QFETCH(QString, character);
        openUsersSearchingSurnames();
        type(QStringLiteral("n"));
        QTest::sendKeyEvent(QTest::Click, t->grid, Qt::Key_unknown, character, Qt::NoModifier);
        QCOMPARE(t->grid->TypedText(), QStringLiteral("n"));
        QCOMPARE(searchTitle(), QStringLiteral("n"));
    }

    void keysAndClicksEndTheIncrementalSearch_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("Page Up") << int(Qt::Key_PageUp);
        QTest::newRow("Home") << int(Qt::Key_Home);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("cell click") << 0;
    }
    void keysAndClicksEndTheIncrementalSearch()
    {
        QFETCH(int, key);
        openUsersSearchingSurnames();
        type(QStringLiteral("sv"));
        QCOMPARE(searchTitle(), QStringLiteral("sv"));
        if (key)
            QTest::keyClick(t->grid, Qt::Key(key));
        else
            t->clickCell(1, 0);
        QVERIFY(t->grid->TypedText().isEmpty());
        QCOMPARE(searchTitle(), QStringLiteral("Příjmení"));
        // The next letter starts a new search.
        type(QStringLiteral("n"));
        QCOMPARE(t->grid->TypedText(), QStringLiteral("n"));
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Novák")));
    }

    void losingTheFocusRestoresTheTitleButKeepsTheText()
    {
        openUsersSearchingSurnames();
        QLineEdit other(&t->window);
        other.show();
        type(QStringLiteral("pr"));
        other.setFocus();
        QVERIFY(QTest::qWaitFor([&] { return other.hasFocus(); }));
        QCOMPARE(searchTitle(), QStringLiteral("Příjmení"));
        QCOMPARE(t->grid->TypedText(), QStringLiteral("pr"));
        t->grid->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return t->grid->hasFocus(); }));
        t->dataSet.first();
        type(QStringLiteral("o"));
        QCOMPARE(searchTitle(), QStringLiteral("pro"));
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Procházková")));
    }

    void aSortedColumnIsTheSearchColumn()
    {
        t->openUsers();
        t->show();
        t->clickTitle(2);
        type(QStringLiteral("ja"));
        QCOMPARE(t->dataSet.fieldByName(QStringLiteral("UZI$JMENO"))->asString(), QStringLiteral("Jan"));
        QCOMPARE(t->grid->Columns(2)->TitleCaption(), QStringLiteral("ja"));
        t->clickTitle(1); // a new sort gives the old column its title back
        QCOMPARE(t->grid->Columns(2)->TitleCaption(), QStringLiteral("Jméno"));
        QVERIFY(t->grid->TypedText().isEmpty());
    }

    void digitsOnAnIntegerColumn()
    {
        openNumbersSearchingIds();
        t->dataSet.setRecNo(4);
        type(QStringLiteral("a"));
        QVERIFY(t->grid->TypedText().isEmpty());
        QCOMPARE(searchTitle(), QStringLiteral("ID"));
        QCOMPARE(t->dataSet.recNo(), 4);

        type(QStringLiteral("1"));
        QCOMPARE(t->currentNumber(), 1);
        type(QStringLiteral("2"));
        QCOMPARE(t->currentNumber(), 12);
        QCOMPARE(searchTitle(), QStringLiteral("12"));
        type(QStringLiteral("x"));
        QCOMPARE(t->grid->TypedText(), QStringLiteral("12"));
        type(QStringLiteral("0"));
        QCOMPARE(t->currentNumber(), 120);
    }

    void withoutSearchColumnTypingDoesNothing()
    {
        t->openUsers();
        t->show();
        t->dataSet.setRecNo(3);
        type(QStringLiteral("no"));
        QVERIFY(t->grid->TypedText().isEmpty());
        QCOMPARE(t->dataSet.recNo(), 3);
        QCOMPARE(t->grid->Columns(1)->TitleCaption(), QStringLiteral("Příjmení"));
    }

    void f3BeforeAnyTitleClickWarns_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("F3") << int(Qt::NoModifier);
        QTest::newRow("Ctrl+F3") << int(Qt::ControlModifier);
    }
    void f3BeforeAnyTitleClickWarns()
    {
        QFETCH(int, modifiers);
        t->openUsers();
        t->show();
        testsupport::ModalDriver driver;
        driver.thenKeys({QKeySequence(Qt::Key_Return)});
        QTest::keyClick(t->grid, Qt::Key_F3, Qt::KeyboardModifiers(modifiers));
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen()[0].text, QStringLiteral("Není nastaven sloupec pro třídění!"));
        QCOMPARE(driver.seen()[0].title, QStringLiteral("Upozornění"));
        QCOMPARE(driver.seen()[0].icon, int(QMessageBox::Warning));
        QCOMPARE(driver.seen()[0].buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(t->dataSet.recNo(), 1);
    }

    void dialogSearchLocatesTheBeginning()
    {
        openUsersSearchingSurnames();
        DialogSeen seen;
        testsupport::ModalDriver driver;
        driver.then(answerDialog(&seen, QStringLiteral("svo"), false));
        QTest::keyClick(t->grid, Qt::Key_F3);
        VERIFY_DRIVER(driver);
        QCOMPARE(seen.caption, QStringLiteral("Hledání"));
        QCOMPARE(seen.prompt, QStringLiteral("Hledaný text:"));
        QVERIFY(!seen.fullText); // the full-text choice starts off
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Svobodová")));
        QCOMPARE(t->grid->SearchText(), QStringLiteral("svo"));
        QVERIFY(!t->grid->FullTextChoice());

        // The next dialog shows the last text, all selected.
        driver.then(answerDialog(&seen, QStringLiteral("ková"), true));
        QTest::keyClick(t->grid, Qt::Key_F3);
        VERIFY_DRIVER(driver);
        QCOMPARE(seen.text, QStringLiteral("svo"));
        QVERIFY(seen.textSelected);
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Procházková")));
        QVERIFY(t->grid->FullTextChoice());
    }

    void aCancelledDialogChangesNothing()
    {
        openUsersSearchingSurnames();
        dialogSearch(QStringLiteral("dv"), true);
        const int found = t->dataSet.recNo();
        DialogSeen seen;
        testsupport::ModalDriver driver;
        driver.then(answerDialog(&seen, QString(), false, false));
        QTest::keyClick(t->grid, Qt::Key_F3);
        VERIFY_DRIVER(driver);
        QVERIFY(seen.fullText); // the choice of the last confirmed dialog
        QCOMPARE(t->grid->SearchText(), QStringLiteral("dv"));
        QVERIFY(t->grid->FullTextChoice());
        QCOMPARE(t->dataSet.recNo(), found);
    }

    void ctrlF3RepeatsWithoutTheDialog_data()
    {
        QTest::addColumn<bool>("hotFind");
        QTest::addColumn<QList<int>>("visited");
        // "d": Dvořák by its beginning; then the full text goes on to
        // Svobodová and round through the end to Dvořák again.
        QTest::newRow("HotFind on: full text") << true << QList<int>{4, 2};
        QTest::newRow("HotFind off: from the top") << false << QList<int>{2, 2};
    }
    void ctrlF3RepeatsWithoutTheDialog()
    {
        QFETCH(bool, hotFind);
        QFETCH(QList<int>, visited);
        openUsersSearchingSurnames();
        dialogSearch(QStringLiteral("d"), false);
        QCOMPARE(t->dataSet.recNo(), 2);
        t->grid->SetHotFind(hotFind);
        testsupport::ModalDriver driver(300); // no dialog may appear
        for (int expected : visited) {
            QTest::keyClick(t->grid, Qt::Key_F3, Qt::ControlModifier);
            QCOMPARE(t->dataSet.recNo(), expected);
            QCOMPARE(t->grid->currentIndex().row(), expected - 1);
        }
        QCoreApplication::processEvents();
        QVERIFY(driver.seen().isEmpty());
    }

    void ctrlF3WithoutSearchTextOpensTheDialog()
    {
        openUsersSearchingSurnames();
        dialogSearch(QStringLiteral("rů"), false, Qt::ControlModifier);
        QCOMPARE(t->dataSet.recNo(), rowOfSurname(QStringLiteral("Růžička")));
    }

    void fullTextScanFromTheLastRecordWrapsToTheFirst()
    {
        openUsersSearchingSurnames();
        t->dataSet.last();
        // "á" stands in Novák (first), Dvořák, Svobodová and Procházková (last).
        dialogSearch(QStringLiteral("Á"), true);
        QCOMPARE(t->dataSet.recNo(), 1);
        QCOMPARE(t->grid->currentIndex().row(), 0);
    }

    void fullTextScanThatFindsNothingStaysWithoutMessage()
    {
        openUsersSearchingSurnames();
        t->dataSet.setRecNo(3);
        testsupport::ModalDriver driver;
        DialogSeen seen;
        driver.then(answerDialog(&seen, QStringLiteral("xyz"), true));
        QTest::keyClick(t->grid, Qt::Key_F3);
        VERIFY_DRIVER(driver);
        QCOMPARE(driver.seen().size(), 1); // the dialog only
        QCOMPARE(t->dataSet.recNo(), 3);
        QCOMPARE(t->grid->currentIndex().row(), 2);
        QVERIFY(!t->dataSet.controlsDisabled());
    }

    void fullTextScanOnASingleRecordEndsAtOnce()
    {
        t->openUsers({kUsersSelect, QStringLiteral("where UZI$LOGIN = 'NOVAK'")});
        t->grid->SetColumnsSort(false);
        t->show();
        t->clickTitle(1);
        dialogSearch(QStringLiteral("nov"), true);
        QCOMPARE(t->dataSet.recNo(), 1);
        QVERIFY(!t->dataSet.controlsDisabled());
    }

    void leadingZerosOnAnIntegerColumn_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("found");
        QTest::newRow("two zeros and a seven") << "007"
                                               << "7" << 7;
        QTest::newRow("three zeros") << "000"
                                     << "0" << 0;
        QTest::newRow("a single zero") << "0"
                                       << "0" << 0;
        QTest::newRow("no zeros") << "12"
                                  << "12" << 12;
    }
    void leadingZerosOnAnIntegerColumn()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(int, found);
        openNumbersSearchingIds();
        dialogSearch(typed, false);
        QCOMPARE(t->grid->SearchText(), stored);
        QCOMPARE(t->currentNumber(), found);
    }

    void searchDialogLayoutInDialogUnits()
    {
        QRect label, edit, box, ok, cancel;
        QSize client;
        QString boxText;
        int maxLength = 0;
        bool okDefault = false;
        QSize units;
        bool altFToggles = false;
        testsupport::ModalDriver driver;
        driver.then([&](QWidget *dialog) {
            const QFontMetrics metrics(dialog->font());
            // The height of a line as Windows measures the font.
            units = QSize(metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                                   "abcdefghijklmnopqrstuvwxyz")) /
                              52,
                          platform::windowsTextHeight(dialog->font()));
            label = dialog->findChild<QLabel *>()->geometry();
            auto *line = dialog->findChild<QLineEdit *>();
            edit = line->geometry();
            maxLength = line->maxLength();
            auto *check = dialog->findChild<QCheckBox *>();
            box = check->geometry();
            boxText = check->text();
            const bool before = check->isChecked();
            testsupport::pressKey(dialog, QKeySequence(Qt::ALT | Qt::Key_F));
            // The mnemonic clicks once its short animation is over.
            altFToggles = QTest::qWaitFor([&] { return check->isChecked() != before; });
            ok = buttonWithText(dialog, QStringLiteral("OK"))->geometry();
            okDefault = buttonWithText(dialog, QStringLiteral("OK"))->isDefault();
            cancel = buttonWithText(dialog, QStringLiteral("Storno"))->geometry();
            client = dialog->size();
            testsupport::pressKey(dialog, QKeySequence(Qt::Key_Escape));
        });
        QString text = QStringLiteral("abc");
        bool fullText = false;
        QVERIFY(!TADBGrid::SearchDialog(QStringLiteral("Hledání"), QStringLiteral("Hledaný text:"), text, fullText));
        VERIFY_DRIVER(driver);
        QCOMPARE(text, QStringLiteral("abc"));
        QVERIFY(!fullText);

        QCOMPARE(TADBGrid::AverageCharWidth(QApplication::font()), units);
        // MulDiv rounds to the nearest.
        const auto across = [&](int n) { return (n * units.width() + 2) / 4; };
        const auto down = [&](int n) { return (n * units.height() + 4) / 8; };
        QCOMPARE(label.topLeft(), QPoint(across(8), down(8)));
        QVERIFY(label.width() <= across(164));
        QCOMPARE(edit.topLeft(), QPoint(label.left(), label.bottom() + 1 + 5));
        QCOMPARE(edit.width(), across(164));
        QCOMPARE(maxLength, 255);
        QCOMPARE(boxText, QStringLiteral("&Fulltextové vyhledávání (Alt + F)"));
        QCOMPARE(box.topLeft(), QPoint(label.right() + 1 + 15, down(8)));
        QCOMPARE(box.width(), across(164));
        QVERIFY(altFToggles);
        QCOMPARE(ok, QRect(across(38), edit.bottom() + 1 + 15, across(50), down(14)));
        QVERIFY(okDefault);
        QCOMPARE(cancel, QRect(across(92), ok.top(), across(50), down(14)));
        QCOMPARE(client, QSize(across(180), cancel.bottom() + 1 + 13));
    }
};

ZELO_TEST_MAIN(TestADBGridSearch)
#include "tst_ADBGridSearch.moc"
