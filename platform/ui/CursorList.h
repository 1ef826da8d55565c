#pragma once

// The application's numbered cursors, as the class library's screen object
// keeps them: positions map to cursors, and putting a null cursor at a
// position drops it. The list lives as long as the application object and is
// emptied when that object is destroyed, before Qt's own cleanup.

#include <QCursor>

#include <optional>

namespace platform {

void setScreenCursor(int position, const std::optional<QCursor> &cursor);
// Null when nothing is put at the position.
std::optional<QCursor> screenCursor(int position);

} // namespace platform
