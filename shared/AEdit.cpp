#include "AEdit.h"

#include "base/Win1250.h"
#include "ui/Beep.h"
#include "ui/Keys.h"
#include "ui/Look.h"
#include "ui/MessageBox.h"
#include "ui/Regional.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>

using namespace platform;

namespace {

bool isControlKey(QChar key)
{
    const int code = key.unicode();
    return code == VK_BACK || code == VK_TAB || code == VK_RETURN || code == VK_ESCAPE;
}

bool isDigit(QChar key)
{
    return key >= QLatin1Char('0') && key <= QLatin1Char('9');
}

bool isOneOf(QChar key, const char *characters)
{
    return QLatin1StringView(characters).contains(key);
}

// Both decimal types turn the other separator into the regional one.
void rewriteDecimalSeparator(QChar &key)
{
    const QChar separator = regionalSettings().decimalSeparator;
    if (key == QLatin1Char(',') && separator == QLatin1Char('.'))
        key = QLatin1Char('.');
    if (key == QLatin1Char('.') && separator == QLatin1Char(','))
        key = QLatin1Char(',');
}

Qt::Alignment qtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

void showNoDateWarning(const QString &typed)
{
    messageBox(QStringLiteral("'%1' není platné datum.").arg(typed), QStringLiteral("Upozornění"),
               MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

TAEdit::TAEdit(QWidget *owner) : QLineEdit(owner)
{
    SetEnterIsTab(true);
    SetCharType(ctAll);
    connect(this, &QLineEdit::textChanged, this, [this] {
        applyCharCase();
        emit OnChange();
    });
}

void TAEdit::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    setAlignment(qtAlignment(value));
    update();
}

void TAEdit::SetCharCase(TEditCharCase value)
{
    FCharCase = value;
    applyCharCase();
}

void TAEdit::SetPasswordChar(QChar value)
{
    setPasswordCharacter(this, value);
}

void TAEdit::applyCharCase()
{
    if (FCharCase != ecUpperCase)
        return;
    const QString upper = upperLocale(text());
    if (upper == text())
        return;
    const int cursor = cursorPosition();
    setText(upper);
    setCursorPosition(cursor);
}

bool TAEdit::FilterKey(QChar &key, TCharType charType)
{
    if (isControlKey(key))
        return true;
    bool accepted = false;
    switch (charType) {
    case ctAll:
        accepted = true;
        break;
    case ctInteger:
        accepted = isDigit(key) || isOneOf(key, "+-");
        break;
    case ctFloat:
        rewriteDecimalSeparator(key);
        accepted = isDigit(key) || isOneOf(key, "+,-.Ee");
        break;
    case ctDate:
        if (key == QLatin1Char(','))
            key = QLatin1Char('.');
        accepted = isDigit(key) || key == QLatin1Char('.');
        break;
    case ctIntegerUnsigned:
        accepted = isDigit(key);
        break;
    case ctFloatUnsigned:
        rewriteDecimalSeparator(key);
        accepted = isDigit(key) || isOneOf(key, ",.Ee");
        break;
    }
    if (!accepted)
        key = QChar();
    return accepted;
}

QChar TAEdit::CheckDigit(QChar key)
{
    if (isDigit(key) || key.unicode() == VK_BACK || key.unicode() == VK_ESCAPE)
        return key;
    simpleBeep();
    return QChar();
}

void TAEdit::CompleteDate(QString &text)
{
    if (text.isEmpty())
        return;
    const QString typed = text;
    if (CheckDigit(text.front()).isNull()) {
        showNoDateWarning(typed);
        return;
    }
    const QDate today = regionalSettings().today;
    const QString month = QString::number(today.month());
    const QString year = QString::number(today.year());
    const auto digitAt = [&text](int position) { return !CheckDigit(text[position - 1]).isNull(); };
    switch (text.size()) {
    case 1:
        text = QStringLiteral("%1.%2.%3").arg(text, month, year);
        break;
    case 2:
        text = digitAt(2) ? QStringLiteral("%1.%2.%3").arg(text, month, year)
                          : QStringLiteral("%1%2.%3").arg(text, month, year);
        break;
    case 3:
        text = digitAt(3) ? QStringLiteral("%1.%2").arg(text, year) : QStringLiteral("%1%2.%3").arg(text, month, year);
        break;
    case 4:
    case 5:
        text = digitAt(int(text.size())) ? QStringLiteral("%1.%2").arg(text, year)
                                         : QStringLiteral("%1%2").arg(text, year);
        break;
    case 6:
        if (!digitAt(6))
            text = QStringLiteral("%1%2").arg(text, year);
        break;
    default:
        break;
    }
    if (!parseShortDate(text))
        showNoDateWarning(typed);
}

void TAEdit::keyPressEvent(QKeyEvent *event)
{
    // Every key reaches OnKeyDown; a key with no virtual key code comes as 0
    // and cannot be consumed there.
    const int pressed = virtualKey(*event);
    int key = pressed;
    emit OnKeyDown(key, event->modifiers());
    if (pressed == VK_RETURN && FEnterIsTab) {
        // Posted, so the focus moves once this key is handled completely,
        // whatever OnKeyDown did with it; the character still goes its way.
        QMetaObject::invokeMethod(
            this, [this] { focusNextPrevChild(true); }, Qt::QueuedConnection);
        typeCharacter(event);
        // The form's default button must not take the Enter that moves the focus.
        event->accept();
        return;
    }
    if (pressed != 0 && key == 0) {
        event->accept();
        return;
    }
    typeCharacter(event);
}

void TAEdit::typeCharacter(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool character = typed.size() == 1 && (typed.front().isPrint() || isControlKey(typed.front()));
    if (event->matches(QKeySequence::Paste) && FMaxLength > 0) {
        const int room = FMaxLength - int(text().size() - selectedText().size());
        insert(QApplication::clipboard()->text().left(qMax(room, 0)));
        event->accept();
        return;
    }
    if (!character || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar key = typed.front();
    FilterKey(key, FCharType);
    emit OnKeyPress(key);
    if (key.isNull()) {
        event->accept();
        return;
    }
    if (isControlKey(key)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (FCharCase == ecUpperCase)
        key = upperLocale(QString(key)).front();
    if (FMaxLength > 0 && text().size() - selectedText().size() >= FMaxLength) {
        event->accept();
        return;
    }
    QKeyEvent rewritten(event->type(), event->key(), event->modifiers(), QString(key), event->isAutoRepeat());
    QLineEdit::keyPressEvent(&rewritten);
    event->setAccepted(rewritten.isAccepted());
}

void TAEdit::focusOutEvent(QFocusEvent *event)
{
    // Only a move to another control is an exit; the window losing the
    // activation (a message box opening) is not.
    const bool exit = event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
    if (exit)
        CMExit();
    QLineEdit::focusOutEvent(event);
    if (exit)
        emit OnExit();
}

void TAEdit::CMExit()
{
    if (FCharType != ctDate)
        return;
    QString completed = text();
    CompleteDate(completed);
    setText(completed);
}
