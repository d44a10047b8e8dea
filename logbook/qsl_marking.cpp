#include "logbook/qsl_marking.h"

#include "logbook/award_status.h"
#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "logbook/entry_mode.h"
#include "logbook/log_settings.h"
#include "logbook/qso_data.h"
#include "logbook/qso_entry.h"
#include "logbook/qso_lookup.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {

constexpr std::uint8_t kRouteIgnore = 6;
constexpr std::uint16_t kLastSequenceNumber = 65535;

struct TAwardBoxes {
    const char* name;
    int kind;  // TAwardKind
    int mixed, band, mode;
};
constexpr TAwardBoxes kAwards[] = {
    {"DXCC", akDxcc, fAwDxccMixed, fAwDxccBand, fAwDxccMode},
    {"WAZ", akWaz, fAwWazMixed, fAwWazBand, fAwWazMode},
    {"WAS", akWas, fAwWasMixed, fAwWasBand, fAwWasMode},
    {"WPX", akWpx, fAwWpxMixed, fAwWpxBand, fAwWpxMode},
};

// The entity block of the QSO for an award; null when the QSO has no such entity.
const TAwardStatusBlock* EntityOf(const TQsoRecord& q, int kind, const TQsoData& log)
{
    switch (kind) {
    case akDxcc:
        return q.Country ? QsoLookup().CountryStatusBlock(q.Country) : nullptr;
    case akWaz:
        return q.Zone > 0 && q.Zone < TQsoData::kZoneBlocks ? &log.ZoneStatus(q.Zone) : nullptr;
    case akWas:
        return q.State > 0 && q.State < TQsoData::kStateBlocks ? &log.StateStatus(q.State) : nullptr;
    default:
        return q.WpxPrefix.empty() ? nullptr : QsoLookup().WpxStatusBlock(q.WpxPrefix.view(), false);
    }
}

bool Shows(const TQsoEntry& e)
{
    return e.Log()->Count() > 0 && (e.EntryMode() == emIdle || e.EntryMode() == emBrowse) &&
           e.ViewAt(e.CurrentIndex()) != nullptr;
}

} // namespace

std::vector<TAwardContribution> TQslMarking::AwardContributions(const TQsoRecord& q)
{
    std::vector<TAwardContribution> out;
    const TQsoData* log = CurrentLog();
    for (const auto& a : kAwards) {
        const TAwardStatusBlock* block = log ? EntityOf(q, a.kind, *log) : nullptr;
        if (!block)
            continue;
        const TAwardSettings s = Config.AwardSettings(a.kind);
        if (!AwardBandValid(s, q.Band) || !AwardModeValid(s, q.Mode))
            continue;
        if (s.Mixed() && AwardStatus(*block) < asSubmitted)
            out.push_back({std::string(a.name) + " Mixed", a.mixed});
        if (s.ModeAward() && AwardModeStatus(*block, ModeGroup(q.Mode)) < asSubmitted)
            out.push_back({std::string(a.name) + " Mode", a.mode});
        if (s.BandAward() && AwardBandSeparate(s, q.Band) && AwardBandStatus(*block, q.Band) < asSubmitted)
            out.push_back({std::string(a.name) + " Band", a.band});
    }
    return out;
}

