#include "logbook/qso_fields.h"

#include "logbook/qso_record.h"

namespace korval {

TQsoFieldKind QsoFieldKind(int field)
{
    switch (field) {
    case fDate:
    case fQslDate:
        return TQsoFieldKind::Date;
    case fTime:
        return TQsoFieldKind::Time;
    case fMode: case fBand: case fLabel: case fQslRoute: case fConf: case fQrp: case fYl: case fSat:
    case fAwdType: case fAwCnty: case fAwCustAwd: case fValid:
        return TQsoFieldKind::Choice;
    default:
        return field >= fAwDxccMixed && field <= fAwVucc ? TQsoFieldKind::Choice : TQsoFieldKind::Text;
    }
}

std::uint8_t FlagOfField(int field)
{
    switch (field) {
    case fConf: return qfQslReceived;
    case fLabel: return qfLabelToPrint;
    case fQrp: return qfQRP;
    case fYl: return qfYL;
    case fValid: return qfValidForAwards;
    default: return 0;
    }
}

TDayNumber FieldDayNumber(std::int32_t fieldDate)
{
    if (fieldDate < 0)
        return 0;
    try {
        return StDateToDayNumber(fieldDate);
    } catch (const EDateRangeError&) {
        return 0;
    }
}

std::int32_t FieldDateOfDay(TDayNumber day)
{
    try {
        return DayNumberToStDate(day);
    } catch (const EDateRangeError&) {
        return -1;
    }
}

std::uint32_t AwardMaskOfField(int field)
{
    static const std::uint32_t masks[] = {0x4,     0x40,       0x10,       0x4000,  0x40000, 0x10000, 0x100,
                                          0x400,   0x1000,     0x10000000, 0x400000, 0x40000000, 0x100000, 0x1};
    if (field >= fAwDxccMixed && field <= fAwVucc)
        return masks[field - fAwDxccMixed];
    if (field == fAwCnty)
        return 0x1000000;
    if (field == fAwCustAwd)
        return 0x4000000;
    return 0;
}

const char* const QslRouteNames[kQslRouteCount] = {"Buro", "QSLSvc", "Direct", "$$$$", "Other", "Ignore"};
const char* const SatModeNames[kSatModeCount] = {"------", "435/145", "144/435", "1269/436", "435/2400",
                                                 "2m/10m", "15m/10m", "15m/2m", "Other"};

const char* QsoFieldName(int field)
{
    static const char* const names[kQsoFieldCount] = {
        "FQso_Call", "FQso_Prefix", "FQso_Date", "FQso_Time", "Fqso_modex", "Fqso_bandx", "Fqso_rsts",
        "fqso_rstr", "Fqso_recvd", "FQso_Zone", "FQso_State", "FQso_Cnty", "Fqso_grid", "FQso_CallNotes",
        "FQso_Qsl_Mgr", "Fqso_noteqso", "Fqso_iota", "Fqso_labelx", "Fqso_QSLdate", "Fqso_qsl_methodx",
        "Fqso_confx", "Fqso_qrpx", "Fqso_ylx", "Fqso_satx", "Fqso_awdtype", "Fqso_awdsel", "Fqso_awdval",
        "Faw_dxcc_mixed", "Faw_dxcc_band", "Faw_dxcc_mode", "Faw_waz_mixed", "Faw_waz_band", "Faw_waz_mode",
        "Faw_was_mixed", "Faw_was_band", "Faw_was_mode", "Faw_wpx_mixed", "Faw_wpx_band", "Faw_wpx_mode",
        "Faw_IOTA", "Faw_VUCC", "FQSO_group", "Faw_cnty", "Faw_awd_mixed", "Faw_valid"};
    return field >= 0 && field < kQsoFieldCount ? names[field] : "";
}

void TQsoFields::Edit(int field, const std::string& text)
{
    Text[static_cast<std::size_t>(field)] = text;
    Modified[static_cast<std::size_t>(field)] = true;
    EverModified[static_cast<std::size_t>(field)] = true;
}

void TQsoFields::EditSel(int field, int sel)
{
    Sel[static_cast<std::size_t>(field)] = sel;
    Modified[static_cast<std::size_t>(field)] = true;
    EverModified[static_cast<std::size_t>(field)] = true;
}

void TQsoFields::ClearModified()
{
    Modified.fill(false);
    EverModified.fill(false);
}

bool TQsoFields::AnyEverModified() const
{
    for (bool b : EverModified)
        if (b)
            return true;
    return false;
}

} // namespace korval
