#pragma once
// This program's bands and modes in ADIF's terms, both ways. ADIF names some modes differently
// (Clover is "CLO", packet "PKT", PACTOR "PAC") and puts others under a mode as a submode
// (PSK31 is MODE "PSK", SUBMODE "PSK31"); the fast-scan TV mode, which ADIF lacks, is written
// as "ATV" with this program's own mode name in an application field.
//
// ADIF knows far more modes and bands than the 15-entry tables of this program. A QSO in such a
// mode is filed under the table mode of its mode group (see AdifModeToMode), a QSO on such a
// band under band 0; the ADIF values themselves travel with the QSO (TAdifKeptValues).
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

// A MODE and SUBMODE as the ADIF mode enumeration has them, in upper case. A submode given as
// MODE (older files and ADIF's import-only names: PSK63, QPSK31, JT65A, FT4, USB, C4FM) is
// moved under its mode; Known is false for a MODE the enumeration does not have.
struct TAdifModeName {
    std::string Mode;
    std::string Submode;
    bool Known = false;
};
TAdifModeName NormalizeAdifMode(std::string_view mode, std::string_view submode);

// The mode number of an ADIF MODE and SUBMODE (any case; older ADIF mode names and this
// program's own short names are read too); 0 when neither ADIF nor this program has such a
// mode. Modes the table has no entry for go to the table mode of their group:
//   CW and its submodes                                         -> CW
//   AM, FM, SSB (USB, LSB), ATV, SSTV                             -> themselves
//   FAX                                                           -> SSTV (image modes)
//   DIGITALVOICE (C4FM, DMR, DSTAR, M17), VOI                     -> FM, FREEDV -> SSB
//   PSK with submode PSK31                                        -> PSK3
//   PSK with any other submode (PSK63, QPSK31, 8PSK125, ...)      -> PSK
//   TOR GTOR -> GTOR, other TOR -> MTOR; PAC -> PTOR; PKT -> PACK; CLO -> CLOV
//   RTTY, RTTYM and every other digital mode of the enumeration
//   (FT8, FT4, JT65, JT9, MFSK, OLIVIA, CONTESTI, HELL, MT63, ...)  -> RTTY
int AdifModeToMode(std::string_view mode, std::string_view submode);
// The table mode that an ADIF MODE without SUBMODE names exactly (CW, SSB, RTTY, ...; any case)
// and that exports as that MODE again; 0 otherwise. The quick way for most records.
int DirectAdifMode(std::string_view mode);
// The same for a MODE and SUBMODE already normalized.
int AdifModeToMode(const TAdifModeName& name);

// The ADIF band name of a band 1..14 ("1.25m" for the 220 MHz band); empty for the satellite
// band and 0 (a satellite QSO is written with PROP_MODE SAT instead).
const char* AdifBandName(int band);
// The ADIF band enumeration: the canonical name of a band name (any case: "20M" gives "20m"),
// or "" when ADIF has no such band. band, when given, gets this program's band of it (as
// BandOfAdifBand), so that a reader looks a band up once.
const char* AdifBandCanonical(std::string_view name, int* band = nullptr);
// The ADIF band holding a frequency in MHz, or ""; band as above.
const char* AdifBandOfFrequency(double mhz, int* band = nullptr);
// This program's band (1..14) of an ADIF band name; 0 when the table has no such band.
int BandOfAdifBand(std::string_view canonicalName);

// A decimal number with nothing but blanks around it.
bool ReadReal(std::string_view text, double& value);

} // namespace korval
