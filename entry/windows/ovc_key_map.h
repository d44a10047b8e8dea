#pragma once
// Qt key events as the Windows virtual keys and shift flags that the command tables use.
#include "entry/ovc_vkeys.h"

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace korval {

struct TOvcKey {
    uint8_t Key = 0;    // virtual-key code, 0 when the key has none
    uint8_t Shift = 0;  // ss_Shift | ss_Ctrl | ss_Alt
};

// The virtual key of a Qt key; keypad keys (KeypadModifier) give the numeric-pad codes, shifted
// punctuation gives the key it is on (US layout), Backtab gives Tab.
uint8_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);
uint8_t ShiftFlagsFromQt(Qt::KeyboardModifiers modifiers);
TOvcKey OvcKeyFromEvent(const QKeyEvent* event);

// The shift flags of the keyboard right now.
uint8_t GetShiftFlags();
// The virtual key of the primary mouse button.
uint8_t GetLeftButton();

} // namespace korval
