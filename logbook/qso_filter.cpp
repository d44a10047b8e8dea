#include "logbook/qso_filter.h"

#include <utility>

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/qso_award_fields.h"
#include "logbook/qso_entry_host.h"
#include "logbook/base/string_utils.h"

namespace korval {

namespace {

// Search kind of each tab order.
constexpr std::uint8_t kSearchKinds[kQsoFieldCount] = {
    skCall, skPrefix, skQsoDate, skTime, skByteSel, skByteSel, skRst, skRst, skText, skByteEqual,
    skStateAbbrev, skCountyName, skGrid, skCallNote, skQslMgr, skQsoNote, skText, skFlag, skQslDate, skByteSel,
    skFlag, skFlag, skFlag, skByteSel, skCustAwdId, skCustAwdVal, skCustAwdVal, skAward, skAward, skAward,
    skAward, skAward, skAward, skAward, skAward, skAward, skAward, skAward, skAward, skAward, skAward,
    skByteEqual, skAward, skAward, skFlag};

} // namespace

void TQsoFilter::Clear()
{
    search_.Clear();
    search_.OutsideFilter = nullptr;
}

void TQsoFilter::SetOutsideFilter(std::function<bool(const TQsoRecord&)> filter)
{
    search_.OutsideFilter = std::move(filter);
}

void TQsoFilter::Compile(const TQsoFields& fields, const TQsoAwardFields& awards, TQsoEntryHost& host)
{
    Clear();
    search_.CallMethod = Config.CallSearchMethod();
    search_.DateMethod = Config.DateSearchMethod();
    const auto& T = fields.Text;
    const auto& S = fields.Sel;
    const TDayNumber marker = EncodeDayNumber(1901, 1, 1);
    for (int f = 0; f < kQsoFieldCount; ++f) {
        TSearchCondition c;
        c.Field = static_cast<std::uint8_t>(f);
        c.Kind = kSearchKinds[f];
        const std::string text = TrimSpaces(T[f]);
        bool make = false;
        switch (c.Kind) {
        case skByteEqual:
            make = !text.empty();
            c.Value = static_cast<std::uint32_t>(FieldTextToInt(text));
            break;
        case skByteSel:
            make = S[f] != 0;
            c.Value = static_cast<std::uint32_t>(S[f]);
            break;
        case skQsoDate:
        case skQslDate: {
            TDayNumber d = FieldDayNumber(f == fDate ? fields.Date : fields.QslDate);
            make = d != 0;
            c.Value = d == marker ? 0 : d;
            break;
        }
        case skTime:
            make = fields.Time >= 0;
            c.Value = static_cast<std::uint32_t>(fields.Time);
            break;
        case skFlag:
            make = S[f] != ynBlank;
            c.Value = FlagOfField(f);
            c.Negate = S[f] == ynNo;
            break;
        case skAward: {
            const std::uint32_t m = AwardMaskOfField(f);
            make = S[f] != aiBlank;
            c.Value = S[f] == aiNone ? (m | (m * 2)) : S[f] == aiSubmitted ? m : m * 2;
            c.Negate = S[f] == aiNone;
            break;
        }
        case skRst: {
            int rst = 0;
            make = !text.empty();
            c.Value = StrToRst(text, rst) ? static_cast<std::uint32_t>(rst) : 0;
            break;
        }
        case skCustAwdId:
            make = S[f] != 0;
            c.Pattern = S[f] == 1 ? std::string() : awards.SelectedId();
            break;
        case skCustAwdVal: {
            if (f == fAwdSel)  // one condition for the value, from whichever control is shown
                break;
            std::string v;
            if (fields.AwdValVisible) {
                v = TrimSpaces(T[fAwdVal]);
            } else if (fields.AwdSelVisible) {
                TQsoRecord tmp;
                awards.Take(tmp);
                v = tmp.CustAwdVal.str();
            }
            make = !v.empty();
            c.Field = static_cast<std::uint8_t>(fields.AwdValVisible ? fAwdVal : fAwdSel);
            c.Pattern = v;
            break;
        }
        default: {  // the pattern kinds
            make = !text.empty();
            c.Pattern = text;
            if ((c.Kind == skCallNote || c.Kind == skQsoNote) && make) {
                if (c.Pattern.front() != '*')
                    c.Pattern.insert(c.Pattern.begin(), '*');
                if (c.Pattern.back() != '*')
                    c.Pattern += '*';
            }
            break;
        }
        }
        if (make)
            search_.Add(c);
    }
    if (search_.DateMethod == dsRange) {
        for (auto& c : search_.Conditions) {
            if (c.Kind != skQsoDate)
                continue;
            TDayNumber start = static_cast<TDayNumber>(c.Value);
            TDayNumber end = lastRangeEnd_ ? lastRangeEnd_ : start;
            host.AskDateRange(start, end);
            c.Value = start;
            search_.RangeEnd = end;
            lastRangeEnd_ = end;
        }
    }
}

void TQsoFilter::AddWpxAndModeGroup(const std::string& wpxExpression, int modeGroup)
{
    if (!wpxExpression.empty()) {
        TSearchCondition c;
        c.Kind = skWpx;
        c.Pattern = wpxExpression;
        search_.Add(c);
    }
    if (modeGroup != 0) {
        TSearchCondition c;
        c.Kind = skModeGroup;
        c.Value = static_cast<std::uint32_t>(modeGroup);
        search_.Add(c);
    }
}

} // namespace korval
