#include "Controls.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>

#include <memory>

namespace platform {

QLabel *newLabel(const QString &caption, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void tabToCheckedRadio(const QList<QAbstractButton *> &group)
{
    auto buttons = std::make_shared<QList<QPointer<QAbstractButton>>>();
    for (QAbstractButton *button : group)
        buttons->append(button);
    const auto update = [buttons] {
        bool anyChecked = false;
        for (const QPointer<QAbstractButton> &button : *buttons)
            anyChecked = anyChecked || (button && button->isChecked());
        bool first = true;
        for (const QPointer<QAbstractButton> &button : *buttons) {
            if (!button)
                continue;
            const bool tabStop = anyChecked ? button->isChecked() : first;
            button->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
            first = false;
        }
    };
    for (QAbstractButton *button : group)
        QObject::connect(button, &QAbstractButton::toggled, button, update);
    update();
}

} // namespace platform
