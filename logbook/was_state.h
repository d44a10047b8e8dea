#pragma once
// The state a QSO counts for in the Worked All States award.
#include <string>

namespace korval {

// By the country's state kind: 1 (contiguous USA) the state when known and neither "HI" nor
// "AK"; 3 "HI"; 4 "AK"; otherwise empty.
std::string WasStateFor(int stateKind, const std::string& state, bool stateKnown);

} // namespace korval
