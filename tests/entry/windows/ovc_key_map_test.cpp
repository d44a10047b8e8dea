#include "entry/windows/ovc_key_map.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace korval;

TEST(OvcKeyMap, QtKeysBecomeVirtualKeys)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        uint8_t vk;
        uint8_t shift;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, kp = Qt::KeypadModifier;
    for (const Case& c : {
             Case{Qt::Key_A, none, 'A', 0}, Case{Qt::Key_Z, Qt::ControlModifier, 'Z', ss_Ctrl},
             Case{Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier, '0', ss_Ctrl | ss_Shift},
             Case{Qt::Key_ParenRight, Qt::ControlModifier | Qt::ShiftModifier, '0', ss_Ctrl | ss_Shift},
             Case{Qt::Key_F2, none, VK_F2, 0}, Case{Qt::Key_F24, none, VK_F24, 0},
             Case{Qt::Key_Backspace, Qt::AltModifier, VK_BACK, ss_Alt},
             Case{Qt::Key_Tab, none, VK_TAB, 0}, Case{Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB, ss_Shift},
             Case{Qt::Key_Return, none, VK_RETURN, 0}, Case{Qt::Key_Enter, kp, VK_RETURN, 0},
             Case{Qt::Key_Escape, none, VK_ESCAPE, 0}, Case{Qt::Key_PageUp, none, VK_PRIOR, 0},
             Case{Qt::Key_PageDown, none, VK_NEXT, 0}, Case{Qt::Key_Home, kp, VK_HOME, 0},
             Case{Qt::Key_Left, none, VK_LEFT, 0}, Case{Qt::Key_Insert, none, VK_INSERT, 0},
             Case{Qt::Key_Delete, none, VK_DELETE, 0}, Case{Qt::Key_7, kp, 0x67, 0},
             Case{Qt::Key_7, none, '7', 0}, Case{Qt::Key_Asterisk, kp, VK_MULTIPLY, 0},
             Case{Qt::Key_Plus, kp, VK_ADD, 0}, Case{Qt::Key_Minus, kp, VK_SUBTRACT, 0},
             Case{Qt::Key_Period, kp, VK_DECIMAL, 0}, Case{Qt::Key_Slash, kp, VK_DIVIDE, 0},
             Case{Qt::Key_Minus, none, VK_OEM_MINUS, 0}, Case{Qt::Key_Semicolon, none, VK_OEM_1, 0},
             Case{Qt::Key_Colon, Qt::ShiftModifier, VK_OEM_1, ss_Shift},
             Case{Qt::Key_Comma, none, VK_OEM_COMMA, 0}, Case{Qt::Key_Period, none, VK_OEM_PERIOD, 0},
             Case{Qt::Key_Slash, none, VK_OEM_2, 0}, Case{Qt::Key_BracketLeft, none, VK_OEM_4, 0},
             Case{Qt::Key_Apostrophe, none, VK_OEM_7, 0}, Case{Qt::Key_Shift, Qt::ShiftModifier, VK_SHIFT, 0},  // Qt drops a modifier key's own flag
             Case{Qt::Key_Control, Qt::ControlModifier, VK_CONTROL, 0},
             Case{Qt::Key_NumLock, none, VK_NUMLOCK, 0}, Case{Qt::Key_unknown, none, 0, 0}}) {
        QKeyEvent e(QEvent::KeyPress, c.key, c.mods);
        TOvcKey k = OvcKeyFromEvent(&e);
        EXPECT_EQ(int(k.Key), int(c.vk)) << "Qt key 0x" << std::hex << c.key;
        EXPECT_EQ(int(k.Shift), int(c.shift)) << "Qt key 0x" << std::hex << c.key;
    }
}
