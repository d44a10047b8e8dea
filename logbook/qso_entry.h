#pragma once
// The QSO-entry engine behind the QSO window: the five entry modes, the mapping between the
// window's fields and a TQsoRecord, defaults of a new entry, validation, posting, deletion,
// navigation over the view, the clock and radio feeds, contest support, callsign entry and the
// search by example. No widgets: the window copies its controls into Fields, calls an operation
// and shows Fields again. Questions to the operator go through MessageDlg; everything else the
// engine needs of the windows around it goes through TQsoEntryHost.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logbook/base/day_number.h"
#include "logbook/qso_fields.h"
#include "logbook/qso_record.h"
#include "logbook/qso_search.h"
#include "logbook/text_macros.h"

namespace korval {

class TQsoData;
class TQsoIndex;

enum TEntryMode : int { emIdle = 0, emRealTime = 1, emOffline = 2, emSearch = 3, emBrowse = 4 };

// The radio as the QSO window sees it; the CAT engine implements it, tests use a double.
class TQsoRadio {
public:
    virtual ~TQsoRadio() = default;
    virtual bool Attached() const = 0;
    // The current frequency in the radio's own notation (for "$$" and Ctrl+R).
    virtual std::string FrequencyText() const = 0;
};

// What the engine tells or asks the windows around it. Every default does nothing.
class TQsoEntryHost {
public:
    virtual ~TQsoEntryHost() = default;
    virtual bool IgnoreModeInRealTime() const { return false; }
    virtual void PollRadioNow() {}
    // The date-range dialog: shows start and end and leaves them as the operator left them.
    virtual void AskDateRange(TDayNumber& start, TDayNumber& end) { (void)start; (void)end; }
    // Pick list over entries; the chosen position, below 0 when cancelled.
    virtual int ShowPicklist(const std::string& caption, const std::vector<std::string>& entries, int first)
    {
        (void)caption; (void)entries; (void)first;
        return -1;
    }
    virtual void MarkChildDirty(int slot) { (void)slot; }
    virtual void PostToMainForm(int code) { (void)code; }
    virtual void Beep() {}
    virtual void ShowSerialNumber(bool visible, unsigned number) { (void)visible; (void)number; }
    // The log changed: a full refresh of the log list, or just one QSO added or updated.
    virtual void LogListChanged(bool full) { (void)full; }
    virtual void FocusField(int field) { (void)field; }
    virtual bool FieldHasFocus(int field) const { (void)field; return false; }
    // The commands that only exist outside add modes (Delete, Update, Confirm ...).
    virtual void EnableEditCommands(bool on) { (void)on; }
    virtual void ShowLogScrollBar(bool visible, int max, int position) { (void)visible; (void)max; (void)position; }
};

class TQsoEntry {
public:
    // log and host must outlive the engine; radio may be null (no radio attached).
    TQsoEntry(TQsoData* log, TQsoEntryHost* host = nullptr, TQsoRadio* radio = nullptr);
    ~TQsoEntry();
    TQsoEntry(const TQsoEntry&) = delete;
    TQsoEntry& operator=(const TQsoEntry&) = delete;

    TQsoFields Fields;

    TQsoData* Log() const { return log_; }
    int EntryMode() const { return mode_; }
    int CurrentIndex() const { return current_; }
    bool ClockFollows() const { return clockFollow_; }
    std::int32_t StoredTime() const { return storedTime_; }
    void SetRadio(TQsoRadio* radio) { radio_ = radio; }
    bool RadioAttached() const { return radio_ && radio_->Attached(); }
    // Band and mode boxes enabled (real-time entry with a radio locks them).
    bool BandBoxEnabled() const { return bandEnabled_; }
    bool ModeBoxEnabled() const { return modeEnabled_; }

    // The window is shown: indexes 0, mode 0, date order, search cleared, the last QSO shown
    // (an empty log starts an off-line entry).
    void Start();

    // ---- view ----
    int ViewCount() const;
    TQsoRecord* ViewAt(int i) const;
    int SortOrder() const { return sortOrder_; }
    void SetSortOrder(int order);

    // ---- modes and entry ----
    void Addrealtime();
    void Addoffline();
    void NewEntry(bool fresh);
    void ClockUpdate(TDayNumber date, std::int32_t seconds);
    void EnterDateOrTimeField() { clockFollow_ = false; }
    void RadioUpdate(int mode, double kHz);
    void SetBand(int band);
    void SetMode(int mode);
    int GetBand() const { return Fields.Sel[fBand]; }
    int GetMode() const { return Fields.Sel[fMode]; }
    void EnterKey();
    void EscapeKey();

    // ---- record mapping ----
    void BuildRecord(TQsoRecord& rec) const;
    void ShowRecord(const TQsoRecord& rec);

    // ---- posting ----
    bool ValidateEntry();
    bool LogWithExchange();
    bool AddQso(const std::string& exchange = {});
    // Re-assigns later QSOs of the record's call when the operator overrode country or zone
    // in this edit; returns how many QSOs were rewritten.
    int ReassignLaterQsos(const TQsoRecord& rec);
    int LastReassignCount() const { return lastReassigned_; }
    bool UpdateQso(std::uint16_t sequence);
    void Update2Click();
    void AskSaveEdit();
    bool FinishEntry();
    void ResetEntry();
    void Delete2Click();

