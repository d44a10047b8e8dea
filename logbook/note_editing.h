#pragma once
// What the note and address editors of the QSO window work on: a note field's text as lines
// (the field keeps them joined by "|"), and a QSL manager's address in the country database.
#include <string>
#include <string_view>
#include <vector>

namespace korval {

// "a|b|" -> "a", "b", "" ; an empty text is one empty line.
std::vector<std::string> SplitNoteLines(std::string_view text);
// Each line followed by "|", the last "|" dropped.
std::string JoinNoteLines(const std::vector<std::string>& lines);

// The address lines kept for a manager's call (cut to 12 characters); empty when none.
std::vector<std::string> ManagerAddressLines(std::string_view call);
// Replaces the manager's address (none when lines is empty) and marks the country data changed.
void StoreManagerAddress(std::string_view call, const std::vector<std::string>& lines);

} // namespace korval
