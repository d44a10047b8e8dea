#pragma once
// The sixteen function-key macros of a terminal: their labels, which key gives which macro, and
// where a set of them is kept in the configuration record (packet, RTTY, CW and PSK31 keys).
#include <functional>
#include <string>
#include <string_view>

#include "logbook/text_macros.h"

namespace korval {

inline constexpr int FunctionKeySections = 8;

// The label shown for a macro: the text before its first "|", trimmed; without "|", its first
// six characters, trimmed.
std::string MacroLabel(std::string_view macro);

// The macro (1..16) of function key F1..F8 released with these modifiers: none gives 1..8,
// Ctrl alone 9..16, anything else 0.
int FunctionKeyMacro(int fkey, bool shift, bool ctrl, bool alt);
// The macro a bar section (1..8) stands for: 9..16 while Ctrl is held.
inline int SectionMacro(int section, bool shifted) { return section + (shifted ? 8 : 0); }

// A named set of macros inside the configuration record: read and written whole.
struct TFunctionKeySet {
    std::string name;  // "Packet", "RTTY", "CW", "PSK31": the editor's caption begins with it
    std::function<TFunctionKeys()> load;
    std::function<void(const TFunctionKeys&)> store;
};

// terminal: 0 packet, 1 RTTY.
TFunctionKeySet TerminalKeySet(int terminal);
TFunctionKeySet CwKeySet();
TFunctionKeySet PskKeySet();

} // namespace korval
