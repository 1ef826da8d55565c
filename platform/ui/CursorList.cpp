#include "CursorList.h"

#include <QCoreApplication>

#include <map>

namespace platform {

namespace {

std::map<int, QCursor> &cursors()
{
    static std::map<int, QCursor> list;
    return list;
}

// Bitmap cursors must not outlive the application's graphics system.
void releaseCursors()
{
    cursors().clear();
}

} // namespace

void setScreenCursor(int position, const std::optional<QCursor> &cursor)
{
    if (!cursor) {
        cursors().erase(position);
        return;
    }
    if (cursors().empty()) {
        // Once per application object: its destruction runs and forgets the routine.
        qRemovePostRoutine(releaseCursors);
        qAddPostRoutine(releaseCursors);
    }
    cursors().insert_or_assign(position, *cursor);
}

std::optional<QCursor> screenCursor(int position)
{
    const auto found = cursors().find(position);
    if (found == cursors().end())
        return std::nullopt;
    return found->second;
}

} // namespace platform
