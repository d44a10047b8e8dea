#include "logbook/report_cells.h"

#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/call_lookup.h"
#include "logbook/configured_formats.h"
#include "logbook/country_db.h"
#include "logbook/custom_award.h"
#include "logbook/qso_data.h"
#include "logbook/qso_fields.h"
#include "logbook/qso_record.h"

namespace korval {

namespace {

// The award flag pair behind each award column (the submitted bit; the credited bit is next).
std::uint32_t AwardMaskOfReportField(int field)
{
    switch (field) {
    case rfAWD: return afCustAwd;
    case rfCountyMix: return afCounty;
    case rfDXCCbnd: return afDxccBand;
    case rfDXCCmix: return afDxccMixed;
    case rfDXCCmod: return afDxccMode;
    case rfIOTAmix: return afIota;
    case rfVUCC: return afVucc;
    case rfWASbnd: return afWasBand;
    case rfWASmix: return afWasMixed;
    case rfWASmod: return afWasMode;
    case rfWAZbnd: return afWazBand;
    case rfWAZmix: return afWazMixed;
    case rfWAZmod: return afWazMode;
    case rfWPXbnd: return afWpxBand;
    case rfWPXmix: return afWpxMixed;
    case rfWPXmod: return afWpxMode;
    default: return 0;
    }
}

std::string Flag(const TQsoRecord& q, std::uint8_t f) { return q.HasFlag(f) ? "Y" : ""; }

std::string Cut(std::string_view s, int width)
{
    return std::string(s.substr(0, width < 0 ? 0 : static_cast<std::size_t>(width)));
}

std::string IotaName(std::string_view reference)
{
    if (!CountryDb.Iota || reference.empty())
        return {};
    auto key = MakeShortStrKey(reference);
    const std::int32_t i = CountryDb.Iota->IndexOfKey(key.data());
    return i < 0 ? std::string() : TIotaRecord::FromBytes(CountryDb.Iota->Record(i)).Name;
}

} // namespace

std::string ReportCellText(int field, const TQsoRecord& q, int row, int noteWidth, const TQsoData& log)
{
    if (const std::uint32_t mask = AwardMaskOfReportField(field))
        return (q.AwardFlags & mask) ? "S" : (q.AwardFlags & (mask * 2)) ? "*" : "";
    switch (field) {
    case rfAward: return LongAwdName(q.CustAwdId.view());
    case rfAwdStrng: return LongAwdVal(q.CustAwdId.view(), q.CustAwdVal.view());
    case rfAwdVal: return q.CustAwdVal.str();
    case rfBand: return BandName(q.Band);
    case rfMode: return ModeName(q.Mode);
    case rfCallsign: return q.Call.str();
    case rfCallsignNotes: return Cut(log.GetCallNote(q.Call.view()), noteWidth);
    case rfQSONotes: return Cut(NoteText(q.Note), noteWidth);
    case rfConf: return Flag(q, qfQslReceived);
    case rfLabel: return Flag(q, qfLabelToPrint);
    case rfQRP: return Flag(q, qfQRP);
    case rfYLop: return Flag(q, qfYL);
    case rfValidDX: return q.HasFlag(qfValidForAwards) ? "Y" : "N";
    case rfCountry: return CountryName(q.Country);
    case rfPrefix: return q.Country ? CountryPrefix(q.Country) : std::string();
    case rfCounty: return q.State ? CountyName(q.State, q.County) : std::string();
    case rfState: return StateAbbrev(q.State);
    case rfStateName: {
        TUsStateRecord s;
        return q.State && GetState(q.State, s) ? s.Name : std::string();
    }
    case rfDate: return FormatDayNumber(q.Date);
    case rfTime: return SecondsToHHMM(q.Time);
    case rfQSLDate: return FormatDayNumber(q.QslSentDate);
    case rfGrid: return q.Grid.str();
    case rfIOTA: return q.Iota.str();
    case rfIOTAName: return IotaName(q.Iota.view());
    case rfWPX: return q.WpxPrefix.str();
    case rfRecvd: return q.Exchange.str();
    case rfGroup: return std::to_string(q.Group);
    case rfGroupname: return log.GroupName(q);
    case rfSeqPrtNr: return std::to_string(q.SeqPrtNr);
    case rfZone: return std::to_string(q.Zone);
    case rfNumber: return std::to_string(row);
    case rfQSLMgr: return GetQslManager(q.Call.view(), q.Date);
    case rfQSLMthd: return q.QslRoute >= 1 && q.QslRoute <= kQslRouteCount ? QslRouteNames[q.QslRoute - 1] : "";
    case rfSatell: return q.SatMode >= 2 && q.SatMode <= kSatModeCount ? SatModeNames[q.SatMode - 1] : "";
    case rfRstR: return RstToStr(q.RstRcvd);
    case rfRstS: return RstToStr(q.RstSent);
    default: return "???";
    }
}

int GridAlignOfReportField(int field)
{
    if (field < 0 || field >= kReportFieldCount)
        return 0;
    switch (ReportFields[field].Align) {
    case raCentre: return 2;
    case raRight: return 1;
    default: return 0;
    }
}

int ReportColumnWidth(int field)
{
    if (field < 0 || field >= kReportFieldCount)
        return 3;
    const int width = ReportFields[field].Width;
    const int name = static_cast<int>(std::string_view(ReportFields[field].Name).size());
    return name >= width ? name + 1 : width;
}

std::string CsvLine(const std::vector<std::string>& values)
{
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        const std::string& v = values[i];
        if (v.find_first_of(",\"\r\n") == std::string::npos) {
            line += v;
            continue;
        }
        line += '"';
        for (char c : v) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

} // namespace korval
