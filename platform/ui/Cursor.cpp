#include "Cursor.h"

#include <QApplication>
#include <QCursor>

namespace platform {

namespace {
Qt::CursorShape shapeOf(AppCursor cursor)
{
    return cursor == AppCursor::SqlWait ? Qt::BusyCursor : Qt::WaitCursor;
}
} // namespace

void setAppCursor(AppCursor cursor)
{
    // One value, not a stack: the default removes every override.
    if (cursor == AppCursor::Default) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        return;
    }
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(QCursor(shapeOf(cursor)));
    else
        QApplication::setOverrideCursor(QCursor(shapeOf(cursor)));
}

AppCursor appCursor()
{
    const QCursor *cursor = QApplication::overrideCursor();
    if (!cursor)
        return AppCursor::Default;
    return cursor->shape() == Qt::BusyCursor ? AppCursor::SqlWait : AppCursor::HourGlass;
}

} // namespace platform
