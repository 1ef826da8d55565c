#pragma once

// Windows virtual key codes, so key handlers read as the forms were written.

class QKeyEvent;

namespace platform {

constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
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
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_F1 = 112;
constexpr int VK_F3 = 114;
constexpr int VK_F4 = 115;
constexpr int VK_F5 = 116;
constexpr int VK_F12 = 123;

// The virtual key of a key event: the codes above, "0" to "9" as 48 to 57,
// letters as 65 to 90; 0 for a key without a code here.
int virtualKey(const QKeyEvent &event);

} // namespace platform
