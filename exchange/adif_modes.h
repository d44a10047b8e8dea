#pragma once
// This program's bands and modes in ADIF's terms, both ways. ADIF names some modes differently
// (Clover is "CLO", packet "PKT", PACTOR "PAC") and puts others under a mode as a submode
// (PSK31 is MODE "PSK", SUBMODE "PSK31"); the fast-scan TV mode, which ADIF lacks, is written
// as "ATV" with this program's own mode name in an application field.
#include <string>
#include <string_view>

namespace korval {

struct TAdifMode {
    const char* Mode;
    const char* Submode;  // "" when none
    bool NeedsOwnName;     // the mode cannot be told apart by MODE and SUBMODE alone
};
// The ADIF mode of a mode number 1..15 (mode 0 gives an empty mode).
TAdifMode ModeToAdif(int mode);
// The mode number of an ADIF MODE and SUBMODE (any case; older ADIF mode names and this
// program's own short names are read too); 0 when this program has no such mode.
int AdifModeToMode(std::string_view mode, std::string_view submode);
// The ADIF band name of a band 1..14 ("1.25m" for the 220 MHz band); empty for the satellite
// band and 0 (a satellite QSO is written with PROP_MODE SAT instead).
const char* AdifBandName(int band);
// A decimal number with nothing but blanks around it.
bool ReadReal(std::string_view text, double& value);

} // namespace korval
