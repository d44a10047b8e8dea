#pragma once
// The QSO window's controls as the entry engine sees them: one slot per control, numbered by
// the window's tab order (which is also the field number of a search condition). Entry fields
// keep their text, choice boxes their selection (0 = the blank item of search mode), the three
// date and time fields their value. The window copies its widgets into these slots before it
// asks the engine anything and shows them again afterwards.
#include <array>
#include <cstdint>
#include <string>

#include "logbook/base/day_number.h"

namespace korval {

enum TQsoFieldId : int {
    fCall = 0, fPrefix = 1, fDate = 2, fTime = 3, fMode = 4, fBand = 5, fRsts = 6, fRstr = 7, fRecvd = 8,
    fZone = 9, fState = 10, fCnty = 11, fGrid = 12, fCallNotes = 13, fQslMgr = 14, fNote = 15, fIota = 16,
    fLabel = 17, fQslDate = 18, fQslRoute = 19, fConf = 20, fQrp = 21, fYl = 22, fSat = 23, fAwdType = 24,
    fAwdSel = 25, fAwdVal = 26,
    fAwDxccMixed = 27, fAwDxccBand, fAwDxccMode, fAwWazMixed, fAwWazBand, fAwWazMode, fAwWasMixed, fAwWasBand,
    fAwWasMode, fAwWpxMixed, fAwWpxBand, fAwWpxMode, fAwIota, fAwVucc = 40,
    fGroup = 41, fAwCnty = 42, fAwCustAwd = 43, fValid = 44,
    kQsoFieldCount = 45
};

// Items of the Y/N boxes (the blank item, "any", only in search mode).
enum TYesNoItem : int { ynBlank = 0, ynYes = 1, ynNo = 2 };
// Items of the award boxes: "--", "Subm" (the submitted bit), "Chkd" (the credited bit).
enum TAwardItem : int { aiBlank = 0, aiNone = 1, aiSubmitted = 2, aiCredited = 3 };

// The items of the QSL-route and satellite-mode boxes: a QSO's route n (from 1) is
// QslRouteNames[n - 1], its satellite mode n SatModeNames[n - 1] (mode 1, "------", is none).
inline constexpr int kQslRouteCount = 6;
extern const char* const QslRouteNames[kQslRouteCount];
inline constexpr int kSatModeCount = 9;
extern const char* const SatModeNames[kSatModeCount];

// Kind of control behind a slot.
enum class TQsoFieldKind { Text, Date, Time, Choice };
TQsoFieldKind QsoFieldKind(int field);
// The award boxes: the submitted bit of the award's flag pair, 0 for other slots.
std::uint32_t AwardMaskOfField(int field);
// The control's name as the window knows it ("FQso_Call" ...).
const char* QsoFieldName(int field);
// The QSO flag carried by a Y/N choice slot (label, QSL received, QRP, YL, valid), 0 for others.
std::uint8_t FlagOfField(int field);
// The date fields' value (days since 1600-01-01, -1 empty) as a day number, 0 when empty or
// out of range; and back, -1 for a day out of range.
TDayNumber FieldDayNumber(std::int32_t fieldDate);
std::int32_t FieldDateOfDay(TDayNumber day);

struct TQsoFields {
    std::array<std::string, kQsoFieldCount> Text{};
    std::array<int, kQsoFieldCount> Sel{};
    std::int32_t Date = -1;     // days since 1600-01-01, -1 empty
    std::int32_t Time = -1;     // seconds of the day, -1 empty
    std::int32_t QslDate = -1;  // days since 1600-01-01, -1 empty
    std::array<bool, kQsoFieldCount> Modified{};
    std::array<bool, kQsoFieldCount> EverModified{};
    // Displays.
    std::string CountryText;  // F_Country
    std::string DirDist;      // F_DirDist
    bool CallIsDupe = false;  // the call field shows the dupe colour
    // Which custom-award value control is shown.
    bool AwdSelVisible = false;
    bool AwdValVisible = false;

    // The operator edits a slot: the value changes and both marks are set.
    void Edit(int field, const std::string& text);
    void EditSel(int field, int sel);
    void ClearModified();
    bool AnyEverModified() const;
};

} // namespace korval
