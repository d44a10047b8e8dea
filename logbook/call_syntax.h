#pragma once
// The syntax a callsign must have wherever one is typed or imported.
#include <string>

namespace korval {

// At least three characters of 'A'..'Z', '0'..'9', '?' and '/'; a '/' neither first, last nor
// doubled; at least one letter or '?'.
bool IsValidCall(const std::string& call);

} // namespace korval
