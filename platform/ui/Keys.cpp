#include "Keys.h"

#include <QHash>
#include <QKeyEvent>

namespace platform {

namespace {

// The keys of the Windows layout by the key's place (the PC scan code): the
// national letters of a Czech keyboard have no key code of their own in Qt.
int virtualKeyOfScanCode(quint32 scanCode)
{
    static const QHash<quint32, int> places{
        {0x02, '1'},  {0x03, '2'},  {0x04, '3'},  {0x05, '4'},  {0x06, '5'},  {0x07, '6'},  {0x08, '7'},  {0x09, '8'},
        {0x0A, '9'},  {0x0B, '0'},  {0x0C, 0xBD}, {0x0D, 0xBB}, {0x1A, 0xDB}, {0x1B, 0xDD}, {0x27, 0xBA}, {0x28, 0xDE},
        {0x29, 0xC0}, {0x2B, 0xDC}, {0x33, 0xBC}, {0x34, 0xBE}, {0x35, 0xBF}, {0x56, 0xE2},
    };
    return places.value(scanCode, 0);
}

int virtualKeyOfQtKey(int key, bool keypad)
{
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_NUMPAD0 + (key - Qt::Key_0);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    static const QHash<int, int> keys{
        {Qt::Key_Backspace, VK_BACK},
        {Qt::Key_Tab, VK_TAB},
        {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},
        {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL},
        {Qt::Key_Alt, VK_MENU},
        {Qt::Key_AltGr, VK_MENU},
        {Qt::Key_Pause, VK_PAUSE},
        {Qt::Key_CapsLock, VK_CAPITAL},
        {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Space, VK_SPACE},
        {Qt::Key_PageUp, VK_PRIOR},
        {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},
        {Qt::Key_Home, VK_HOME},
        {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Up, VK_UP},
        {Qt::Key_Right, VK_RIGHT},
        {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Print, VK_SNAPSHOT},
        {Qt::Key_Insert, VK_INSERT},
        {Qt::Key_Delete, VK_DELETE},
        {Qt::Key_Meta, VK_LWIN},
        {Qt::Key_Menu, VK_APPS},
        {Qt::Key_NumLock, VK_NUMLOCK},
        {Qt::Key_ScrollLock, VK_SCROLL},
        // The punctuation keys by the US layout's places.
        {Qt::Key_Semicolon, 0xBA},
        {Qt::Key_Equal, 0xBB},
        {Qt::Key_Comma, 0xBC},
        {Qt::Key_Minus, 0xBD},
        {Qt::Key_Period, 0xBE},
        {Qt::Key_Slash, 0xBF},
        {Qt::Key_QuoteLeft, 0xC0},
        {Qt::Key_BracketLeft, 0xDB},
        {Qt::Key_Backslash, 0xDC},
        {Qt::Key_BracketRight, 0xDD},
        {Qt::Key_Apostrophe, 0xDE},
    };
    static const QHash<int, int> keypadKeys{
        {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},      {Qt::Key_Minus, VK_SUBTRACT},
        {Qt::Key_Period, VK_DECIMAL},    {Qt::Key_Comma, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
    };
    if (keypad && keypadKeys.contains(key))
        return keypadKeys.value(key);
    return keys.value(key, 0);
}

} // namespace

int virtualKey(const QKeyEvent &event)
{
    const int byKey = virtualKeyOfQtKey(event.key(), event.modifiers() & Qt::KeypadModifier);
    if (byKey != 0)
        return byKey;
    // X11 key codes are the scan codes moved by 8.
    const quint32 native = event.nativeScanCode();
    return native > 8 ? virtualKeyOfScanCode(native - 8) : 0;
}

} // namespace platform
