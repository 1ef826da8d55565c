#include "LoginCharacters.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

void typeClipboard(QLineEdit *edit)
{
    const QString text = QApplication::clipboard()->text();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
    }
}

class PasteAsKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste))
            return false;
        auto *edit = static_cast<QLineEdit *>(watched);
        if (!edit->isReadOnly())
            typeClipboard(edit);
        return true;
    }
};

} // namespace

bool IsLoginCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z') || (code >= u'0' && code <= u'9');
}

void TypeOnlyThroughKeys(QLineEdit *edit)
{
    edit->installEventFilter(new PasteAsKeys(edit));
    edit->setAcceptDrops(false);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    // The standard menu's paste would go around the key filter.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
}
