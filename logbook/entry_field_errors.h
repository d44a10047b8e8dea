#pragma once
// The error codes the windows' field checks return to the entry fields, and the text shown for
// them.
#include <string>

#include "entry/ovc_field_engine.h"

namespace korval {

// A value the lists do not know (the first of a form's own codes after oeCustomError); range
// errors are the fields' own oeRangeError.
inline constexpr int oeUnknownValue = oeCustomError + 1;

// The text of an entry field's error: the range for a range error, else the given message.
std::string EntryFieldErrorText(int errorCode, const std::string& message, const std::string& rangeLo,
                                const std::string& rangeHi);

} // namespace korval
