#pragma once
// Small rules the windows share: callsign syntax, stepping dates and times with the Up and Down
// keys, the coordinate sign of a choice box, check-list state bytes, list text for the
// clipboard, the entry-field range message and the WAS state of a QSO.
#include <cstdint>
#include <string>
#include <vector>

namespace korval {

// User commands of the entry fields: Up and Down.
inline constexpr int ccStepUp = 256;
inline constexpr int ccStepDown = 257;
// Entry-field error codes.
inline constexpr int oeRangeError = 256;
inline constexpr int oeUnknownValue = 32769;

// At least three characters of 'A'..'Z', '0'..'9', '?' and '/'; a '/' neither first, last nor
// doubled; at least one letter or '?'.
bool IsValidCall(const std::string& call);

// Dates are day counts (days since 1600-01-01, -1 empty or bad); times seconds of the day.
// Each returns whether the value changed.
bool StepDate(std::int32_t& date, int command);
bool StepTime(std::int32_t& seconds, int command);
bool StepDateTime(std::int32_t& date, std::int32_t& seconds, int minutes, int command);

// The text of an entry field's error: the range for a range error, else the given message.
std::string EntryFieldErrorText(int errorCode, const std::string& message, const std::string& rangeLo,
                                const std::string& rangeHi);

// A coordinate shown as its absolute value and a sign choice: selection 1 positive (East,
// North), 2 negative.
struct TCoordParts {
    double magnitude;
    int selection;
};
TCoordParts SplitCoord(double value);
double JoinCoord(double magnitude, int selection);

// The lines of a list box as clipboard text: the selected lines, or all when none is selected,
// each followed by CR LF.
std::string ListLinesToClipboardText(const std::vector<std::string>& lines, const std::vector<bool>& selected);

// The state that counts for WAS by the country's state kind: 1 (contiguous USA) the state when
// known and neither "HI" nor "AK"; 3 "HI"; 4 "AK"; otherwise empty.
std::string WasStateFor(int stateKind, const std::string& state, bool stateKnown);

// True when the level is not above the configured user level.
inline bool UserLevelAllowsLevel(int level, int configuredLevel) { return level <= configuredLevel; }

} // namespace korval
