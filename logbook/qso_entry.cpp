#include "logbook/qso_entry.h"

#include <algorithm>
#include <cstdlib>

#include "logbook/bands_modes.h"
#include "logbook/call_lookup.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/custom_award.h"
#include "logbook/call_syntax.h"
#include "logbook/was_state.h"
#include "logbook/position.h"
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


TDayNumber DayOf(std::int32_t stDate)
{
    if (stDate < 0)
        return 0;
    try {
        return StDateToDayNumber(stDate);
    } catch (const EDateRangeError&) {
        return 0;
    }
}

std::int32_t StDateOf(TDayNumber day)
{
    try {
        return DayNumberToStDate(day);
    } catch (const EDateRangeError&) {
        return -1;
    }
}

std::string StateAbbrev(std::uint8_t state)
{
    TUsStateRecord s;
    return state != 0 && GetState(state, s) ? s.Abbrev : std::string();
}

int DefaultReport(int mode) { return ModeReportKind(mode) == 0 ? 59 : 599; }

// The flag bit carried by a Y/N choice slot.
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

constexpr int kFlagFields[] = {fConf, fLabel, fQrp, fYl, fValid};

bool IsAwardField(int f) { return AwardMaskOfField(f) != 0; }

// Search kind of each tab order.
constexpr std::uint8_t kSearchKinds[kQsoFieldCount] = {
    9, 11, 2, 4, 1, 1, 18, 18, 10, 0, 12, 13, 14, 15, 17, 16, 10, 7, 3, 1, 7, 7, 7, 1, 19, 20, 20,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 0, 8, 8, 7};

// The most recent QSO of a call in the by-call index, or null.
const TQsoRecord* LastQsoOfCall(const TQsoData& log, std::string_view call)
{
    TQsoRecord key;
    key.Call.assign(call);
    key.Date = 65535;
    key.Time = 0x7fffffff;
    key.Band = 255;
    key.Mode = 255;
    int i = 0;
    log.ByCall().Find(key, i);
    if (i > 0 && log.ByCall().At(i - 1)->Call == call)
        return log.ByCall().At(i - 1);
    return nullptr;
}

std::string ThousandsSep(long v)
{
    std::string s = std::to_string(v < 0 ? -v : v), out;
    int n = 0;
    for (auto it = s.rbegin(); it != s.rend(); ++it) {
        if (n && n % 3 == 0)
            out.insert(out.begin(), ',');
        out.insert(out.begin(), *it);
        ++n;
    }
    return v < 0 ? "-" + out : out;
}

} // namespace

TQsoEntry::TQsoEntry(TQsoData* log, TQsoEntryHost* host, TQsoRadio* radio)
    : log_(log), host_(host ? host : &NullHost()), radio_(radio)
{
}

TQsoEntry::~TQsoEntry()
{
    if (view_ && log_)
        log_->RemoveIndex(view_);
    ClearSearch();
}

void TQsoEntry::Start()
{
    current_ = previous_ = 0;
    mode_ = emIdle;
    ClearSearch();
    SetSortOrder(soDate);
    if (log_->Count() > 0) {
        current_ = ViewCount() - 1;
        ShowCurrent();
    } else {
        mode_ = emOffline;
        NewEntry(true);
    }
    host_->PostToMainForm(2);
}

// ---- view ----

int TQsoEntry::ViewCount() const { return log_->Count(); }

TQsoRecord* TQsoEntry::ViewAt(int i) const
{
    if (i < 0 || i >= log_->Count())
        return nullptr;
    if (sortOrder_ == soDate)
        return log_->At(i);
    if (sortOrder_ == soCallsign)
        return log_->ByCall().At(i);
    return view_ ? view_->At(i) : log_->At(i);
}

void TQsoEntry::SetSortOrder(int order)
{
    if (order < 0 || order >= kSortOrderCount)
        return;
    const TQsoRecord* cur = ViewAt(current_);
    if (view_) {
        log_->RemoveIndex(view_);
        view_ = nullptr;
    }
    sortOrder_ = order;
    if (order != soDate && order != soCallsign)
        view_ = log_->AddIndex(SortOrderCompare(order));
    SetCurrentFromRecord(cur);
}

