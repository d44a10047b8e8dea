#pragma once
// The program's windows plugged into the QSO window: the child windows of the main window's
// slots (how each is made over the QSO window and how it follows the entry) and the reports of
// its Reports menu. A window that joins the program gets its line here (and its feature leaves
// the not-built list of qso_commands.cpp).
#include <functional>

namespace korval {

class TChildWindows;
class TQSOForm;
struct TReportEntry;

// qsoWindow answers the QSO window, or null while there is none.
void PlugChildWindows(TChildWindows& children, std::function<TQSOForm*()> qsoWindow);

// Opens the report of a Reports-menu entry over the QSO window (qso null: over the current log);
// after a submission the QSO window's views follow the award flags it set.
void OpenQsoReport(const TReportEntry& entry, TQSOForm* qso);

} // namespace korval
