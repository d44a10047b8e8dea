#include "logbook/was_state.h"

namespace korval {

std::string WasStateFor(int stateKind, const std::string& state, bool stateKnown)
{
    switch (stateKind) {
    case 1:
        return stateKnown && state != "HI" && state != "AK" ? state : std::string();
    case 3:
        return "HI";
    case 4:
        return "AK";
    default:
        return {};
    }
}

} // namespace korval
