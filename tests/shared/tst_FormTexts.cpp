// Every form of both programs, and every kind of message box, at its design
// size: each caption (labels, buttons, check boxes, radio buttons, group
// titles, grid titles) fits its place in the font the form uses, a bold one
// draws bold, and no label runs into the control beside it.

#include "ADBGrid.h"
#include "ClickableText.h"
#include "DACrypt.h"
#include "DAutils.h"
#include "DataSource.h"
#include "DbFixture.h"
#include "ModalDriver.h"
#include "RestoreMain.h"
#include "StationName.h"
#include "TestEnvironment.h"
#include "TestMain.h"
#include "TextInk.h"
#include "base/ProfileFile.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "fDAWait.h"
#include "fIBServer.h"
#include "fIBback.h"
#include "fKelmo.h"
#include "fLogin_s.h"
#include "fUzivU_s.h"
#include "fUziv_s.h"
#include "ui/Application.h"
#include "ui/Drawing.h"
#include "ui/LoginDialog.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <tuple>

using namespace platform;
using testsupport::DbFixture;
using testsupport::ModalDriver;

namespace {

// A caption as drawn: "&&" is one "&", a single "&" marks the mnemonic.
QString shownText(QString caption)
{
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

int textWidth(const QWidget *widget, const QString &caption)
{
    return widget->fontMetrics().horizontalAdvance(shownText(caption));
}

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// Collects what does not fit, one line each, so that a failure names them all.
class FitCheck {
public:
    explicit FitCheck(QWidget *form) : form_(form) {}

    QStringList misfits()
    {
        for (QWidget *widget : form_->findChildren<QWidget *>()) {
            if (!widget->isVisibleTo(form_))
                continue;
            if (widget->font().bold())
                checkBold(widget);
            if (auto *label = qobject_cast<QLabel *>(widget))
                checkLabel(label);
            else if (auto *box = qobject_cast<QCheckBox *>(widget))
                checkIndicatorButton(box, QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing);
            else if (auto *radio = qobject_cast<QRadioButton *>(widget))
                checkIndicatorButton(radio, QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing);
            else if (auto *button = qobject_cast<QPushButton *>(widget))
                checkPushButton(button);
            else if (auto *group = qobject_cast<QGroupBox *>(widget))
                checkGroupTitle(group);
            else if (auto *grid = qobject_cast<TADBGrid *>(widget))
                checkGrid(grid);
        }
        return misfits_;
    }

private:
    // The part of the widget that shows: inside its parent and the form.
    int visibleRight(const QWidget *widget) const
    {
        const QRect inParent = widget->geometry() & widget->parentWidget()->rect();
        const QRect onForm(widget->parentWidget()->mapTo(form_, inParent.topLeft()), inParent.size());
        const QRect shown = onForm & form_->rect();
        return shown.isEmpty() ? 0 : shown.width();
    }

    void report(const QWidget *widget, const QString &caption, int need, int have)
    {
        if (need > have)
            misfits_
                << QStringLiteral("%1 \"%2\": needs %3 px, has %4").arg(nameOf(widget), caption).arg(need).arg(have);
    }

    // Plainly bold, not only wider than the regular text.
    void checkBold(const QWidget *widget)
    {
        QString caption;
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            caption = label->text();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            caption = button->text();
        caption = shownText(caption);
        if (!caption.isEmpty() && !testsupport::drawsBold(widget->font(), caption))
            misfits_ << QStringLiteral("%1 \"%2\": bold, but drawn as light as its regular text")
                            .arg(nameOf(widget), caption);
    }

    void checkLabel(QLabel *label)
    {
        if (label->text().isEmpty() || label->wordWrap())
            return;
        int widest = 0;
        for (const QString &line : label->text().split(QLatin1Char('\n')))
            widest = std::max(widest, textWidth(label, line));
        const int need = widest + 2 * (label->margin() + label->frameWidth());
        report(label, label->text(), need, visibleRight(label));
        // The text must end before the control that follows it on its line.
        const QRect text(label->geometry().topLeft(), QSize(need + 1, label->height()));
        for (QWidget *sibling : label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            // Labels, groups and frames drawn around the label are no neighbours.
            if (sibling == label || !sibling->isVisibleTo(form_) || qobject_cast<QLabel *>(sibling) ||
                qobject_cast<QGroupBox *>(sibling) || sibling->geometry().contains(label->geometry()))
                continue;
            if (text.intersects(sibling->geometry()))
                misfits_ << QStringLiteral("%1 \"%2\" touches %3").arg(nameOf(label), label->text(), nameOf(sibling));
        }
    }

    void checkIndicatorButton(QAbstractButton *button, QStyle::PixelMetric indicator, QStyle::PixelMetric spacing)
    {
        const int need = button->style()->pixelMetric(indicator, nullptr, button) +
                         button->style()->pixelMetric(spacing, nullptr, button) + textWidth(button, button->text());
        report(button, button->text(), need, visibleRight(button));
    }

    void checkPushButton(QPushButton *button)
    {
        if (button->text().isEmpty())
            return;
        // The button's raised edges take two pixels on each side, the focus frame one more.
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        report(button, button->text(), textWidth(button, button->text()) + icon + 6, visibleRight(button));
    }

    void checkGroupTitle(QGroupBox *group)
    {
        if (group->title().isEmpty())
            return;
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.textAlignment = group->alignment();
        const QRect title =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        report(group, group->title(), title.left() + textWidth(group, group->title()) + 2, group->width());
        // The title lies on the frame line, which crosses the title's text;
        // no control placed from the box's top edge sits under it.
        const QRect frame =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, group);
        if (!(title.top() < frame.top() && frame.top() < title.bottom()))
            misfits_ << QStringLiteral("frame line of %1 at %2 px, title from %3 to %4 px")
                            .arg(nameOf(group))
                            .arg(frame.top())
                            .arg(title.top())
                            .arg(title.bottom());
        for (QWidget *child : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(form_) && child->geometry().top() <= frame.top())
                misfits_ << QStringLiteral("%1 crosses the frame of %2").arg(nameOf(child), nameOf(group));
        }
    }

