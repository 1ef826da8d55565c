#pragma once

// The application-wide mouse cursor: one value, as the class library's screen
// cursor, set over every window of the application.

namespace platform {

enum class AppCursor { Default, HourGlass, SqlWait };

void setAppCursor(AppCursor cursor);
AppCursor appCursor();

} // namespace platform
