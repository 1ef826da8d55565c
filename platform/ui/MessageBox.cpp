#include "MessageBox.h"

#include "WindowHints.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace platform {

namespace {

struct BoxButton {
    const char *caption;
    int id;
};

QList<BoxButton> buttonsOf(int flags)
{
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        return {{"OK", IDOK}, {"Storno", IDCANCEL}};
    case MB_YESNOCANCEL:
        return {{"&Ano", IDYES}, {"&Ne", IDNO}, {"Storno", IDCANCEL}};
    case MB_YESNO:
        return {{"&Ano", IDYES}, {"&Ne", IDNO}};
    default:
        return {{"OK", IDOK}};
    }
}

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Windows rules for Esc and the close box: a one-button box answers with its
// button, a box with Cancel answers Cancel, a Yes/No box ignores both. Qt's
// own box would pick an escape button by itself. Its size follows Windows
// too: lines are wrapped only past the widest line Windows allows, and the
// box is never narrower than its caption.
class WindowsMessageBox : public QMessageBox {
public:
    QAbstractButton *escape = nullptr;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (event->spontaneous())
            return;
        fitToWindowsSize();
        setTitleButtons(this, TitleButtons::CloseOnly);
    }
    bool event(QEvent *event) override
    {
        const bool handled = QMessageBox::event(event);
        // Qt's box sizes itself anew when its layout is asked to: the
        // Windows size again.
        if (isVisible() && !fitting_ && event->type() == QEvent::LayoutRequest)
            fitToWindowsSize();
        return handled;
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            if (escape)
                escape->click();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (escape)
            escape->click();
    }

private:
    bool fitting_ = false;

    void fitToWindowsSize()
    {
        QScopedValueRollback<bool> fitting(fitting_, true);
        auto *label = findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        if (!label || !layout())
            return;
        const QFontMetrics metrics(label->font());
        int widestLine = 0;
        for (const QString &line : label->text().split(QLatin1Char('\n')))
            widestLine = std::max(widestLine, metrics.horizontalAdvance(line));
        const QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
        label->setWordWrap(target && widestLine > messageLineLimit(*target));
        layout()->invalidate();
        layout()->activate();
        const int width = std::max(layout()->totalSizeHint().width(), captionWidth(windowTitle()));
        const int height =
            layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : layout()->totalSizeHint().height();
        setFixedSize(width, height);
    }
};

} // namespace

int messageLineLimit(const QScreen &screen)
{
    return screen.availableGeometry().width() * 5 / 8;
}

int captionWidth(const QString &caption)
{
    // Windows draws the caption in bold dialog type; a window manager in a
    // font of its own, most often the desktop's general font, bold.
    int width = 0;
    for (QFont captionFont : {QApplication::font(), QFontDatabase::systemFont(QFontDatabase::GeneralFont)}) {
        captionFont.setBold(true);
        const QFontMetrics metrics(captionFont);
        // The caption's text with room for the window's icon and its close box.
        width = std::max(width, metrics.horizontalAdvance(caption) + 3 * metrics.height());
    }
    return width;
}

int messageBox(const QString &text, const QString &caption, int flags)
{
    QPointer<QWidget> previouslyActive = QApplication::activeWindow();

    WindowsMessageBox box;
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setIcon(iconOf(flags));
    box.setWindowModality(Qt::ApplicationModal);

    const QList<BoxButton> boxButtons = buttonsOf(flags);
    QList<QPushButton *> buttons;
    // ActionRole for all keeps the insertion order on screen: the Windows order.
    for (const BoxButton &button : boxButtons)
        buttons.append(box.addButton(QString::fromUtf8(button.caption), QMessageBox::ActionRole));
    const int defaultIndex = (flags & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[defaultIndex]);
    if (buttons.size() == 1)
        box.escape = buttons.first();
    for (int i = 0; i < boxButtons.size(); ++i) {
        if (boxButtons[i].id == IDCANCEL)
            box.escape = buttons[i];
    }

    box.exec();

    int result = IDCANCEL;
    for (int i = 0; i < boxButtons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            result = boxButtons[i].id;
    }
    if (previouslyActive && previouslyActive->isVisible())
        previouslyActive->activateWindow();
    return result;
}

} // namespace platform
