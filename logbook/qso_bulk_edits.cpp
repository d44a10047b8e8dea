#include "logbook/qso_bulk_edits.h"

#include <algorithm>
#include <vector>

#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/call_lookup.h"
#include "logbook/entry_mode.h"
#include "logbook/progress.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

bool Sure(const std::string& lead, long count)
{
    return MessageDlg(lead + CountText(count, "QSO") + "\rAre you sure", TMsgDlgType::mtConfirmation,
                      mbYes | mbNo) == mrYes;
}

// The report is one the mode can carry (an empty report always can).
bool ReportFits(int mode, std::uint16_t report) { return report == 0 || IsValidRst(mode, report); }

} // namespace

long TQsoBulkEdits::CountSelected() { return entry_.CountSelected(); }

bool TQsoBulkEdits::Selected(const TQsoRecord& q) const
{
    const int mode = entry_.EntryMode();
    return entry_.Log()->InSelection(q) && ((mode != emSearch && mode != emBrowse) || entry_.MatchesSearch(q));
}

long TQsoBulkEdits::ForSelected(const char* caption, const std::function<bool(TQsoRecord&)>& change)
{
    TQsoData& log = *entry_.Log();
    TProgressSink& progress = Progress();
    progress.Start(caption, log.Count());
    long n = 0;
    for (TQsoRecord* q : log.Qsos()) {
        if (Selected(*q) && change(*q))
            ++n;
        progress.Step();
    }
    progress.Finish();
    return n;
}

void TQsoBulkEdits::DeleteQsos()
{
    TQsoData& log = *entry_.Log();
    if (log.Count() == 0 || !Sure("Deleting ", CountSelected()))
        return;
    TProgressSink& progress = Progress();
    progress.Start("Deleting QSOs", log.Count());
    log.DeleteQsosIf([&](const TQsoRecord& q) {
        progress.Step();
        return Selected(q);
    });
    progress.Finish();
    entry_.LogChanged(false);
}

void TQsoBulkEdits::SetConfirmed()
{
    if (entry_.Log()->Count() == 0 || !Sure("Confirming up to ", CountSelected()))
        return;
    const long n = ForSelected("Confirming QSOs", [](TQsoRecord& q) {
        if (q.HasFlag(qfQslReceived))
            return false;
        q.Flags |= qfQslReceived;
        return true;
    });
    MessageDlg(CountText(n, "QSO") + " were confirmed", TMsgDlgType::mtInformation, mbOK);
    if (n > 0)
        entry_.LogChanged(false);
}

void TQsoBulkEdits::SetQslDate()
{
    if (entry_.Log()->Count() == 0 || !Sure("Setting QSL Date for up to ", CountSelected()))
        return;
    const long n = ForSelected("Setting QSL dates", [](TQsoRecord& q) {
        if (q.QslSentDate != 0)
            return false;
        q.QslSentDate = q.Date;
        return true;
    });
    MessageDlg(CountText(n, "QSO") + " were changed", TMsgDlgType::mtInformation, mbOK);
    if (n > 0)
        entry_.LogChanged(false);
}

void TQsoBulkEdits::SetUsaStates()
{
    TQsoData& log = *entry_.Log();
    const std::uint16_t usa = CountryOfCall("W1AW", UtcToday());
    // Country 0 is every QSO whose call the database does not know: taking those for American
    // would give strangers the states of whoever shares their call.
    if (usa == 0) {
        MessageDlg("The country database does not know the USA: no states were filled in", TMsgDlgType::mtWarning,
                   mbOK);
        return;
    }
    // Within a call the by-call order runs by date: the QSOs with a state form a list in date
    // order, and a QSO takes the state of the last of them dated on or before it.
    struct TStated {
        std::uint16_t date;
        std::uint8_t state;
        std::uint16_t county;
    };
    const TQsoIndex& byCall = log.ByCall();
    TProgressSink& progress = Progress();
    progress.Start("Setting USA states", byCall.Count());
    long n = 0;
    std::vector<TStated> stated;
    for (int first = 0; first < byCall.Count();) {
        int end = first + 1;
        while (end < byCall.Count() && byCall.At(end)->Call == byCall.At(first)->Call)
            ++end;
        stated.clear();
        bool wanted = false;
        for (int i = first; i < end; ++i) {
            const TQsoRecord* q = byCall.At(i);
            if (q->State != 0)
                stated.push_back({q->Date, q->State, q->County});
            else if (q->Country == usa)
                wanted = true;
        }
        if (wanted && !stated.empty())
            for (int i = first; i < end; ++i) {
                TQsoRecord* q = byCall.At(i);
                if (q->State != 0 || q->Country != usa)
                    continue;
                auto from = std::upper_bound(stated.begin(), stated.end(), q->Date,
                                             [](std::uint16_t d, const TStated& s) { return d < s.date; });
                if (from == stated.begin())
                    continue;
                --from;
                q->State = from->state;
                q->County = from->county;
                ++n;
            }
        for (int i = first; i < end; ++i)
            progress.Step();
        first = end;
    }
    progress.Finish();
    MessageDlg(CountText(n, "QSO") + " were changed", TMsgDlgType::mtInformation, mbOK);
    if (n > 0)
        entry_.LogChanged(false);
}

long TQsoBulkEdits::SetGroup(std::uint8_t group)
{
    const long n = ForSelected("Setting group numbers", [group](TQsoRecord& q) {
        if (q.Group == group)
            return false;
        q.Group = group;
        return true;
    });
    if (n > 0)
        entry_.LogChanged(false);
    return n;
}

TModeChange TQsoBulkEdits::SetMode(int mode)
{
    TModeChange result;
    result.Changed = ForSelected("Setting modes", [&result, mode](TQsoRecord& q) {
        if (q.Mode == mode)
            return false;
        if (!ReportFits(mode, q.RstSent) || !ReportFits(mode, q.RstRcvd)) {
            ++result.Refused;
            return false;
        }
        q.Mode = static_cast<std::uint8_t>(mode);
        return true;
    });
    if (result.Changed > 0)
        entry_.LogChanged(false);
    return result;
}

} // namespace korval
