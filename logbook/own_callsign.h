#pragma once
// The own callsign taking effect across the program.

namespace korval {

// After the own callsign changed: PutOwnCallIntoTexts on the live configuration, then the own
// country is marked as the home country in the country database.
void ApplyOwnCallsign();

} // namespace korval
