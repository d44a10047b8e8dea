#pragma once
#include <string>

namespace korval {

// The folder that stands in for the program directory: $KORVAL_HOME when set and not empty,
// else $XDG_DATA_HOME/korval, else ~/.local/share/korval. No trailing '/'.
std::string KorvalHome();

// Case-insensitive lookup of a name in a folder: the path of an existing entry whose name
// matches `name` ignoring ASCII case, or folder + "/" + name when none does.
std::string FindFileNoCase(const std::string& folder, const std::string& name);

} // namespace korval
