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
    case rpfAWD: return afCustAwd;
    case rpfCountyMix: return afCounty;
    case rpfDXCCbnd: return afDxccBand;
    case rpfDXCCmix: return afDxccMixed;
    case rpfDXCCmod: return afDxccMode;
    case rpfIOTAmix: return afIota;
    case rpfVUCC: return afVucc;
    case rpfWASbnd: return afWasBand;
    case rpfWASmix: return afWasMixed;
    case rpfWASmod: return afWasMode;
    case rpfWAZbnd: return afWazBand;
    case rpfWAZmix: return afWazMixed;
    case rpfWAZmod: return afWazMode;
    case rpfWPXbnd: return afWpxBand;
    case rpfWPXmix: return afWpxMixed;
    case rpfWPXmod: return afWpxMode;
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
    case rpfAward: return LongAwdName(q.CustAwdId.view());
    case rpfAwdStrng: return LongAwdVal(q.CustAwdId.view(), q.CustAwdVal.view());
    case rpfAwdVal: return q.CustAwdVal.str();
    case rpfBand: return BandName(q.Band);
    case rpfMode: return ModeName(q.Mode);
    case rpfCallsign: return q.Call.str();
    case rpfCallsignNotes: return Cut(log.GetCallNote(q.Call.view()), noteWidth);
    case rpfQSONotes: return Cut(NoteText(q.Note), noteWidth);
    case rpfConf: return Flag(q, qfQslReceived);
    case rpfLabel: return Flag(q, qfLabelToPrint);
    case rpfQRP: return Flag(q, qfQRP);
    case rpfYLop: return Flag(q, qfYL);
    case rpfValidDX: return q.HasFlag(qfValidForAwards) ? "Y" : "N";
    case rpfCountry: return CountryName(q.Country);
    case rpfPrefix: return q.Country ? CountryPrefix(q.Country) : std::string();
    case rpfCounty: return q.State ? CountyName(q.State, q.County) : std::string();
    case rpfState: return StateAbbrev(q.State);
    case rpfStateName: {
        TUsStateRecord s;
        return q.State && GetState(q.State, s) ? s.Name : std::string();
    }
    case rpfDate: return FormatDayNumber(q.Date);
    case rpfTime: return SecondsToHHMM(q.Time);
    case rpfQSLDate: return FormatDayNumber(q.QslSentDate);
    case rpfGrid: return q.Grid.str();
    case rpfIOTA: return q.Iota.str();
    case rpfIOTAName: return IotaName(q.Iota.view());
    case rpfWPX: return q.WpxPrefix.str();
    case rpfRecvd: return q.Exchange.str();
    case rpfGroup: return std::to_string(q.Group);
    case rpfGroupname: return log.GroupName(q);
    case rpfSeqPrtNr: return std::to_string(q.SeqPrtNr);
    case rpfZone: return std::to_string(q.Zone);
    case rpfNumber: return std::to_string(row);
    case rpfQSLMgr: return GetQslManager(q.Call.view(), q.Date);
    case rpfQSLMthd: return q.QslRoute >= 1 && q.QslRoute <= kQslRouteCount ? QslRouteNames[q.QslRoute - 1] : "";
    case rpfSatell: return q.SatMode >= 2 && q.SatMode <= kSatModeCount ? SatModeNames[q.SatMode - 1] : "";
    case rpfRstR: return RstToStr(q.RstRcvd);
    case rpfRstS: return RstToStr(q.RstSent);
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
