#pragma once
// The number fields of the radio and rotator windows.
#include <cstdint>

class QWidget;

namespace korval {

class TOvcNumericField;

// A number field of the given data type, picture mask and range.
TOvcNumericField* NumberField(QWidget* parent, const char* name, std::uint8_t type, const char* mask, const char* lo,
                              const char* hi);
// A frequency in kHz: 0 to 9 999 999, three decimals.
TOvcNumericField* FrequencyField(QWidget* parent, const char* name);

} // namespace korval
