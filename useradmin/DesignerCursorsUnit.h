#pragma once

// The report designer's cursors, put at positions 1 to 21 of the
// application's cursor list at start; nothing in the program uses them.

#include <QCursor>

#include <optional>
#include <string_view>

// The program's cursor of that name ("CURSOR_INS" ... "CURSOR_DET"): 32 by 32,
// two colours, hot spot (8, 8). Null for a name the program does not carry.
std::optional<QCursor> DesignerCursorResource(std::string_view name);

// Puts the 21 cursors at positions 1 to 21; the list owns them from then on.
void LoadDesignerCursors();

void DesignerCursorsUnitStartup();
void DesignerCursorsUnitShutdown();