    // ---- navigation ----
    void First();
    void Last();
    void Next();
    void Previous();
    void NextSorted(bool forward);
    // 1 when the move ran off the view (the previous index is restored).
    int StepView(bool forward);
    void ScrollTo(int code, int& position);
    void ShowCurrent();

    // ---- contest ----
    void CheckDupe();
    void ShowSerialNumber();

    // ---- callsign entry ----
    void CallChange();
    void CallExit();
    bool CallEntered();
    void ShowCountryFields(std::uint16_t country);
    void ShowHeading();
    void DateExit();
    void PrefixExit();
    void StateExit();
    void PreviewCall(const std::string& call, TDayNumber date);
    // A real-time entry started from a spot: call, mode and band from it, then CallEntered;
    // the RST-sent field gets the focus.
    void StartQsoFromSpot(const std::string& call, int mode, int band);
    // Ctrl+D and Ctrl+R in the note fields (fCallNotes, fNote): a blank when the field is not
    // empty, then the entry's date or the radio's frequency. False when nothing was added.
    bool AppendToNote(int field, char key);
    double HeadingLongitude() const { return headLon_; }
    double HeadingLatitude() const { return headLat_; }

    // ---- search and filter ----
    void BeginSearch(bool clearTemplate);
    void SearchFor(const std::string& expression, int modeGroup);
    void CompileFilter();
    bool MatchesSearch(const TQsoRecord& rec) const;
    int CurrentRecordState() const;
    int RecordState(int index) const;
    long CountSelected();
    void Count2Click();
    void CancelFilter();
    void SetExternalFilter(std::function<bool(const TQsoRecord&)> filter);
    void ClearSearch();
    // "Check other QSOs": kind 0 state and county, 1 custom award, 2 award and listed value,
    // 3 award and typed value; shows the best-placed QSO with the same key.
    void CheckOtherQsos(int kind);
    const TQsoSearch& Search() const { return search_; }
    // Choice boxes carry a blank first item while this is true.
    bool BlankItems() const { return blankItems_; }

    // ---- custom awards ----
    void FillAwardTypes(const std::string& id, const std::string& value);
    void RefreshAwardTypes();
    void TakeAwardFields(TQsoRecord& rec) const;
    void ShowAwardValue(const std::string& value);
    // The award box's items after the blank one (item 1 "---", then award names).
    const std::vector<std::string>& AwardTypeItems() const { return awdNames_; }
    std::string SelectedAwardId() const;

    // ---- field checks and pick lists (qso_validators.cpp) ----
    // The user validation of a field: 0, 256 (out of range) or 32769 (unknown value). Nothing
    // is checked in search mode except the prefix rule.
    int ValidateField(int field);
    // The error handler: the message, or the pick list that answers the refused value.
    void FieldError(int field, int code);
    void ShowCountries();
    void ShowStates();
    void ShowCounties();
    void ShowIotaListing();
    void ShowGroupNames();
    void GridExit();
    void ZoneExit();
    void IotaExit();

    // ---- macros ----
    std::string MacroExchangeText() const;
    std::string MacroName() const;

private:
    void ApplyEntryDefaults(TQsoRecord& tmpl, bool fresh);
    void ApplyTabStops();
    int ReassignLaterQsos(const TQsoRecord& rec, const TQsoRecord* self);
    void ClearLookupFields();
    void MarkDirty(std::initializer_list<int> slots);
    void SetCurrentFromRecord(const TQsoRecord* rec);
    bool ActiveSelection() const;
    void LeaveSearchItems();
    std::string ExchangeFromConfig(bool realTime) const;

    TQsoData* log_;
    TQsoEntryHost* host_;
    TQsoRadio* radio_;
    int mode_ = emIdle;
    int current_ = 0;
    int previous_ = 0;
    bool clockFollow_ = false;
    std::int32_t storedTime_ = 0;
    bool bandEnabled_ = true;
    bool modeEnabled_ = true;
    bool blankItems_ = false;
    int sortOrder_ = 4;
    TQsoIndex* view_ = nullptr;   // null: the log in date order
    TQsoRecord template_;
    TQsoSearch search_;
    TDayNumber lastRangeEnd_ = 0;
    int lastReassigned_ = 0;
    double headLon_ = 0, headLat_ = 0;
    std::vector<std::string> awdIds_;    // parallel to awdNames_
    std::vector<std::string> awdNames_;
};

// The macro escapes read the QSO window through this.
class TQsoMacroContext : public TMacroContext {
public:
    explicit TQsoMacroContext(TQsoEntry* entry) : entry_(entry) {}
    bool HasQsoWindow() const override { return entry_ != nullptr; }
    std::string CallField() const override { return entry_ ? entry_->Fields.Text[fCall] : std::string(); }
    std::string RstSentField() const override { return entry_ ? entry_->Fields.Text[fRsts] : std::string(); }
    std::string RstRcvdField() const override { return entry_ ? entry_->Fields.Text[fRstr] : std::string(); }
    std::string ExchangeText() const override { return entry_ ? entry_->MacroExchangeText() : std::string(); }
    std::string Name() const override { return entry_ ? entry_->MacroName() : std::string(); }
    bool RealTimeEntry() const override { return entry_ && entry_->EntryMode() == emRealTime; }
    void LogWithExchange() override
    {
        if (entry_)
            entry_->LogWithExchange();
    }

private:
    TQsoEntry* entry_;
};

} // namespace korval