void TQslMarking::ConfirmQso(bool advance)
{
    TQsoEntry& e = entry_;
    if (!Shows(e))
        return;
    TQsoData& log = *e.Log();
    auto& F = e.Fields;
    bool changed = false;
    auto set = [&F](int field, int sel) { F.EditSel(field, sel); };
    if (Config.ConfirmMarksQsl()) {
        set(fConf, ynYes);
        changed = true;
    }
    bool queue = false;
    const int action = Config.ConfirmLabelAction();
    bool labelPart = action > 0;
    if (labelPart && F.QslDate >= 0 &&
        MessageDlg("QSL was sent already, mark again?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        labelPart = false;
    if (labelPart && action == 1) {
        set(fLabel, ynYes);
        set(fQslRoute, Config.ConfirmQslRoute());
        changed = true;
    } else if (labelPart && action == 2) {
        if (e.ViewAt(e.CurrentIndex())->SeqPrtNr == 0) {
            set(fQslRoute, Config.ConfirmQslRoute());
            queue = true;
            changed = true;
        } else {
            MessageDlg("QSO is marked for sequence printing already", TMsgDlgType::mtWarning, mbOK);
        }
    }
    if (changed && Config.ConfirmMarksQsl() && Config.ShowAwardQuestion()) {
        log.EnsureAwardStatus();
        TQsoRecord shown;
        e.BuildRecord(shown);
        FreeNote(shown.Note);
        shown.Note = nullptr;
        DeriveWpxPrefix(shown);
        const auto contributions = AwardContributions(shown);
        if (!contributions.empty()) {
            std::string text = "Confirming this QSO contributes to:\r\r";
            for (const auto& c : contributions)
                text += c.Line + "\r";
            text += "\rDo you want to submit?";
            if (MessageDlg(text, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
                for (const auto& c : contributions)
                    set(c.Field, aiSubmitted);
        }
    }
    std::uint16_t number = 0, behind = 0;
    if (queue && !PlaceInSequence(*e.ViewAt(e.CurrentIndex()), number, behind))
        number = 0;
    if (!e.UpdateQso(number))
        return;
    if (number != 0) {
        const TQsoRecord* saved = e.ViewAt(e.CurrentIndex());
        if (behind != 0)
            for (TQsoRecord* q : log.Qsos())
                if (q != saved && q->SeqPrtNr > behind)
                    ++q->SeqPrtNr;
        log.MaxSeqPrtNr = static_cast<std::uint16_t>(log.MaxSeqPrtNr + 1);
        if (behind != 0)
            e.LogChanged(true);
    }
    Advance(advance);
}

bool TQslMarking::PlaceInSequence(const TQsoRecord& self, std::uint16_t& number, std::uint16_t& behind)
{
    const TQsoData& log = *entry_.Log();
    behind = 0;
    // The sequence is a 16-bit number: at its top a further QSO would wrap to 0 ("not queued"),
    // or make two QSOs share a number.
    if (log.MaxSeqPrtNr >= kLastSequenceNumber) {
        MessageDlg("The print sequence is full (" + std::to_string(kLastSequenceNumber) +
                       " labels).\rPrint or clear the sequenced labels first; this QSO is not queued.",
                   TMsgDlgType::mtWarning, mbOK);
        return false;
    }
    // The newest queued QSO of the same call in the selection.
    const TQsoIndex& byCall = log.ByCall();
    TQsoRecord key;
    key.Call = self.Call;
    key.Date = 65535;
    key.Time = 0x7fffffff;
    key.Band = key.Mode = 255;
    int i = 0;
    byCall.Find(key, i);
    std::uint16_t n = 0;
    for (--i; i >= 0 && byCall.At(i)->Call == self.Call; --i) {
        const TQsoRecord* q = byCall.At(i);
        if (q != &self && q->SeqPrtNr != 0 && log.InSelection(*q)) {
            n = q->SeqPrtNr;
            break;
        }
    }
    if (n != 0 && n != log.MaxSeqPrtNr &&
        MessageDlg("Same call marked already as number " + std::to_string(n) + "\rinsert this QSO behind it?",
                   TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes) {
        behind = n;
        number = static_cast<std::uint16_t>(n + 1);
        return true;
    }
    number = static_cast<std::uint16_t>(log.MaxSeqPrtNr + 1);
    return true;
}

void TQslMarking::Advance(bool advance)
{
    switch (advance ? Config.ConfirmNextAction() : 0) {
    case 1:
        entry_.ShowCurrent();
        entry_.Next();
        break;
    case 2:
        entry_.BeginSearch(true);
        break;
    default:
        entry_.ShowCurrent();
        break;
    }
}

void TQslMarking::ConfirmSwl(bool advance)
{
    TQsoEntry& e = entry_;
    if (!Shows(e) || !InputQuery)
        return;
    std::string call;
    if (!InputQuery("Confirm for SWL", "SWL number", call))
        return;
    call = UpperAscii(TrimSpaces(call)).substr(0, 12);
    if (call.empty()) {
        MessageDlg("An SWL report needs the listener's call: nothing was confirmed", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const TQsoRecord& q = *e.ViewAt(e.CurrentIndex());
    TSwlRecord r;
    r.Call.assign(call);
    r.Date = q.Date;
    r.Time = q.Time;
    r.Band = q.Band;
    r.Mode = q.Mode;
    r.Group = q.Group;
    r.Printed = 0;
    TQsoData& log = *e.Log();
    int i = 0;
    if (log.FindSwl(r, i)) {
        if (MessageDlg("An SWL entry exists already\rdo you want to remove it?", TMsgDlgType::mtConfirmation,
                       mbYes | mbNo) == mrYes)
            log.DeleteSwl(i);
    } else {
        log.InsertSwl(r);
    }
    log.SetModified();
    if (advance && Config.ConfirmNextAction() != 0)
        Advance(true);
}

void TQslMarking::SetLabelFlags(bool clear)
{
    TQsoEntry& e = entry_;
    const int mode = e.EntryMode();
    const bool filtered = mode == emSearch || mode == emBrowse;
    const std::string question =
        filtered ? std::string(clear ? "Clear" : "Set") + " label field in QSOs matching filter?"
                 : std::string(clear ? "Clearing" : "Setting") +
                       " label fields and no QSO filter active!\rDo you want to proceed?";
    if (MessageDlg(question, filtered ? TMsgDlgType::mtConfirmation : TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes)
        return;
    if (mode == emSearch) {
        e.CompileFilter();
        e.LeaveSearchItems();
        e.mode_ = emBrowse;
    }
    TQsoData& log = *e.Log();
    const std::uint8_t route = Config.ConfirmQslRoute();
    long n = 0;
    for (TQsoRecord* q : log.Qsos()) {
        if (!log.InSelection(*q) || (filtered && !e.MatchesSearch(*q)))
            continue;
        if (clear) {
            if (q->HasFlag(qfLabelToPrint)) {
                q->Flags = static_cast<std::uint8_t>(q->Flags & ~qfLabelToPrint);
                ++n;
            }
        } else if (!q->HasFlag(qfLabelToPrint) && q->QslRoute != kRouteIgnore) {
            q->Flags |= qfLabelToPrint;
            q->QslRoute = route;
            ++n;
        }
    }
    if (n > 0)
        e.LogChanged(true);
    else
        e.ShowCurrent();
    MessageDlg(CountText(n, "QSO") + "changed", TMsgDlgType::mtInformation, mbOK);
}

void TQslMarking::ClearSequencedPrint()
{
    if (MessageDlg("Clear all sequenced print flags?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    TQsoData& log = *entry_.Log();
    long n = 0;
    for (TQsoRecord* q : log.Qsos())
        if (q->SeqPrtNr != 0 && log.InSelection(*q)) {
            q->SeqPrtNr = 0;
            ++n;
        }
    log.RecountMaxSeqPrtNr();
    MessageDlg(CountText(n, "flag") + "cleared", TMsgDlgType::mtInformation, mbOK);
    if (n > 0)
        entry_.LogChanged(true);
}

void TQslMarking::ClearSwlLabels()
{
    if (MessageDlg("Clear all SWL labels", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    TQsoData& log = *entry_.Log();
    log.DeleteSwlIf([](const TSwlRecord&) { return true; });
    log.SetModified();
}

bool TQslMarking::GotoQso(const TQsoRecord* qso)
{
    TQsoEntry& e = entry_;
    if (!qso || !e.FinishEntry())
        return false;
    if (e.mode_ != emIdle && e.mode_ != emBrowse)
        e.mode_ = emIdle;
    e.nav_.SetCurrentFromRecord(qso);
    if (e.ViewAt(e.CurrentIndex()) != qso)
        return false;
    e.ShowCurrent();
    return true;
}

void TQslMarking::PrintLabels(int kind)
{
    TQsoData& log = *entry_.Log();
    if (kind == lkSwl) {
        for (int i = 0; i < static_cast<int>(log.Swl().size()); ++i)
            log.SwlAt(i).Printed = 0;
    } else {
        for (TQsoRecord* q : log.Qsos())
            q->LabelPrinted = false;
    }
    if (RunLabelPrint)
        RunLabelPrint(kind);
    if (kind == lkSwl) {
        bool any = false;
        for (const TSwlRecord& r : log.Swl())
            any = any || r.Printed != 0;
        if (any && MessageDlg("Delete SWL records that were printed", TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes) {
            log.DeleteSwlIf([](const TSwlRecord& r) { return r.Printed != 0; });
            log.SetModified();
        }
        return;
    }
    bool any = false;
    for (const TQsoRecord* q : log.Qsos())
        if (q->LabelPrinted) {
            any = true;
            break;
        }
    if (!any || MessageDlg("Update QSL Date for printed labels and\rclear the print flags?",
                           TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    const TDayNumber today = UtcToday();
    for (TQsoRecord* q : log.Qsos()) {
        if (!q->LabelPrinted)
            continue;
        q->QslSentDate = today;
        if (kind == lkLabelFlag)
            q->Flags = static_cast<std::uint8_t>(q->Flags & ~qfLabelToPrint);
        else
            q->SeqPrtNr = 0;
    }
    if (kind == lkSequence)
        log.RecountMaxSeqPrtNr();
    entry_.LogChanged(false);
}

} // namespace korval
