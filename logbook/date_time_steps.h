#pragma once
// Stepping a date or time field with the Up and Down keys.
#include <cstdint>

#include "entry/ovc_command_processor.h"

namespace korval {

// The user commands the fields' Up and Down keys are mapped to.
inline constexpr int ccStepUp = ccUser0;
inline constexpr int ccStepDown = ccUser1;

// Dates are day counts (days since 1600-01-01, -1 empty or bad); times seconds of the day.
// Each returns whether the value changed.
bool StepDate(std::int32_t& date, int command);
bool StepTime(std::int32_t& seconds, int command);
bool StepDateTime(std::int32_t& date, std::int32_t& seconds, int minutes, int command);

} // namespace korval