    void checkGrid(TADBGrid *grid)
    {
        const QHeaderView *titles = grid->horizontalHeader();
        const int margin = titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles);
        for (int column = 0; column < grid->ColumnCount(); ++column) {
            const QString title = grid->Columns(column)->TitleCaption();
            report(grid, title, titles->fontMetrics().horizontalAdvance(title) + 2 * margin,
                   titles->sectionSize(column));
        }
        // The Windows grid's rows: the Windows text height, a margin of
        // three pixels (four on the title row) and the row line.
        const int textHeight = windowsTextHeight(grid->font());
        const int line = grid->Options().testFlag(dgRowLines) ? 1 : 0;
        for (const auto &[what, height, expected] :
             {std::tuple{QStringLiteral("row"), grid->verticalHeader()->defaultSectionSize(), textHeight + 3 + line},
              std::tuple{QStringLiteral("title row"), titles->height(), textHeight + 4 + line}}) {
            if (height != expected)
                misfits_ << QStringLiteral("%1 of %2: %3 px, Windows makes it %4 px for text of %5 px")
                                .arg(what, nameOf(grid))
                                .arg(height)
                                .arg(expected)
                                .arg(textHeight);
        }
    }

    QWidget *form_;
    QStringList misfits_;
};

#define VERIFY_FITS(form)                                                                                              \
    do {                                                                                                               \
        const QStringList misfits = FitCheck(form).misfits();                                                          \
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(QLatin1Char('\n'))));                                      \
    } while (false)

// Shown at its design size (the client area the form table gives).
void showAt(QWidget *form, const QSize &size)
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->size(), size);
}

} // namespace

class tst_FormTexts : public QObject {
    Q_OBJECT

