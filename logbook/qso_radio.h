#pragma once
// The radio as the QSO window sees it; the CAT engine implements it, tests use a double.
#include <string>

namespace korval {

class TQsoRadio {
public:
    virtual ~TQsoRadio() = default;
    virtual bool Attached() const = 0;
    // The current frequency in the radio's own notation (for "$$" and Ctrl+R).
    virtual std::string FrequencyText() const = 0;
};

} // namespace korval
