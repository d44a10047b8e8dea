#include "logbook/was_state.h"

#include "logbook/country_db.h"

namespace korval {

std::string WasStateFor(int stateKind, const std::string& state, bool stateKnown)
{
    switch (stateKind) {
    case skUsStates:
        return stateKnown && state != "HI" && state != "AK" ? state : std::string();
    case skHawaii:
        return "HI";
    case skAlaska:
        return "AK";
    default:
        return {};
    }
}

} // namespace korval
