#include "logbook/qso_entry.h"

#include <algorithm>
#include <cstdlib>

#include "logbook/award_status.h"
#include "logbook/band_decoder.h"
#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/child_window.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/custom_award.h"
#include "logbook/log_hooks.h"
#include "logbook/call_syntax.h"
#include "logbook/was_state.h"
#include "logbook/position.h"
#include "logbook/main_form_code.h"
#include "logbook/qso_contest.h"
#include "logbook/qso_data.h"
#include "logbook/qso_lookup.h"
#include "logbook/sort_orders.h"
#include "logbook/base/string_utils.h"
#include "platform/message_dlg.h"
#include "logbook/configured_formats.h"

namespace korval {

namespace {

TQsoEntryHost& NullHost()
{
    static TQsoEntryHost host;
    return host;
}

int DefaultReport(int mode) { return ModeReportKind(mode) == 0 ? 59 : 599; }

constexpr int kFlagFields[] = {fConf, fLabel, fQrp, fYl, fValid};

bool IsAwardField(int f) { return AwardMaskOfField(f) != 0; }

} // namespace

TQsoEntry::TQsoEntry(TQsoData* log, TQsoEntryHost* host, TQsoRadio* radio)
    : log_(log), host_(host ? host : &NullHost()), radio_(radio), nav_(log, host_), awards_(Fields),
      location_(Fields, *host_), validators_(Fields, *host_, *log, location_), callEntry_(Fields, *host_, *log, location_),
      contest_(*log)
{
    nav_.SetSearchHides([this](const TQsoRecord& r) { return mode_ == emBrowse && !MatchesSearch(r); });
}

TQsoEntry::~TQsoEntry() = default;

void TQsoEntry::Start()
{
    nav_.Reset();
    mode_ = emIdle;
    ClearSearch();
    SetSortOrder(soDate);
    if (log_->Count() > 0) {
        nav_.SetCurrent(ViewCount() - 1);
        ShowCurrent();
    } else {
        mode_ = emOffline;
        NewEntry(true);
    }
    host_->PostToMainForm(mfQsoWindowShown);
}

// ---- modes and entry ----

void TQsoEntry::Addrealtime()
{
    if (!FinishEntry())
        return;
    bool wasBrowse = mode_ == emBrowse;
    mode_ = emRealTime;
    NewEntry(true);
    ShowSerialNumber();
    if (wasBrowse)
        host_->LogListChanged(true);
}

void TQsoEntry::Addoffline()
{
    if (!FinishEntry())
        return;
    mode_ = emOffline;
    NewEntry(true);
    ShowSerialNumber();
}

void TQsoEntry::NewEntry(bool fresh)
{
    TQsoRecord tmpl;
    if (fresh) {
        host_->ShowLogScrollBar(false, 0, 0);
        host_->EnableEditCommands(false);
        ApplyTabStops();
        tmpl.Mode = Config.DefaultMode();
        // The mode box cannot show "no mode": an unset default would post the box's first mode
        // with a report of the wrong form, so a fresh setup starts on SSB.
        if (tmpl.Mode < 1 || tmpl.Mode > ModeCount)
            tmpl.Mode = mdSSB;
        tmpl.Band = Config.DefaultBand();
        tmpl.Group = Config.MergeGroup();
        if (mode_ == emRealTime && RadioAttached()) {
            bandEnabled_ = false;
            modeEnabled_ = host_->IgnoreModeInRealTime();
        } else {
            bandEnabled_ = modeEnabled_ = true;
        }
    } else {
        TQsoRecord cur;
        BuildRecord(cur);
        FreeNote(cur.Note);
        tmpl.Date = cur.Date;
        tmpl.Time = cur.Time;
        tmpl.Mode = cur.Mode;
        tmpl.Band = cur.Band;
        tmpl.Flags = cur.Flags & qfQRP;
        tmpl.SatMode = cur.SatMode;
        tmpl.Group = cur.Group;
    }
    ApplyEntryDefaults(tmpl, fresh);
    if (fresh && mode_ == emOffline) {
        TDayNumber d;
        std::int32_t t;
        GetUtcDateTime(d, t);
        Fields.Date = FieldDateOfDay(d);
        Fields.Time = t;
        Fields.Modified[fTime] = false;
        storedTime_ = t;
    }
    Fields.Modified[fCall] = true;
    if (mode_ == emRealTime && RadioAttached())
        host_->PollRadioNow();
}

void TQsoEntry::ApplyEntryDefaults(TQsoRecord& tmpl, bool fresh)
{
    if (Config.DefaultLabel() == kLabelNewEntries)
        tmpl.Flags |= qfLabelToPrint;
    tmpl.QslRoute = Config.DefaultQslRoute();
    tmpl.RstRcvd = tmpl.RstSent = static_cast<std::uint16_t>(DefaultReport(tmpl.Mode));
    ShowRecord(tmpl);
    if (fresh || mode_ == emRealTime) {
        clockFollow_ = true;
        TDayNumber d;
        std::int32_t t;
        GetUtcDateTime(d, t);
        ClockUpdate(d, t);
    }
    host_->FocusField(fCall);
}

void TQsoEntry::ApplyTabStops() { host_->FocusField(fCall); }

void TQsoEntry::ClockUpdate(TDayNumber date, std::int32_t seconds)
{
    if (mode_ != emRealTime || !clockFollow_)
        return;
    Fields.Date = FieldDateOfDay(date);
    Fields.Time = seconds;
    Fields.Modified[fTime] = false;
    storedTime_ = seconds;
}

void TQsoEntry::RadioUpdate(int mode, double kHz)
{
    if (mode_ != emRealTime)
        return;
    int band = BandFromFrequency(kHz);
    if (band == 0)
        return;
    if (band != GetBand())
        SetBand(band);
    if (!host_->IgnoreModeInRealTime() && mode >= 1 && mode <= ModeCount && mode != GetMode())
        SetMode(mode);
}

void TQsoEntry::RadioStateChanged()
{
    if (mode_ != emRealTime)
        return;
    bandEnabled_ = !RadioAttached();
    modeEnabled_ = !RadioAttached() || host_->IgnoreModeInRealTime();
}

void TQsoEntry::SetBand(int band)
{
    Fields.Sel[fBand] = band;
    if ((mode_ == emRealTime || mode_ == emOffline) && band != SatBand && Fields.Sel[fSat] != 1)
        Fields.Sel[fSat] = 1;
    OutputBandDecoder(band, mode_ == emRealTime);
    host_->PostToMainForm(mfWorkedStatusChanged);
    CheckDupe();
    RefreshAwardTypes();
}

void TQsoEntry::SetMode(int mode)
{
    int old = Fields.Sel[fMode];
    Fields.Sel[fMode] = mode;
    if (mode_ != emSearch && ModeReportKind(old) != ModeReportKind(mode)) {
        // A default report of the old kind follows the new mode; a typed one stays.
        const std::string oldDefault = std::to_string(DefaultReport(old));
        for (int f : {fRsts, fRstr})
            if (TrimSpaces(Fields.Text[f]) == oldDefault)
                Fields.Text[f] = std::to_string(DefaultReport(mode));
    }
    host_->PostToMainForm(mfWorkedStatusChanged);
    CheckDupe();
    RefreshAwardTypes();
}

void TQsoEntry::EnterKey()
{
    switch (mode_) {
    case emRealTime:
        LogWithExchange();
        break;
    case emOffline:
        if (!TrimSpaces(Fields.Text[fCall]).empty())
            AddQso(Config.ContestExchange());
        break;
    case emSearch:
        SearchFor({}, 0);
        break;
    default:
        AskSaveEdit();
        break;
    }
}

void TQsoEntry::EscapeKey()
{
    switch (mode_) {
    case emRealTime:
    case emOffline:
        FinishEntry();
        break;
    case emSearch:
        LeaveSearchItems();
        mode_ = emIdle;
        ShowCurrent();
        host_->LogListChanged(true);
        break;
    case emBrowse:
        mode_ = emIdle;
        host_->LogListChanged(true);
        break;
    default:
        break;
    }
}

// ---- record mapping ----

void TQsoEntry::BuildRecord(TQsoRecord& r) const
{
    const auto& T = Fields.Text;
    const auto& S = Fields.Sel;
    r = TQsoRecord();
    r.Call.assign(UpperAscii(T[fCall]).substr(0, 12));
    r.Date = FieldDayNumber(Fields.Date);
    r.Time = Fields.Modified[fTime] ? Fields.Time : storedTime_;
    std::int32_t c = CountryNumberOfPrefix(UpperAscii(T[fPrefix]).substr(0, 5));
    r.Country = static_cast<std::uint16_t>(c < 0 ? 0 : c);
    r.Zone = static_cast<std::uint8_t>(FieldTextToInt(T[fZone]));
    r.Mode = static_cast<std::uint8_t>(S[fMode]);
    r.Band = static_cast<std::uint8_t>(S[fBand]);
    int rst = 0;
    r.RstRcvd = static_cast<std::uint16_t>(StrToRst(TrimSpaces(T[fRstr]), rst) ? rst : 0);
    r.RstSent = static_cast<std::uint16_t>(StrToRst(TrimSpaces(T[fRsts]), rst) ? rst : 0);
    r.Exchange.assign(T[fRecvd].substr(0, 4));
    for (int f : kFlagFields)
        if (S[f] == ynYes)
            r.Flags |= FlagOfField(f);
    r.State = StateNumber(TrimSpaces(T[fState]));
    std::string county = TrimSpaces(T[fCnty]);
    r.County = (r.State == 0 || county.empty()) ? 0 : CountyNumber(StateAbbrev(r.State), county);
    r.Iota.assign(UpperAscii(T[fIota]).substr(0, 5));
    r.QslSentDate = FieldDayNumber(Fields.QslDate);
    r.QslRoute = static_cast<std::uint8_t>(S[fQslRoute]);
    r.SatMode = static_cast<std::uint8_t>(S[fSat]);
    r.Grid.assign(T[fGrid].substr(0, 6));
    for (int f = 0; f < kQsoFieldCount; ++f) {
        if (!IsAwardField(f))
            continue;
        if (S[f] == aiSubmitted)
            r.AwardFlags |= AwardMaskOfField(f);
        else if (S[f] == aiCredited)
            r.AwardFlags |= AwardMaskOfField(f) * 2;
    }
    r.Group = static_cast<std::uint8_t>(FieldTextToInt(T[fGroup]));
    TakeAwardFields(r);
    std::string note = TrimSpaces(T[fNote]);
    r.Note = NewNote(note);
}

void TQsoEntry::ShowRecord(const TQsoRecord& r)
{
    auto& T = Fields.Text;
    auto& S = Fields.Sel;
    const bool search = mode_ == emSearch;
    T[fCall] = r.Call.str();
    Fields.Date = r.Date ? FieldDateOfDay(r.Date) : -1;
    Fields.Time = r.Time;
    storedTime_ = r.Time;
    T[fPrefix] = r.Country ? CountryPrefix(r.Country) : std::string();
    Fields.CountryText = r.Country ? CountryName(r.Country) : std::string();
    T[fZone] = std::to_string(r.Zone);
    S[fMode] = r.Mode;
    S[fBand] = r.Band;
    T[fRstr] = r.RstRcvd ? RstToStr(r.RstRcvd) : std::string();
    T[fRsts] = r.RstSent ? RstToStr(r.RstSent) : std::string();
    T[fRecvd] = r.Exchange.str();
    for (int f : kFlagFields)
        S[f] = r.HasFlag(FlagOfField(f)) ? ynYes : (search ? ynBlank : ynNo);
    T[fState] = StateAbbrev(r.State);
    T[fCnty] = r.State ? CountyName(r.State, r.County) : std::string();
    T[fIota] = r.Iota.str();
    Fields.QslDate = r.QslSentDate ? FieldDateOfDay(r.QslSentDate) : -1;
    S[fQslRoute] = r.QslRoute;
    S[fSat] = r.SatMode;
    T[fGrid] = r.Grid.str();
    for (int f = 0; f < kQsoFieldCount; ++f) {
        if (!IsAwardField(f))
            continue;
        std::uint32_t m = AwardMaskOfField(f);
        if (r.AwardFlags & m)
            S[f] = aiSubmitted;
        else if (r.AwardFlags & (m * 2))
            S[f] = aiCredited;
        else
            S[f] = search ? aiBlank : aiNone;
    }
    T[fGroup] = std::to_string(r.Group);
    T[fNote] = std::string(NoteText(r.Note));
    T[fCallNotes] = r.Call.empty() ? std::string() : log_->GetCallNote(r.Call.view());
    T[fQslMgr] = r.Call.empty() ? std::string() : GetQslManager(r.Call.view(), r.Date);
    FillAwardTypes(r.CustAwdId.str(), r.CustAwdVal.str());
    Fields.CallIsDupe = false;
    ShowHeading();
    Fields.ClearModified();
    for (int slot = 0; slot < kChildWindowCount; ++slot)
        host_->MarkChildDirty(slot);
    host_->PostToMainForm(mfQsoWindowShown);
}

// ---- posting ----

bool TQsoEntry::ValidateEntry()
{
    if (mode_ == emSearch)
        return true;
    if (!IsValidCall(UpperAscii(Fields.Text[fCall]).substr(0, 12))) {
        MessageDlg("Bad Callsign", TMsgDlgType::mtError, mbOK);
        return false;
    }
    int sent = 0, rcvd = 0;
    if (!StrToRst(TrimSpaces(Fields.Text[fRsts]), sent) || !StrToRst(TrimSpaces(Fields.Text[fRstr]), rcvd)) {
        MessageDlg("Bad RST field value", TMsgDlgType::mtError, mbOK);
        return false;
    }
    const int mode = GetMode();
    if ((sent != 0 && !IsValidRst(mode, sent)) || (rcvd != 0 && !IsValidRst(mode, rcvd))) {
        MessageDlg("Invalid Combination of Mode and RST", TMsgDlgType::mtError, mbOK);
        return false;
    }
    return true;
}

bool TQsoEntry::LogWithExchange()
{
    if (TrimSpaces(Fields.Text[fCall]).empty())
        return false;
    // The exchange goes only into the record being posted, and the serial number advances only
    // after the post went in: a refused post leaves both as they were.
    if (!AddQso(TQsoContest::Exchange(true, radio_)))
        return false;
    if (Config.ContestMode() && Config.ContestSerial() > 0) {
        Config.SetContestSerial(static_cast<std::uint16_t>(Config.ContestSerial() + 1));
        ShowSerialNumber();
    }
    return true;
}

bool TQsoEntry::AddQso(const std::string& exchange)
{
    if (!ValidateEntry())
        return false;
    if (host_->FieldHasFocus(fCall))
        CallExit();
    TQsoRecord rec;
    BuildRecord(rec);
    if (!exchange.empty()) {
        std::string note(NoteText(rec.Note));
        SetQsoNote(rec, note.empty() ? exchange : note + " " + exchange);
    }
    rec.SeqPrtNr = 0;
    DeriveWpxPrefix(rec);
    int moved = ReassignLaterQsos(rec);
    const std::string call = rec.Call.str();
    if (Fields.EverModified[fCallNotes])
        log_->SetCallNote(call, TrimSpaces(Fields.Text[fCallNotes]));
    if (Fields.EverModified[fQslMgr] && !TrimSpaces(Fields.Text[fQslMgr]).empty())
        SetQslManager(call, rec.Date, UpperAscii(TrimSpaces(Fields.Text[fQslMgr])));
    auto* owned = new TQsoRecord(rec);
    log_->InsertQso(owned);
    log_->SetModified();
    LogHooks().BackupSoon();
    nav_.SetCurrentFromRecord(owned);
    host_->LogListChanged(moved > 0);
    NewEntry(false);
    return true;
}

int TQsoEntry::ReassignLaterQsos(const TQsoRecord& rec)
{
    return ReassignLaterQsos(rec, nullptr);
}

int TQsoEntry::ReassignLaterQsos(const TQsoRecord& rec, const TQsoRecord* self)
{
    lastReassigned_ = 0;
    // Only the operator's own override of country or zone in this edit counts: a stored QSO
    // whose country predates a change of the country database is left alone.
    if (!Fields.EverModified[fPrefix] && !Fields.EverModified[fZone])
        return 0;
    // The fresh lookup carries the QSO's state, so that a US state's CQ zone is what the
    // lookup gives too and no exception call is made for it.
    TQsoRecord look;
    look.Call = rec.Call;
    look.Date = rec.Date;
    look.State = rec.State;
    QsoLookup().LookupCall(look);
    if (look.Country == rec.Country && look.Zone == rec.Zone)
        return 0;
    if (CountryDb.ExceptionCalls) {
        TExceptionCallRecord e{rec.Call.str(), rec.Country, rec.Zone, rec.Date};
        CountryDb.ExceptionCalls->InsertRecord(e.ToBytes().data());
        SetCountryDataModified();
    }
    std::vector<TQsoRecord*> later;
    TQsoRecord key;
    key.Call = rec.Call;
    int i = 0;
    log_->ByCall().Find(key, i);
    for (; i < log_->ByCall().Count() && log_->ByCall().At(i)->Call == rec.Call; ++i) {
        TQsoRecord* q = log_->ByCall().At(i);
        if (q == self)
            continue;
        bool isLater = q->Date > rec.Date || (q->Date == rec.Date && q->Time > rec.Time);
        if (isLater && (q->Country != rec.Country || q->Zone != rec.Zone))
            later.push_back(q);
    }
    for (TQsoRecord* q : later) {
        TQsoRecord copy = *q;
        copy.Country = rec.Country;
        copy.Zone = rec.Zone;
        q->Note = nullptr;  // the copy takes the note over
        log_->ReplaceQso(copy, q);
    }
    if (!later.empty())
        log_->SetModified();
    lastReassigned_ = static_cast<int>(later.size());
    if (lastReassigned_ > 0)
        MessageDlg(CountText(lastReassigned_, "QSO") + "of " + rec.Call.str() + " re-assigned",
                   TMsgDlgType::mtInformation, mbOK);
    return lastReassigned_;
}

bool TQsoEntry::UpdateQso(std::uint16_t sequence)
{
    TQsoRecord* old = ViewAt(CurrentIndex());
    if (!old)
        return false;
    if (!ValidateEntry())
        return false;
    if (Fields.EverModified[fCall] && !CallEntered())
        return false;
    TQsoRecord rec;
    BuildRecord(rec);
    rec.SeqPrtNr = sequence ? sequence : old->SeqPrtNr;
    const std::string oldCall = old->Call.str();
    TQsoRecord* now = log_->ReplaceQso(rec, old);  // takes rec's note
    log_->SetModified();
    LogHooks().BackupSoon();
    int moved = ReassignLaterQsos(*now, now);
    nav_.SetCurrentFromRecord(now);
    if (oldCall != now->Call.view())
        log_->DeleteUnworkedNote(oldCall);
    const std::string call = now->Call.str();
    if (Fields.EverModified[fCallNotes])
        log_->SetCallNote(call, TrimSpaces(Fields.Text[fCallNotes]));
    if (Fields.EverModified[fQslMgr] && !TrimSpaces(Fields.Text[fQslMgr]).empty())
        SetQslManager(call, now->Date, UpperAscii(TrimSpaces(Fields.Text[fQslMgr])));
    host_->LogListChanged(moved > 0 || mode_ == emBrowse);
    host_->ShowLogScrollBar(true, std::max(0, log_->Count() - 1), CurrentIndex());
    return true;
}

void TQsoEntry::Update2Click()
{
    if (mode_ != emIdle && mode_ != emBrowse)
        return;
    if (!UpdateQso(0))
        return;
    nav_.Remember();
    nav_.SetCurrent(CurrentIndex() + 1);
    if (CurrentIndex() >= ViewCount() || (mode_ == emBrowse && !nav_.Step(true)))
        nav_.SetCurrent(std::max(0, std::min(nav_.PreviousIndex(), ViewCount() - 1)));
    ShowCurrent();
}

void TQsoEntry::AskSaveEdit()
{
    if (mode_ != emIdle && mode_ != emBrowse)
        return;
    if (!Fields.AnyEverModified())
        return;
    if (MessageDlg("Save the changes to this QSO?", TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
        Update2Click();
}

bool TQsoEntry::FinishEntry()
{
    switch (mode_) {
    case emRealTime:
    case emOffline:
        if (!TrimSpaces(Fields.Text[fCall]).empty() && Config.WarnUnsavedQso()) {
            int a = MessageDlg("Save the QSO you just added?", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel);
            if (a == mrCancel)
                return false;
            if (a == mrYes) {
                bool ok = mode_ == emRealTime ? LogWithExchange() : AddQso(Config.ContestExchange());
                if (!ok)
                    return false;
            }
        }
        ResetEntry();
        ShowSerialNumber();
        return true;
    case emSearch:
        LeaveSearchItems();
        mode_ = emIdle;
        return true;
    default:
        AskSaveEdit();
        return true;
    }
}

void TQsoEntry::ResetEntry()
{
    host_->ShowLogScrollBar(true, std::max(0, log_->Count() - 1), CurrentIndex());
    host_->EnableEditCommands(true);
    bandEnabled_ = modeEnabled_ = true;
    mode_ = emIdle;
    ApplyTabStops();
    if (log_->Count() == 0) {
        mode_ = emOffline;
        NewEntry(true);
        return;
    }
    nav_.SetCurrent(ViewCount() - 1);
    ShowCurrent();
}

void TQsoEntry::Delete2Click()
{
    if (mode_ != emIdle && mode_ != emBrowse)
        return;
    TQsoRecord* rec = ViewAt(CurrentIndex());
    if (!rec)
        return;
    if (MessageDlg("Delete current QSO?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    const std::string call = rec->Call.str();
    log_->DeleteQso(rec);
    log_->SetModified();
    LogHooks().BackupSoon();
    log_->DeleteUnworkedNote(call);
    host_->LogListChanged(true);
    host_->MarkChildDirty(cwSameCall);
    ShowWhereLeft();
}

// ---- after changes to many QSOs ----

void TQsoEntry::LogChanged(bool keepStatus, bool markModified)
{
    const bool showing = mode_ == emIdle || mode_ == emBrowse;
    // The pointer lists are whole while their order is not: the shown QSO is still found here.
    const TQsoRecord* shown = showing ? ViewAt(CurrentIndex()) : nullptr;
    log_->ReorderAfterEdits();
    if (!keepStatus)
        log_->MarkAwardStatusNotBuilt();
    if (markModified)
        log_->SetModified();
    host_->LogListChanged(true);
    if (!showing)
        return;
    if (shown)
        nav_.SetCurrentFromRecord(shown);
    ShowWhereLeft();
}

void TQsoEntry::ShowWhereLeft()
{
    if (log_->Count() == 0) {
        mode_ = emOffline;
        nav_.Reset();
        NewEntry(true);
        return;
    }
    if (CurrentIndex() >= ViewCount())
        nav_.SetCurrent(ViewCount() - 1);
    ShowCurrent();
}

void TQsoEntry::RefreshAfterSelection(bool selectionsChanged)
{
    log_->MarkAwardStatusNotBuilt();
    if (selectionsChanged)
        log_->SetModified();
    nav_.SetCurrent(0);
    if ((mode_ == emIdle || mode_ == emBrowse) && ViewCount() > 0 && nav_.MoveFirst())
        ShowCurrent();
    host_->LogListChanged(true);
}

// ---- navigation ----

void TQsoEntry::ShowCurrent()
{
    if (const TQsoRecord* r = ViewAt(CurrentIndex()))
        ShowRecord(*r);
    host_->ShowLogScrollBar(mode_ != emRealTime && mode_ != emOffline, std::max(0, log_->Count() - 1), CurrentIndex());
}

bool TQsoEntry::ShowQso(const TQsoRecord* rec)
{
    const int before = CurrentIndex();
    nav_.SetCurrentFromRecord(rec);
    if (!rec || ViewAt(CurrentIndex()) != rec) {
        nav_.SetCurrent(before);
        return false;
    }
    ShowCurrent();
    return true;
}

void TQsoEntry::First()
{
    if (!FinishEntry())
        return;
    if (nav_.MoveFirst())
        ShowCurrent();
}

void TQsoEntry::Last()
{
    if (!FinishEntry())
        return;
    if (nav_.MoveLast())
        ShowCurrent();
}

void TQsoEntry::Next()
{
    if (!FinishEntry())
        return;
    if (nav_.MoveBy(1))
        ShowCurrent();
}

void TQsoEntry::Previous()
{
    const bool adding = mode_ == emRealTime || mode_ == emOffline;
    if (!FinishEntry())
        return;
    if (adding) {  // FinishEntry has shown the last QSO of the view
        return;
    }
    if (nav_.MoveBy(-1))
        ShowCurrent();
}

void TQsoEntry::NextSorted(bool forward)
{
    if (!FinishEntry())
        return;
    if (nav_.MoveToNextKey(forward))
        ShowCurrent();
}

void TQsoEntry::ScrollTo(int code, int& position)
{
    int delta = 0;
    if (!nav_.ScrollDelta(code, position, delta))
        return;
    if (!FinishEntry())
        return;
    nav_.Scroll(delta, mode_ == emIdle && !ActiveSelection());
    position = CurrentIndex();
    ShowCurrent();
}

// ---- contest ----

void TQsoEntry::CheckDupe()
{
    if (mode_ != emRealTime || !Config.ContestMode())
        return;
    host_->MarkChildDirty(cwSameCall);
    const bool dupe = contest_.IsDupe(UpperAscii(TrimSpaces(Fields.Text[fCall])).substr(0, 12), GetMode(), GetBand());
    if (dupe && !Fields.CallIsDupe)
        host_->Beep();
    Fields.CallIsDupe = dupe;
}

void TQsoEntry::ShowSerialNumber()
{
    host_->ShowSerialNumber(TQsoContest::SerialShown(mode_ == emRealTime), Config.ContestSerial());
}

// ---- callsign entry ----

void TQsoEntry::CallChange()
{
    if (Config.LookupWhileTyping()) {
        Fields.Modified[fCall] = true;
        CallExit();
        Fields.Modified[fCall] = true;
    }
}

void TQsoEntry::CallExit()
{
    if (!Fields.Modified[fCall] || mode_ == emSearch)
        return;
    host_->MarkChildDirty(cwExternalData);
    host_->MarkChildDirty(cwWpxSummary);
    CheckDupe();
    CallEntered();
}

bool TQsoEntry::CallEntered() { return callEntry_.Entered(); }

void TQsoEntry::DateExit()
{
    if (mode_ != emSearch)
        callEntry_.DateExit();
}

void TQsoEntry::PrefixExit()
{
    if (mode_ != emSearch)
        callEntry_.PrefixExit();
}

void TQsoEntry::StateExit()
{
    if (mode_ != emSearch)
        callEntry_.StateExit();
}

void TQsoEntry::PreviewCall(const std::string& call, TDayNumber date)
{
    if (mode_ == emRealTime)
        callEntry_.Preview(call, date);
}

void TQsoEntry::StartQsoFromSpot(const std::string& call, int mode, int band)
{
    if (!FinishEntry())
        return;
    mode_ = emRealTime;
    NewEntry(true);
    Fields.Text[fCall] = UpperAscii(call).substr(0, 12);
    if (mode >= 1 && mode <= ModeCount)
        SetMode(mode);
    if (band >= 1 && band <= BandCount)
        SetBand(band);
    CallEntered();
    host_->FocusField(fRsts);
}

std::string TQsoEntry::NoteInsertText(char key) const
{
    if (key == 'D')
        return FormatDayNumber(FieldDayNumber(Fields.Date));
    if (key == 'R' && RadioAttached())
        return radio_->FrequencyText();
    return {};
}

bool TQsoEntry::AppendToNote(int field, char key)
{
    if (field != fNote && field != fCallNotes)
        return false;
    const std::string add = NoteInsertText(key);
    if (add.empty())
        return false;
    std::string& t = Fields.Text[static_cast<std::size_t>(field)];
    if (!t.empty())
        t += ' ';
    t += add;
    Fields.EverModified[static_cast<std::size_t>(field)] = true;
    return true;
}

// ---- search and filter ----

void TQsoEntry::LeaveSearchItems() { blankItems_ = false; }

bool TQsoEntry::ActiveSelection() const
{
    const TQsoSelection& s = log_->Selection;
    return s.DateRange || s.GroupFlag || s.Bit(TQsoSelection::kQrpOnlyBit) || s.Bit(TQsoSelection::kYlOnlyBit);
}

void TQsoEntry::BeginSearch(bool clearTemplate)
{
    if (!FinishEntry())
        return;
    if (log_->Count() == 0)
        return;
    mode_ = emSearch;
    TQsoRecord& tmpl = filter_.Template();
    if (clearTemplate) {
        FreeNote(tmpl.Note);
        tmpl = TQsoRecord();
        tmpl.Time = -1;
    }
    blankItems_ = true;
    ShowRecord(tmpl);
    Fields.Time = tmpl.Time;
    for (int f : {fRsts, fRstr, fGroup, fZone}) {
        Fields.Text[f].clear();
        Fields.EverModified[f] = false;
    }
    if (clearTemplate) {
        Fields.Text[fPrefix].clear();
        Fields.CountryText.clear();
    }
    host_->FocusField(fCall);
}

void TQsoEntry::CompileFilter()
{
    filter_.SetOutsideFilter(nullptr);
    TQsoRecord& tmpl = filter_.Template();
    FreeNote(tmpl.Note);
    BuildRecord(tmpl);
    tmpl.Time = Fields.Time;
    FreeNote(tmpl.Note);
    tmpl.Note = nullptr;
    filter_.Compile(Fields, awards_, *host_);
}

void TQsoEntry::SearchFor(const std::string& expression, int modeGroup)
{
    CompileFilter();
    filter_.AddWpxAndModeGroup(expression, modeGroup);
    LeaveSearchItems();
    Fields.ClearModified();
    mode_ = emBrowse;
    nav_.Remember();
    nav_.SetCurrent(0);
    const bool none = !nav_.Step(true);
    host_->LogListChanged(true);
    if (none) {
        MessageDlg("No matching QSO found", TMsgDlgType::mtInformation, mbOK);
        return;
    }
    ShowCurrent();
}

long TQsoEntry::CountSelected()
{
    bool asBrowse = mode_ == emBrowse;
    if (mode_ == emSearch) {
        CompileFilter();
        asBrowse = true;
    } else if (mode_ == emIdle && !ActiveSelection()) {
        return log_->Count();
    }
    long n = 0;
    for (int i = 0; i < ViewCount(); ++i) {
        const TQsoRecord* r = ViewAt(i);
        if (log_->InSelection(*r) && (!asBrowse || MatchesSearch(*r)))
            ++n;
    }
    return n;
}

void TQsoEntry::Count2Click()
{
    MessageDlg(CountText(CountSelected(), "QSO") + "found\r", TMsgDlgType::mtInformation, mbOK);
}

void TQsoEntry::CancelFilter()
{
    if (mode_ != emSearch && mode_ != emBrowse)
        return;
    const bool wasSearch = mode_ == emSearch;
    LeaveSearchItems();
    mode_ = emIdle;
    if (wasSearch)
        ShowCurrent();
    host_->LogListChanged(true);
    host_->ShowLogScrollBar(true, std::max(0, log_->Count() - 1), CurrentIndex());
}

void TQsoEntry::SetExternalFilter(std::function<bool(const TQsoRecord&)> filter)
{
    const bool on = static_cast<bool>(filter);
    filter_.SetOutsideFilter(std::move(filter));
    mode_ = on ? emBrowse : emIdle;
    host_->LogListChanged(true);
}

void TQsoEntry::CheckOtherQsos(int kind)
{
    const auto& T = Fields.Text;
    std::string state = UpperAscii(TrimSpaces(T[fState])), county = TrimSpaces(T[fCnty]), id = SelectedAwardId(), value;
    if (kind == okAwardListedValue || kind == okAwardTypedValue) {
        TQsoRecord r;
        TakeAwardFields(r);
        value = kind == okAwardTypedValue ? TrimSpaces(T[fAwdVal]) : r.CustAwdVal.str();
    }
    const bool noKey = kind == okStateCounty  ? (state.empty() || county.empty())
                       : kind == okCustomAward ? id.empty()
                                               : (id.empty() || value.empty());
    if (noKey) {
        MessageDlg("Not a valid search", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const std::uint8_t stateNo = StateNumber(state);
    const std::uint16_t countyNo = kind == okStateCounty ? CountyNumber(state, county) : 0;
    auto statusOf = [](const TQsoRecord& q) -> int {
        if (q.RstRcvd == 0)
            return asNone;
        if (q.HasFlag(qfQslReceived))
            return q.AwardFlags ? asSubmitted : asConfirmed;
        if (q.QslSentDate)
            return q.Date >= Config.QslSentCutoff() ? asQslSent : asNone;
        return q.Date >= Config.WorkedCutoff() ? asWorked : asNone;
    };
    const TQsoRecord* best = nullptr;
    int bestStatus = asNone;
    for (const TQsoRecord* q : log_->Qsos()) {
        if (!log_->InSelection(*q))
            continue;
        bool same = kind == okStateCounty  ? (q->State == stateNo && q->County == countyNo)
                    : kind == okCustomAward ? q->CustAwdId == id
                                            : (q->CustAwdId == id && q->CustAwdVal == value);
        if (!same)
            continue;
        int st = statusOf(*q);
        if (st > bestStatus) {
            bestStatus = st;
            best = q;
        }
    }
    if (!best) {
        MessageDlg("No matching qso found", TMsgDlgType::mtInformation, mbOK);
        return;
    }
    // A submitted QSO reads as confirmed.
    static const char* const names[] = {"Not worked", "Worked", "QSL sent", "Confirmed"};
    MessageDlg(best->Call.str() + "\r" + FormatDayNumber(best->Date) + "\r" + SecondsToHHMM(best->Time) + "\r" +
                   BandName(best->Band) + "\r" + names[std::min<int>(bestStatus, asConfirmed)],
               TMsgDlgType::mtInformation, mbOK);
}

} // namespace korval
