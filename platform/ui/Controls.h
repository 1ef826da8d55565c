#pragma once

// Small pieces of the class library's controls that Qt's do differently.

#include <QList>

class QAbstractButton;
class QLabel;
class QString;
class QWidget;

namespace platform {

// A label at the place that sizes itself to its caption.
QLabel *newLabel(const QString &caption, QWidget *parent, int left, int top);

// Radio buttons of one group, as Windows tabs into them: Tab lands on the
// checked one (the first while none is checked) and leaves the group with
// the next Tab.
void tabToCheckedRadio(const QList<QAbstractButton *> &group);

} // namespace platform
