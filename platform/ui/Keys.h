#pragma once

// Windows virtual key codes, so key handlers read as the forms were written.

class QKeyEvent;

namespace platform {

constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_PAUSE = 19;
constexpr int VK_CAPITAL = 20;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_SNAPSHOT = 44;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_LWIN = 91;
constexpr int VK_APPS = 93;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_MULTIPLY = 106;
constexpr int VK_ADD = 107;
constexpr int VK_SUBTRACT = 109;
constexpr int VK_DECIMAL = 110;
constexpr int VK_DIVIDE = 111;
constexpr int VK_F1 = 112;
constexpr int VK_F3 = 114;
constexpr int VK_F4 = 115;
constexpr int VK_F5 = 116;
constexpr int VK_F12 = 123;
constexpr int VK_NUMLOCK = 144;
constexpr int VK_SCROLL = 145;

// The virtual key of a key event: the codes above, "0" to "9" as 48 to 57,
// letters as 65 to 90, the punctuation keys as the Windows OEM codes (186 to
// 226); a key that Qt names only by its character (a Czech letter) by its
// place on the keyboard. 0 for a key with neither.
int virtualKey(const QKeyEvent &event);

} // namespace platform
