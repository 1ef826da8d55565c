#include "DesignerCursorsUnit.h"

#include "UnitCounter.h"
#include "ui/CursorList.h"

#include <QBitmap>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

UnitCounter counter;

constexpr std::array<std::string_view, 21> cursorNames{
    "CURSOR_INS",  "CURSOR_DB",   "CURSOR_LB",   "CURSOR_PAR",  "CURSOR_FN",   "CURSOR_DATE", "CURSOR_TIME",
    "CURSOR_CISR", "CURSOR_CISS", "CURSOR_CELK", "CURSOR_CRSK", "CURSOR_CISK", "CURSOR_TEXT", "CURSOR_CARA",
    "CURSOR_RAM0", "CURSOR_RAM1", "CURSOR_RAM2", "CURSOR_OBR",  "CURSOR_BARC", "CURSOR_PBOX", "CURSOR_DET"};

constexpr std::string_view namePrefix = "CURSOR_";

// A 3 by 5 pixel letter for the tag that tells the cursors apart.
struct Letter {
    char character;
    std::array<std::string_view, 5> rows;
};

constexpr std::array<Letter, 20> letters{{
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}}, {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}}, {'M', {"#.#", "###", "###", "#.#", "#.#"}},
    {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}}, {'O', {"###", "#.#", "#.#", "#.#", "###"}},
    {'P', {"##.", "#.#", "##.", "#..", "#.."}}, {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "##."}}, {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}}, {'0', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'1', {".#.", "##.", ".#.", ".#.", "###"}}, {'2', {"##.", "..#", ".#.", "#..", "###"}},
}};

void drawLetter(QPainter &painter, int left, int top, char character)
{
    const auto letter = std::ranges::find(letters, character, &Letter::character);
    Q_ASSERT(letter != letters.end());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            if (letter->rows[y][x] == '#')
                painter.drawPoint(left + x, top + y);
}

// A cross whose centre is the hot spot, and beside it a framed tag with the
// cursor's name; black on a white outline.
QCursor drawCursor(std::string_view tag)
{
    QBitmap shape(32, 32);
    shape.fill(Qt::color0);
    {
        QPainter painter(&shape);
        painter.setPen(Qt::color1);
        painter.fillRect(8, 2, 1, 13, Qt::color1);
        painter.fillRect(2, 8, 13, 1, Qt::color1);
        painter.drawRect(13, 13, 18, 8);
        for (int i = 0; i < int(tag.size()); ++i)
            drawLetter(painter, 15 + 4 * i, 15, tag[i]);
    }
    QBitmap mask(32, 32);
    mask.fill(Qt::color0);
    {
        QPainter painter(&mask);
        painter.fillRect(7, 1, 3, 15, Qt::color1);
        painter.fillRect(1, 7, 15, 3, Qt::color1);
        painter.fillRect(12, 12, 20, 11, Qt::color1);
    }
    return QCursor(shape, mask, 8, 8);
}

} // namespace

std::optional<QCursor> DesignerCursorResource(std::string_view name)
{
    if (std::ranges::find(cursorNames, name) == cursorNames.end())
        return std::nullopt;
    return drawCursor(name.substr(namePrefix.size()));
}

void LoadDesignerCursors()
{
    for (int position = 1; position <= int(cursorNames.size()); ++position)
        platform::setScreenCursor(position, DesignerCursorResource(cursorNames[position - 1]));
}

void DesignerCursorsUnitStartup()
{
    counter.startup(LoadDesignerCursors);
}

// The cursors belong to the application's list; nothing to release.
void DesignerCursorsUnitShutdown()
{
    counter.shutdown([] {});
}
