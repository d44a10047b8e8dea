#include "entry/windows/ovc_key_map.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace korval {

namespace {

uint8_t punctuation(int key)
{
    switch (key) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus: case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash: case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: case Qt::Key_Dead_Grave: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: case Qt::Key_Dead_Acute: return VK_OEM_7;
    // Shifted digits of the US layout.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: case Qt::Key_Dead_Circumflex: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
    }
}

uint8_t keypad(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return uint8_t(VK_NUMPAD0 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Clear: return VK_CLEAR;
    default: return 0;
    }
}

} // namespace

uint8_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier)
        if (uint8_t k = keypad(key))
            return k;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return uint8_t('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return uint8_t('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return uint8_t(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Meta: case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return punctuation(key);
    }
}

uint8_t ShiftFlagsFromQt(Qt::KeyboardModifiers m)
{
    uint8_t f = 0;
    if (m & Qt::ShiftModifier)
        f |= ss_Shift;
    if (m & Qt::ControlModifier)
        f |= ss_Ctrl;
    if (m & Qt::AltModifier)
        f |= ss_Alt;
    return f;
}

TOvcKey OvcKeyFromEvent(const QKeyEvent* e)
{
    Qt::KeyboardModifiers m = e->modifiers();
    if (e->key() == Qt::Key_Backtab)
        m |= Qt::ShiftModifier;
    return {VirtualKeyFromQt(e->key(), m), ShiftFlagsFromQt(m)};
}

uint8_t GetShiftFlags()
{
    return ShiftFlagsFromQt(QGuiApplication::queryKeyboardModifiers());
}

uint8_t GetLeftButton()
{
    // Qt reports the primary button as the left one whatever the system's swap setting.
    return VK_LBUTTON;
}

} // namespace korval
