#pragma once
// The pick list: a modal choice of one line among many (a country by prefix, a QSO field value).
#include <string>
#include <vector>

class QWidget;

namespace korval {

// `first` is selected at the start; the chosen index, -1 when cancelled.
int ShowPicklistDialog(QWidget* parent, const std::string& caption, const std::vector<std::string>& entries, int first);

} // namespace korval
