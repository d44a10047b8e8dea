#include "logbook/entry_field_errors.h"

namespace korval {

std::string EntryFieldErrorText(int errorCode, const std::string& message, const std::string& rangeLo,
                                const std::string& rangeHi)
{
    if (errorCode == oeRangeError)
        return "Value in range " + rangeLo + " to " + rangeHi + " expected";
    return message;
}

} // namespace korval
