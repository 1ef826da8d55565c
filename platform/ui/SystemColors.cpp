#include "SystemColors.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

namespace platform {

namespace {
// Edits, lists and grids paint their inside with the base colour; forms and
// panels with the window colour.
QPalette::ColorRole backgroundRole(const QWidget *control)
{
    if (qobject_cast<const QLineEdit *>(control) || qobject_cast<const QAbstractScrollArea *>(control) ||
        qobject_cast<const QComboBox *>(control))
        return QPalette::Base;
    return QPalette::Window;
}
} // namespace

void setControlColor(QWidget *control, const QColor &color)
{
    QPalette palette = control->palette();
    const QPalette::ColorRole role = backgroundRole(control);
    palette.setColor(QPalette::All, role, color);
    control->setPalette(palette);
    if (role == QPalette::Window)
        control->setAutoFillBackground(true);
}

QColor controlColor(const QWidget *control)
{
    return control->palette().color(backgroundRole(control));
}

void setFontColor(QWidget *control, const QColor &color)
{
    // A disabled control keeps the system's grey, as on Windows.
    QPalette palette = control->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, color);
        palette.setColor(group, QPalette::Text, color);
        palette.setColor(group, QPalette::ButtonText, color);
    }
    control->setPalette(palette);
}

} // namespace platform