    std::unique_ptr<DbFixture> fixture_;
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // The forms were laid out for Tahoma; fonts-wine gives a free one.
        QVERIFY(loadFormFonts());
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Tahoma"));
        fixture_ = std::make_unique<DbFixture>(QStringLiteral("formtexts"));
        fixture_->addUser(QStringLiteral("SPRAVCE"), std::nullopt, QStringLiteral("Správcová"), QStringLiteral("Eva"),
                          QStringLiteral("A"));
    }

    void cleanup() { HideWait(); }

    void connectionDialog()
    {
        TfrmIBServer form;
        form.btnRemote->setChecked(true);
        form.boxNotLoginPrompt->setChecked(true);
        showAt(&form, {342, 268});
        VERIFY_FITS(&form);
    }

    void kelmoMainWindow()
    {
        const QString ini = dir_.filePath(QStringLiteral("zelo.ini"));
        {
            ProfileFile settings(ini);
            settings.writeString(QStringLiteral("IBServer"), QStringLiteral("DatabaseName"), fixture_->databaseName());
            settings.writeString(QStringLiteral("IBServer"), QStringLiteral("User_name"), QStringLiteral("SYSDBA"));
            settings.writeString(QStringLiteral("IBServer"), QStringLiteral("Password"),
                                 EncodePassword(testsupport::sysdbaPassword(), kSettingsFileKey));
            settings.writeString(QStringLiteral("IBServer"), QStringLiteral("Characters"), QStringLiteral("Win1250"));
            settings.writeString(StationName() + QStringLiteral("_Login"), QStringLiteral("LastUziv"),
                                 QStringLiteral("SPRAVCE"));
        }
        qputenv(kSettingsFileVariable, ini.toLocal8Bit());
        TfrmKelmo form;
        QVERIFY(form.startupComplete());
        showAt(&form, {265, 160});
        VERIFY_FITS(&form);
        // The fit check has seen these draw bold.
        const QWidget *const boldTexts[] = {form.txtSetDb, form.txtUziv, form.btnOk};
        for (const QWidget *text : boldTexts)
            QVERIFY2(text->font().bold() && text->isVisible(), qPrintable(text->objectName()));
    }

    void loginDialogs()
    {
        TfrmLogin_s login;
        showAt(&login, {236, 97});
        VERIFY_FITS(&login);

        LoginDialog databaseLogin(QStringLiteral("localhost:/data/zelo.fdb"), QStringLiteral("SYSDBA"));
        showAt(&databaseLogin, {300, 132});
        VERIFY_FITS(&databaseLogin);
    }

    void userListAndEditor()
    {
        auto database = fixture_->openConnection();
        TfrmUziv_s list;
        list.setUser->setDatabase(database.get());
        list.trUziv->setDefaultDatabase(database.get());
        list.trUziv->start();
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QVERIFY(list.setUser->active());
        QCOMPARE(list.grdUziv->size().width(), 394);
        VERIFY_FITS(&list);
        // Tahoma at 11 px is 13 px high on Windows: rows of 17 px with their
        // lines, the title row 18.
        QCOMPARE(QFontInfo(list.grdUziv->font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(list.grdUziv->verticalHeader()->defaultSectionSize(), 17);
        QCOMPARE(list.grdUziv->horizontalHeader()->height(), 18);

        TfrmUzivU_s editor(&list);
        editor.FDataSet = list.setUser;
        list.setUser->insert();
        showAt(&editor, {241, 381});
        VERIFY_FITS(&editor);
        list.setUser->cancel();
    }

    void searchDialog()
    {
        QStringList misfits;
        ModalDriver driver;
        driver.then([&misfits](QWidget *dialog) {
            misfits = FitCheck(dialog).misfits();
            testsupport::pressKey(dialog, QKeySequence(Qt::Key_Escape));
        });
        QString text;
        bool fullText = true;
        TADBGrid::SearchDialog(QStringLiteral("Hledání"), QStringLiteral("Hledaný text:"), text, fullText);
        VERIFY_DRIVER(driver);
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(QLatin1Char('\n'))));
    }

    void restoreWindows()
    {
        TfrmIBback form;
        form.edtServerName->setText(QStringLiteral("Lokální počítač"));
        form.btnZaloha->setText(QStringLiteral("Obnovit"));
        form.boxPrubeh->setTitle(QStringLiteral("Průběh obnovy dat"));
        showAt(&form, {444, 453});
        VERIFY_FITS(&form);

        ShowWait(QStringLiteral("Probíhá obnova databáze ..."), QString(), 0, true, true);
        QVERIFY(QTest::qWaitForWindowExposed(frmDAWait));
        frmDAWait->labStav2->setText(QStringLiteral("Podrobnější popis probíhání ...."));
        QCOMPARE(frmDAWait->size(), QSize(397, 113));
        VERIFY_FITS(frmDAWait);
    }

    // Lines are wrapped only past the width Windows allows, and the box is
    // never narrower than its caption.
    void messageBoxes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("flags");
        QTest::newRow("usage") << RestoreUsageText() << "Informace" << (MB_OK | MB_ICONINFORMATION);
        QTest::newRow("empty") << QString() << "Informace" << (MB_OK | MB_ICONINFORMATION);
        QTest::newRow("question") << "Přejete si uložit změny?"
                                  << "Dotaz" << (MB_YESNOCANCEL | MB_ICONQUESTION);
        QTest::newRow("yes-no") << "Opravdu si přejete vymazat vybraného uživatele?"
                                << "Upozornění" << (MB_YESNO | MB_ICONEXCLAMATION);
        QTest::newRow("default error") << "Chyba."
                                       << "Správa uživatelů DEVEVI" << (MB_OK | MB_ICONERROR);
        QTest::newRow("composed error")
            << "Chyba při obnově databáze ze zálohy!\r\n\r\nNelze otevřít soubor se zálohou databáze."
            << "Upozornění" << (MB_OK | MB_ICONWARNING);
        QTest::newRow("ok-cancel") << "Pokračovat?"
                                   << "Potvrzení" << (MB_OKCANCEL | MB_ICONINFORMATION);
    }

    void messageBoxes()
    {
        QFETCH(QString, text);
        QFETCH(QString, caption);
        QFETCH(int, flags);
        QStringList misfits;
        ModalDriver driver;
        driver.then([&](QWidget *box) {
            misfits = FitCheck(box).misfits();
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            const QFontMetrics metrics(label->font());
            for (const QString &line : QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split('\n')) {
                if (metrics.horizontalAdvance(line) > label->contentsRect().width())
                    misfits << QStringLiteral("line \"%1\" is wrapped (%2 px in %3)")
                                   .arg(line)
                                   .arg(metrics.horizontalAdvance(line))
                                   .arg(label->contentsRect().width());
            }
            // The caption, the window's icon and the close box, in the bold
            // dialog font of Windows and in the bold desktop font a window
            // manager draws with.
            for (QFont captionFont : {box->font(), QFontDatabase::systemFont(QFontDatabase::GeneralFont)}) {
                captionFont.setBold(true);
                const QFontMetrics metrics(captionFont);
                const int titleNeeds = metrics.horizontalAdvance(caption) + 2 * metrics.height();
                if (box->width() < titleNeeds)
                    misfits << QStringLiteral("caption needs %1 px in %2, box is %3")
                                   .arg(titleNeeds)
                                   .arg(captionFont.family())
                                   .arg(box->width());
            }
            testsupport::pressKey(box, QKeySequence(Qt::Key_Escape));
            if (box->isVisible())
                testsupport::pressKey(box, QKeySequence(Qt::Key_N));
        });
        messageBox(text, caption, flags);
        VERIFY_DRIVER(driver);
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(QLatin1Char('\n'))));
    }
};

ZELO_TEST_MAIN(tst_FormTexts)
#include "tst_FormTexts.moc"
