#pragma once
// The program's child windows plugged into the main window's slots: how each is made over the
// QSO window and how it follows the entry. A window that joins the program gets its line here
// (and its feature leaves the not-built list of qso_commands.cpp).
#include <functional>

namespace korval {

class TChildWindows;
class TQSOForm;

// qsoWindow answers the QSO window, or null while there is none.
void PlugChildWindows(TChildWindows& children, std::function<TQSOForm*()> qsoWindow);

} // namespace korval