void TQsoEntry::SetCurrentFromRecord(const TQsoRecord* rec)
{
    if (!rec)
        return;
    if (sortOrder_ == soDate) {
        int i = 0;
        log_->Find(*rec, i);
        while (i < log_->Count() && log_->At(i) != rec)
            ++i;
        if (i < log_->Count()) {
            current_ = i;
            return;
        }
    }
    for (int i = 0; i < ViewCount(); ++i)
        if (ViewAt(i) == rec) {
            current_ = i;
            return;
        }
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
        Fields.Date = StDateOf(d);
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
    if (Config.DefaultLabel() == 1)
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
    Fields.Date = StDateOf(date);
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

void TQsoEntry::SetBand(int band)
{
    Fields.Sel[fBand] = band;
    if ((mode_ == emRealTime || mode_ == emOffline) && band != SatBand && Fields.Sel[fSat] != 1)
        Fields.Sel[fSat] = 1;
    host_->PostToMainForm(11);
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
    host_->PostToMainForm(11);
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
    r.Date = DayOf(Fields.Date);
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
        if (S[f] == 1)
            r.Flags |= FlagOfField(f);
    r.State = StateNumber(TrimSpaces(T[fState]));
    std::string county = TrimSpaces(T[fCnty]);
    r.County = (r.State == 0 || county.empty()) ? 0 : CountyNumber(StateAbbrev(r.State), county);
    r.Iota.assign(UpperAscii(T[fIota]).substr(0, 5));
    r.QslSentDate = DayOf(Fields.QslDate);
    r.QslRoute = static_cast<std::uint8_t>(S[fQslRoute]);
    r.SatMode = static_cast<std::uint8_t>(S[fSat]);
    r.Grid.assign(T[fGrid].substr(0, 6));
    for (int f = 0; f < kQsoFieldCount; ++f) {
        if (!IsAwardField(f))
            continue;
        if (S[f] == 2)
            r.AwardFlags |= AwardMaskOfField(f);
        else if (S[f] == 3)
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
    Fields.Date = r.Date ? StDateOf(r.Date) : -1;
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
        S[f] = r.HasFlag(FlagOfField(f)) ? 1 : (search ? 0 : 2);
    T[fState] = StateAbbrev(r.State);
    T[fCnty] = r.State ? CountyName(r.State, r.County) : std::string();
    T[fIota] = r.Iota.str();
    Fields.QslDate = r.QslSentDate ? StDateOf(r.QslSentDate) : -1;
    S[fQslRoute] = r.QslRoute;
    S[fSat] = r.SatMode;
    T[fGrid] = r.Grid.str();
    for (int f = 0; f < kQsoFieldCount; ++f) {
        if (!IsAwardField(f))
            continue;
        std::uint32_t m = AwardMaskOfField(f);
        if (r.AwardFlags & m)
            S[f] = 2;
        else if (r.AwardFlags & (m * 2))
            S[f] = 3;
        else
            S[f] = search ? 0 : 1;
    }
    T[fGroup] = std::to_string(r.Group);
    T[fNote] = std::string(NoteText(r.Note));
    T[fCallNotes] = r.Call.empty() ? std::string() : log_->GetCallNote(r.Call.view());
    T[fQslMgr] = r.Call.empty() ? std::string() : GetQslManager(r.Call.view(), r.Date);
    FillAwardTypes(r.CustAwdId.str(), r.CustAwdVal.str());
    Fields.CallIsDupe = false;
    ShowHeading();
    Fields.ClearModified();
    for (int slot = 0; slot < 13; ++slot)
        host_->MarkChildDirty(slot);
    host_->PostToMainForm(2);
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

std::string TQsoEntry::ExchangeFromConfig(bool realTime) const
{
    std::string ex = Config.ContestExchange();
    if (ex.empty() || !realTime)
        return ex;
    if (Config.ContestMode() && Config.ContestSerial() > 0) {
        std::size_t p = ex.find("##");
        if (p != std::string::npos)
            ex.replace(p, 2, std::to_string(Config.ContestSerial()));
    }
    if (RadioAttached()) {
        std::size_t p = ex.find("$$");
        if (p != std::string::npos)
            ex.replace(p, 2, radio_->FrequencyText());
    }
    return ex;
}

bool TQsoEntry::LogWithExchange()
{
    if (TrimSpaces(Fields.Text[fCall]).empty())
        return false;
    // The exchange goes only into the record being posted, and the serial number advances only
    // after the post went in: a refused post leaves both as they were.
    if (!AddQso(ExchangeFromConfig(true)))
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
    SetCurrentFromRecord(owned);
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
    TQsoRecord* old = ViewAt(current_);
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
    int moved = ReassignLaterQsos(*now, now);
    SetCurrentFromRecord(now);
    if (oldCall != now->Call.view())
        log_->DeleteUnworkedNote(oldCall);
    const std::string call = now->Call.str();
    if (Fields.EverModified[fCallNotes])
        log_->SetCallNote(call, TrimSpaces(Fields.Text[fCallNotes]));
    if (Fields.EverModified[fQslMgr] && !TrimSpaces(Fields.Text[fQslMgr]).empty())
        SetQslManager(call, now->Date, UpperAscii(TrimSpaces(Fields.Text[fQslMgr])));
    host_->LogListChanged(moved > 0 || mode_ == emBrowse);
    host_->ShowLogScrollBar(true, std::max(0, log_->Count() - 1), current_);
    return true;
}

void TQsoEntry::Update2Click()
{
    if (mode_ != emIdle && mode_ != emBrowse)
        return;
    if (!UpdateQso(0))
        return;
    previous_ = current_;
    ++current_;
    if (current_ >= ViewCount() || (mode_ == emBrowse && StepView(true) == 1))
        current_ = std::max(0, std::min(previous_, ViewCount() - 1));
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
    host_->ShowLogScrollBar(true, std::max(0, log_->Count() - 1), current_);
    host_->EnableEditCommands(true);
    bandEnabled_ = modeEnabled_ = true;
    mode_ = emIdle;
    ApplyTabStops();
    if (log_->Count() == 0) {
        mode_ = emOffline;
        NewEntry(true);
        return;
    }
    current_ = ViewCount() - 1;
    ShowCurrent();
}

void TQsoEntry::Delete2Click()
{
    if (mode_ != emIdle && mode_ != emBrowse)
        return;
    TQsoRecord* rec = ViewAt(current_);
    if (!rec)
        return;
    if (MessageDlg("Delete current QSO?", TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    const std::string call = rec->Call.str();
    log_->DeleteQso(rec);
    log_->SetModified();
    log_->DeleteUnworkedNote(call);
    host_->LogListChanged(true);
    host_->MarkChildDirty(4);
    if (log_->Count() == 0) {
        mode_ = emOffline;
        current_ = previous_ = 0;
        NewEntry(true);
        return;
    }
    if (current_ >= ViewCount())
        current_ = ViewCount() - 1;
    ShowCurrent();
}

// ---- navigation ----

void TQsoEntry::ShowCurrent()
{
    if (const TQsoRecord* r = ViewAt(current_))
        ShowRecord(*r);
    host_->ShowLogScrollBar(mode_ != emRealTime && mode_ != emOffline, std::max(0, log_->Count() - 1), current_);
}

int TQsoEntry::StepView(bool forward)
{
    const int dir = forward ? 1 : -1;
    while (current_ >= 0 && current_ < ViewCount() && RecordState(current_) == 2)
        current_ += dir;
    if (current_ < 0 || current_ >= ViewCount()) {
        host_->Beep();
        current_ = previous_;
        return 1;
    }
    return 0;
}

void TQsoEntry::First()
{
    if (!FinishEntry())
        return;
    previous_ = current_;
    current_ = 0;
    if (StepView(true) == 0)
        ShowCurrent();
}

void TQsoEntry::Last()
{
    if (!FinishEntry())
        return;
    previous_ = current_;
    current_ = ViewCount() - 1;
    if (StepView(false) == 0)
        ShowCurrent();
}

void TQsoEntry::Next()
{
    if (!FinishEntry())
        return;
    previous_ = current_;
    ++current_;
    if (StepView(true) == 0)
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
    previous_ = current_;
    --current_;
    if (StepView(false) == 0)
        ShowCurrent();
}

void TQsoEntry::NextSorted(bool forward)
{
    if (!FinishEntry())
        return;
    auto keyOf = [this](const TQsoRecord& r) -> std::string {
        switch (sortOrder_) {
        case soBand: return std::to_string(r.Band);
        case soCallsign: return r.Call.str();
        case soCounty: return std::to_string(r.State) + "/" + std::to_string(r.County);
        case soDate: return std::to_string(r.Date);
        case soGrid: return r.Grid.str();
        case soGroup: return std::to_string(r.Group);
        case soIota: return r.Iota.str();
        case soPrefix: return std::to_string(r.Country);
        case soPrtSeqNr: return std::to_string(r.SeqPrtNr);
        case soState: return std::to_string(r.State);
        case soWpx: return r.WpxPrefix.str();
        default: return std::to_string(r.Zone);  // zone, and the custom-award order
        }
    };
    const TQsoRecord* start = ViewAt(current_);
    if (!start)
        return;
    const std::string key = keyOf(*start);
    const int start_index = current_;
    const int dir = forward ? 1 : -1;
    for (int i = current_ + dir; i >= 0 && i < ViewCount(); i += dir) {
        if (RecordState(i) == 2)
            continue;
        if (keyOf(*ViewAt(i)) != key) {
            previous_ = start_index;
            current_ = i;
            ShowCurrent();
            return;
        }
    }
    host_->Beep();
    current_ = start_index;
}

void TQsoEntry::ScrollTo(int code, int& position)
{
    int delta = 0;
    switch (code) {
    case 0: delta = -1; break;
    case 1: delta = 1; break;
    case 2: delta = -10; break;
    case 3: delta = 10; break;
    case 5: delta = position - current_; break;
    case 6: delta = -current_; break;
    case 7: delta = ViewCount() - 1 - current_; break;
    default: return;
    }
    if (!FinishEntry())
        return;
    if (mode_ == emIdle && !ActiveSelection()) {
        current_ = std::clamp(current_ + delta, 0, std::max(0, ViewCount() - 1));
    } else {
        const bool forward = delta > 0;
        for (int n = 0; n < std::abs(delta); ++n) {
            previous_ = current_;
            current_ += forward ? 1 : -1;
            if (StepView(forward) == 1) {
                previous_ = current_;
                current_ = forward ? ViewCount() - 1 : 0;
                StepView(!forward);
                break;
            }
        }
    }
    position = current_;
    ShowCurrent();
}

// ---- contest ----

void TQsoEntry::CheckDupe()
{
    if (mode_ != emRealTime || !Config.ContestMode())
        return;
    host_->MarkChildDirty(4);
    bool dupe = false;
    const std::string call = UpperAscii(TrimSpaces(Fields.Text[fCall])).substr(0, 12);
    if (!call.empty()) {
        const TQsoIndex& bc = log_->ByCall();
        TQsoRecord key;
        key.Call.assign(call);
        key.Date = 65535;
        key.Time = 0x7fffffff;
        key.Band = key.Mode = 255;
        int i = 0;
        bc.Find(key, i);
        const TDayNumber sd = Config.ContestStartDate();
        const std::int32_t st = Config.ContestStartTime();
        for (--i; i >= 0 && bc.At(i)->Call == call; --i) {
            const TQsoRecord* q = bc.At(i);
            if (q->Date < sd || (q->Date == sd && q->Time < st))
                break;
            if (!log_->InSelection(*q))
                continue;
            if (q->Mode == GetMode() && q->Band == GetBand()) {
                dupe = true;
                break;
            }
        }
    }
    if (dupe && !Fields.CallIsDupe)
        host_->Beep();
    Fields.CallIsDupe = dupe;
}

void TQsoEntry::ShowSerialNumber()
{
    const bool on = Config.ContestMode() && Config.ContestSerial() > 0 && mode_ == emRealTime;
    host_->ShowSerialNumber(on, Config.ContestSerial());
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
    host_->MarkChildDirty(6);
    host_->MarkChildDirty(11);
    CheckDupe();
    CallEntered();
}

bool TQsoEntry::CallEntered()
{
    auto& T = Fields.Text;
    const std::string call = UpperAscii(TrimSpaces(T[fCall])).substr(0, 12);
    const bool valid = IsValidCall(call);
    T[fCallNotes] = log_->GetCallNote(call);
    TQsoRecord look;
    look.Call.assign(call);
    look.Date = DayOf(Fields.Date);
    QsoLookup().LookupCall(look);
    Fields.Sel[fValid] = call.find("/MM") != std::string::npos ? 2 : 1;
    T[fQslMgr] = GetQslManager(call, look.Date);
    T[fIota].clear();
    T[fCnty].clear();
    T[fGrid].clear();
    T[fZone] = std::to_string(look.Zone);
    T[fState] = StateAbbrev(look.State);
    if (const TQsoRecord* last = LastQsoOfCall(*log_, call)) {
        T[fState] = StateAbbrev(last->State);
        T[fIota] = last->Iota.str();
        T[fGrid] = last->Grid.str();
        T[fCnty] = (last->State && last->County) ? CountyName(last->State, last->County) : std::string();
        Fields.Sel[fYl] = last->HasFlag(qfYL) ? 1 : 2;
    }
    if (T[fIota].empty() && look.Country) {
        TCountryRecord c;
        if (GetCountry(look.Country, c))
            T[fIota] = c.DefaultIota;
    }
    ShowCountryFields(look.Country);
    ShowHeading();
    Fields.ClearModified();
    MarkDirty({4, 11, 1, 3, 8, 2, 9});
    host_->PostToMainForm(11);
    return valid;
}

void TQsoEntry::MarkDirty(std::initializer_list<int> slots)
{
    for (int s : slots)
        host_->MarkChildDirty(s);
}

void TQsoEntry::ShowCountryFields(std::uint16_t country)
{
    auto& T = Fields.Text;
    TCountryRecord c;
    if (country != 0 && GetCountry(country, c)) {
        T[fPrefix] = c.Prefix;
        Fields.CountryText = c.Name;
        const std::string st = TrimSpaces(T[fState]);
        T[fState] = WasStateFor(c.StatesKind, st, StateNumber(st) != 0).substr(0, 2);
        host_->MarkChildDirty(2);
    } else {
        Fields.CountryText.clear();
        T[fPrefix].clear();
        T[fState].clear();
        T[fZone].clear();
    }
    MarkDirty({0, 7, 1});
}

void TQsoEntry::ShowHeading()
{
    const auto& T = Fields.Text;
    double lon = 0, lat = 0;
    std::string label;
    const std::string grid = TrimSpaces(T[fGrid]);
    const std::string iota = UpperAscii(TrimSpaces(T[fIota]));
    const std::string prefix = UpperAscii(TrimSpaces(T[fPrefix]));
    if (!grid.empty() && GridToPosition(grid, lon, lat)) {
        label = grid;
    } else if (!iota.empty() && CountryDb.Iota) {
        auto key = MakeShortStrKey(iota);
        std::int32_t i = CountryDb.Iota->IndexOfKey(key.data());
        if (i >= 0) {
            TIotaRecord rec = TIotaRecord::FromBytes(CountryDb.Iota->Record(i));
            if (rec.Longitude != 0 || rec.Latitude != 0) {
                lon = rec.Longitude;
                lat = rec.Latitude;
                label = iota;
            }
        }
    }
    // State records carry no position, so a state never gives one.
    if (label.empty() && !prefix.empty()) {
        std::int32_t c = CountryNumberOfPrefix(prefix);
        TCountryRecord rec;
        if (c > 0 && GetCountry(static_cast<std::uint16_t>(c), rec)) {
            lon = rec.Longitude;
            lat = rec.Latitude;
            label = prefix;
        }
    }
    double homeLat = 0, homeLon = 0;
    if (label.empty() || !HomePosition(homeLat, homeLon)) {
        Fields.DirDist.clear();
        return;
    }
    int heading = 0, km = 0;
    CalcBearingDistance(true, heading, km, lat, lon);
    long dist = km;
    if (Config.DistanceUnit() == 1)
        dist = static_cast<long>(km * 0.62137 + 0.5);
    std::string text = label + ": " + std::to_string(heading) + "\xB0 " + ThousandsSep(dist) +
                       (Config.DistanceUnit() == 1 ? "Mi" : "Km");
    Fields.DirDist = text.substr(0, 20);
    headLon_ = lon;
    headLat_ = lat;
    host_->PostToMainForm(11);
}

void TQsoEntry::DateExit()
{
    if (!Fields.Modified[fDate] || mode_ == emSearch)
        return;
    TQsoRecord look;
    look.Call.assign(UpperAscii(TrimSpaces(Fields.Text[fCall])).substr(0, 12));
    look.Date = DayOf(Fields.Date);
    QsoLookup().LookupCall(look);
    Fields.Text[fQslMgr] = GetQslManager(look.Call.view(), look.Date);
    Fields.Text[fZone] = std::to_string(look.Zone);
    ShowCountryFields(look.Country);
}

void TQsoEntry::PrefixExit()
{
    if (!Fields.Modified[fPrefix] || mode_ == emSearch)
        return;
    std::int32_t c = CountryNumberOfPrefix(UpperAscii(TrimSpaces(Fields.Text[fPrefix])).substr(0, 5));
    if (c < 0)
        c = 0;
    TCountryRecord rec;
    Fields.Text[fZone] = std::to_string(GetCountry(static_cast<std::uint16_t>(c), rec) ? rec.CqZone : 0);
    host_->MarkChildDirty(1);
    ShowCountryFields(static_cast<std::uint16_t>(c));
    Fields.Modified[fPrefix] = true;
    Fields.EverModified[fPrefix] = true;
    host_->PostToMainForm(11);
}

void TQsoEntry::StateExit()
{
    if (!Fields.Modified[fState] || mode_ == emSearch)
        return;
    TQsoRecord look;
    look.Call.assign(UpperAscii(TrimSpaces(Fields.Text[fCall])).substr(0, 12));
    look.Date = DayOf(Fields.Date);
    QsoLookup().LookupCall(look);
    Fields.Text[fCnty].clear();
    std::uint8_t st = StateNumber(TrimSpaces(Fields.Text[fState]));
    TUsStateRecord s;
    int zone = (st && GetState(st, s)) ? s.CqZone : look.Zone;
    if (std::to_string(zone) != TrimSpaces(Fields.Text[fZone])) {
        Fields.Text[fZone] = std::to_string(zone);
        host_->MarkChildDirty(1);
    }
    MarkDirty({2, 7});
}

void TQsoEntry::PreviewCall(const std::string& call, TDayNumber date)
{
    if (mode_ != emRealTime || !TrimSpaces(Fields.Text[fCall]).empty())
        return;
    TQsoRecord look;
    look.Call.assign(UpperAscii(call).substr(0, 12));
    look.Date = date;
    QsoLookup().LookupCall(look);
    TCountryRecord c;
    if (look.Country && GetCountry(look.Country, c)) {
        Fields.Text[fPrefix] = c.Prefix;
        Fields.CountryText = "SPOT: " + c.Name.substr(0, 34);
        Fields.Text[fZone] = std::to_string(look.Zone);
        MarkDirty({0, 7, 1});
    } else {
        Fields.CountryText.clear();
        Fields.Text[fPrefix].clear();
        Fields.Text[fZone].clear();
    }
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

bool TQsoEntry::AppendToNote(int field, char key)
{
    if (field != fNote && field != fCallNotes)
        return false;
    std::string add;
    if (key == 'D')
        add = FormatDayNumber(DayOf(Fields.Date));
    else if (key == 'R' && RadioAttached())
        add = radio_->FrequencyText();
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
    if (clearTemplate) {
        FreeNote(template_.Note);
        template_ = TQsoRecord();
        template_.Time = -1;
    }
    blankItems_ = true;
    ShowRecord(template_);
    Fields.Time = template_.Time;
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

void TQsoEntry::ClearSearch()
{
    search_.Clear();
    search_.OutsideFilter = nullptr;
}

void TQsoEntry::CompileFilter()
{
    search_.OutsideFilter = nullptr;
    FreeNote(template_.Note);
    BuildRecord(template_);
    template_.Time = Fields.Time;
    FreeNote(template_.Note);
    template_.Note = nullptr;
    ClearSearch();
    search_.CallMethod = Config.CallSearchMethod();
    search_.DateMethod = Config.DateSearchMethod();
    const auto& T = Fields.Text;
    const auto& S = Fields.Sel;
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
            TDayNumber d = DayOf(f == fDate ? Fields.Date : Fields.QslDate);
            make = d != 0;
            c.Value = d == marker ? 0 : d;
            break;
        }
        case skTime:
            make = Fields.Time >= 0;
            c.Value = static_cast<std::uint32_t>(Fields.Time);
            break;
        case skFlag:
            make = S[f] != 0;
            c.Value = FlagOfField(f);
            c.Negate = S[f] == 2;
            break;
        case skAward: {
            const std::uint32_t m = AwardMaskOfField(f);
            make = S[f] != 0;
            c.Value = S[f] == 1 ? (m | (m * 2)) : S[f] == 2 ? m : m * 2;
            c.Negate = S[f] == 1;
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
            c.Pattern = S[f] == 1 ? std::string() : SelectedAwardId();
            break;
        case skCustAwdVal: {
            if (f == fAwdSel)  // one condition for the value, from whichever control is shown
                break;
            std::string v;
            if (Fields.AwdValVisible) {
                v = TrimSpaces(T[fAwdVal]);
            } else if (Fields.AwdSelVisible) {
                TQsoRecord tmp;
                TakeAwardFields(tmp);
                v = tmp.CustAwdVal.str();
            }
            make = !v.empty();
            c.Field = static_cast<std::uint8_t>(Fields.AwdValVisible ? fAwdVal : fAwdSel);
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
    // The date range is asked once, here, so that counting and painting never ask.
    if (search_.DateMethod == 3) {
        for (auto& c : search_.Conditions) {
            if (c.Kind != skQsoDate)
                continue;
            TDayNumber start = static_cast<TDayNumber>(c.Value);
            TDayNumber end = lastRangeEnd_ ? lastRangeEnd_ : start;
            host_->AskDateRange(start, end);
            c.Value = start;
            search_.RangeEnd = end;
            lastRangeEnd_ = end;
        }
    }
}

void TQsoEntry::SearchFor(const std::string& expression, int modeGroup)
{
    CompileFilter();
    if (!expression.empty()) {
        TSearchCondition c;
        c.Kind = skWpx;
        c.Pattern = expression;
        search_.Add(c);
    }
    if (modeGroup != 0) {
        TSearchCondition c;
        c.Kind = skModeGroup;
        c.Value = static_cast<std::uint32_t>(modeGroup);
        search_.Add(c);
    }
    LeaveSearchItems();
    Fields.ClearModified();
    mode_ = emBrowse;
    previous_ = current_;
    current_ = 0;
    const bool none = StepView(true) == 1;
    host_->LogListChanged(true);
    if (none) {
        MessageDlg("No matching QSO found", TMsgDlgType::mtInformation, mbOK);
        return;
    }
    ShowCurrent();
}

bool TQsoEntry::MatchesSearch(const TQsoRecord& rec) const { return search_.Matches(rec, log_); }

int TQsoEntry::RecordState(int index) const
{
    const TQsoRecord* r = ViewAt(index);
    if (!r)
        return 1;
    if (!log_->InSelection(*r) || (mode_ == emBrowse && !MatchesSearch(*r)))
        return 2;
    return 0;
}

int TQsoEntry::CurrentRecordState() const { return RecordState(current_); }

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
    host_->ShowLogScrollBar(true, std::max(0, log_->Count() - 1), current_);
}

void TQsoEntry::SetExternalFilter(std::function<bool(const TQsoRecord&)> filter)
{
    const bool on = static_cast<bool>(filter);
    search_.OutsideFilter = std::move(filter);
    mode_ = on ? emBrowse : emIdle;
    host_->LogListChanged(true);
}

void TQsoEntry::CheckOtherQsos(int kind)
{
    const auto& T = Fields.Text;
    std::string state = UpperAscii(TrimSpaces(T[fState])), county = TrimSpaces(T[fCnty]), id = SelectedAwardId(), value;
    if (kind == 2 || kind == 3) {
        TQsoRecord r;
        TakeAwardFields(r);
        value = kind == 3 ? TrimSpaces(T[fAwdVal]) : r.CustAwdVal.str();
    }
    const bool noKey = kind == 0 ? (state.empty() || county.empty()) : kind == 1 ? id.empty() : (id.empty() || value.empty());
    if (noKey) {
        MessageDlg("Not a valid search", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const std::uint8_t stateNo = StateNumber(state);
    const std::uint16_t countyNo = kind == 0 ? CountyNumber(state, county) : 0;
    auto statusOf = [](const TQsoRecord& q) -> int {
        if (q.RstRcvd == 0)
            return 0;
        if (q.HasFlag(qfQslReceived))
            return q.AwardFlags ? 4 : 3;
        if (q.QslSentDate)
            return q.Date >= Config.QslSentCutoff() ? 2 : 0;
        return q.Date >= Config.WorkedCutoff() ? 1 : 0;
    };
    const TQsoRecord* best = nullptr;
    int bestStatus = 0;
    for (const TQsoRecord* q : log_->Qsos()) {
        if (!log_->InSelection(*q))
            continue;
        bool same = kind == 0 ? (q->State == stateNo && q->County == countyNo)
                              : kind == 1 ? q->CustAwdId == id : (q->CustAwdId == id && q->CustAwdVal == value);
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
    static const char* const names[] = {"Not worked", "Worked", "QSL sent", "Confirmed"};
    MessageDlg(best->Call.str() + "\r" + FormatDayNumber(best->Date) + "\r" + SecondsToHHMM(best->Time) + "\r" +
                   BandName(best->Band) + "\r" + names[std::min(bestStatus, 3)],
               TMsgDlgType::mtInformation, mbOK);
}

// ---- custom awards ----

void TQsoEntry::FillAwardTypes(const std::string& id, const std::string& value)
{
    const bool search = mode_ == emSearch;
    const TCustAwardList& list = CustAwardList();
    std::vector<std::pair<std::string, std::string>> items;  // name, id
    const std::string prefix = UpperAscii(TrimSpaces(Fields.Text[fPrefix]));
    const int band = GetBand(), group = ModeGroup(GetMode());
    for (int i = 0; i < list.Count(); ++i) {
        const TCustAward& a = list.At(i);
        if (!search && (!a.HasPrefix(prefix) || band < 1 || band > 15 || !a.Bands[static_cast<std::size_t>(band)] ||
                        group < 1 || !a.Modes[static_cast<std::size_t>(group)]))
            continue;
        items.emplace_back(a.LongName, a.ID);
    }
    std::sort(items.begin(), items.end());
    awdNames_ = {"---"};
    awdIds_ = {""};
    for (auto& [name, aid] : items) {
        awdNames_.push_back(name);
        awdIds_.push_back(aid);
    }
    int sel = search ? 0 : 1;
    if (!search)
        for (std::size_t i = 1; i < awdIds_.size(); ++i)
            if (!id.empty() && awdIds_[i] == id)
                sel = static_cast<int>(i) + 1;
    Fields.Sel[fAwdType] = sel;
    const TCustAward* a = sel > 1 ? list.Find(awdIds_[static_cast<std::size_t>(sel - 1)]) : nullptr;
    Fields.AwdSelVisible = a && a->HasValueTable();
    Fields.AwdValVisible = a && !a->HasValueTable();
    ShowAwardValue(value);
    Fields.Modified[fAwdType] = Fields.EverModified[fAwdType] = false;
}

std::string TQsoEntry::SelectedAwardId() const
{
    const int sel = Fields.Sel[fAwdType];
    return sel > 1 && sel - 1 < static_cast<int>(awdIds_.size()) ? awdIds_[static_cast<std::size_t>(sel - 1)]
                                                                  : std::string();
}

void TQsoEntry::ShowAwardValue(const std::string& value)
{
    const TCustAward* a = CustAwardList().Find(SelectedAwardId());
    Fields.Text[fAwdSel].clear();
    Fields.Text[fAwdVal].clear();
    if (a && a->HasValueTable()) {
        const auto& vals = a->Values();
        if (!vals.empty() && (!value.empty() || mode_ != emSearch)) {
            std::string name = vals.front().second;
            for (const auto& [k, n] : vals)
                if (k == value)
                    name = n;
            Fields.Text[fAwdSel] = name;
        }
    } else if (a) {
        Fields.Text[fAwdVal] = value;
    }
    Fields.Modified[fAwdSel] = Fields.Modified[fAwdVal] = false;
}

void TQsoEntry::TakeAwardFields(TQsoRecord& rec) const
{
    const TCustAward* a = CustAwardList().Find(SelectedAwardId());
    if (!a) {
        rec.CustAwdId.clear();
        rec.CustAwdVal.clear();
        return;
    }
    rec.CustAwdId.assign(a->ID.substr(0, 4));
    std::string v = Fields.Text[fAwdVal];
    if (a->HasValueTable()) {
        const auto& vals = a->Values();
        v = vals.empty() ? std::string() : vals.front().first;
        for (const auto& [k, n] : vals)
            if (n == Fields.Text[fAwdSel])
                v = k;
    }
    rec.CustAwdVal.assign(TrimSpaces(v).substr(0, 8));
}

void TQsoEntry::RefreshAwardTypes()
{
    TQsoRecord r;
    TakeAwardFields(r);
    bool m1 = Fields.EverModified[fAwdType], m2 = Fields.EverModified[fAwdSel], m3 = Fields.EverModified[fAwdVal];
    FillAwardTypes(r.CustAwdId.str(), r.CustAwdVal.str());
    Fields.EverModified[fAwdType] = m1;
    Fields.EverModified[fAwdSel] = m2;
    Fields.EverModified[fAwdVal] = m3;
}

// ---- macros ----

std::string TQsoEntry::MacroExchangeText() const
{
    if (!Fields.Text[fRecvd].empty())
        return Fields.Text[fRecvd];
    std::string r = Fields.Text[fRstr];
    if (!r.empty() && r[0] == ' ')
        r.erase(0, 1);
    return r;
}

std::string TQsoEntry::MacroName() const
{
    std::string s = TrimSpaces(Fields.Text[fCallNotes]);
    std::size_t cut = s.find_first_of(" ,");
    if (cut != std::string::npos)
        s.resize(cut);
    for (char c : s)
        if (c != '-' && (c < 'A' || c > 'z'))
            return {};
    return s;
}

} // namespace korval
