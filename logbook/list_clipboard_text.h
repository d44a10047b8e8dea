#pragma once
// The text a list box puts on the clipboard.
#include <string>
#include <vector>

namespace korval {

// The selected lines, or all when none is selected, each followed by CR LF.
std::string ListLinesToClipboardText(const std::vector<std::string>& lines, const std::vector<bool>& selected);

} // namespace korval
