#pragma once
// The controls of a notebook page in a settings file: one key per named control (its object
// name), in the section the caller names, written and read back by the kind of control. The
// page's controls are those whose parent chain, passing through group boxes, leads to the page.
#include <set>
#include <string>

class QWidget;

namespace korval {

class TIniFile;

// Entry fields write their text (a field of a real type its number), choice boxes the item
// shown, check boxes "0" or "1", check lists one "Y" or "N" per item; group boxes nothing; any
// other named control goes to the section "UNKNOWN" with the value "?". Names in skip are left
// out.
void WritePageControls(TIniFile& ini, const std::string& section, QWidget* page, const std::set<std::string>& skip);

// Reads the same back: a missing key leaves its control as it is; a number that does not parse
// and a choice that is not among the items change nothing; a check list text shorter than the
// list changes only its leading items.
void ReadPageControls(const TIniFile& ini, const std::string& section, QWidget* page,
                      const std::set<std::string>& skip);

} // namespace korval
