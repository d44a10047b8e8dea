#pragma once
// The entry fields' error handler of the windows.
#include <string>

class QObject;

namespace korval {

// A range error names the field's limits (its "RangeLo" and "RangeHi" properties), anything
// else shows the message; error, OK.
void ShowEntryFieldError(QObject* sender, int errorCode, const std::string& message);

} // namespace korval
