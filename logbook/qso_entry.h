#pragma once
// The QSO-entry engine behind the QSO window: the five entry modes, the mapping between the
// window's fields and a TQsoRecord, defaults of a new entry, validation, posting, deletion,
// navigation over the view, the clock and radio feeds, contest support, callsign entry and the
// search by example. No widgets: the window copies its controls into Fields, calls an operation
// and shows Fields again. Questions to the operator go through MessageDlg; everything else the
// engine needs of the windows around it goes through TQsoEntryHost.
// The engine coordinates its parts: the view and its moves (TQsoNavigator), the search by
// example (TQsoFilter), the custom-award controls (TQsoAwardFields), the country and heading
// displays (TQsoLocation), the field checks with their pick lists (TQsoValidators), what a
// call, date, prefix or state fills in (TQsoCallEntry) and the contest's dupe check and
// exchange (TQsoContest).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logbook/base/day_number.h"
#include "logbook/entry_mode.h"
#include "logbook/qso_award_fields.h"
#include "logbook/qso_call_entry.h"
#include "logbook/qso_contest.h"
#include "logbook/qso_entry_host.h"
#include "logbook/qso_fields.h"
#include "logbook/qso_filter.h"
#include "logbook/qso_location.h"
#include "logbook/qso_navigator.h"
#include "logbook/qso_radio.h"
#include "logbook/qso_record.h"
#include "logbook/qso_search.h"
#include "logbook/qso_validators.h"

namespace korval {

class TQsoData;

// The key "Check other QSOs" compares: state and county, the custom award, the award and its
// value from the list, the award and its typed value.
enum TOtherQsosKey : int { okStateCounty = 0, okCustomAward = 1, okAwardListedValue = 2, okAwardTypedValue = 3 };

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
    int CurrentIndex() const { return nav_.Current(); }
    bool ClockFollows() const { return clockFollow_; }
    std::int32_t StoredTime() const { return storedTime_; }
    void SetRadio(TQsoRadio* radio) { radio_ = radio; }
    bool RadioAttached() const { return radio_ && radio_->Attached(); }
    // Band and mode boxes enabled (real-time entry with a radio locks them).
    bool BandBoxEnabled() const { return bandEnabled_; }
    bool ModeBoxEnabled() const { return modeEnabled_; }
    // The radio went: band and mode are the operator's to choose again.
    void EnableBandAndModeBoxes() { bandEnabled_ = modeEnabled_ = true; }

    // The window is shown: indexes 0, mode 0, date order, search cleared, the last QSO shown
    // (an empty log starts an off-line entry).
    void Start();

    // ---- view ----
    int ViewCount() const { return nav_.Count(); }
    TQsoRecord* ViewAt(int i) const { return nav_.At(i); }
    int SortOrder() const { return nav_.SortOrder(); }
    void SetSortOrder(int order) { nav_.SetSortOrder(order); }

    // ---- modes and entry ----
    void Addrealtime();
    void Addoffline();
    void NewEntry(bool fresh);
    void ClockUpdate(TDayNumber date, std::int32_t seconds);
    void EnterDateOrTimeField() { clockFollow_ = false; }
    void RadioUpdate(int mode, double kHz);
    // The radio started or stopped, or "Ignore Mode in real-time" changed: in real-time entry the
    // band box is locked to a running radio, and the mode box too unless the mode is ignored.
    void RadioStateChanged();
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
    // The selection dialog chose another selection: the view starts again from its first QSO in
    // the selection and the award status follows; stored selections that changed mark the log.
    void RefreshAfterSelection(bool selectionsChanged);

    // ---- navigation ----
    void First();
    void Last();
    void Next();
    void Previous();
    void NextSorted(bool forward);
    // 1 when the move ran off the view (the previous index is restored).
    int StepView(bool forward) { return nav_.Step(forward) ? 0 : 1; }
    // code: a TScrollCode of the log scroll bar; position: the thumb's, and where the view is after.
    void ScrollTo(int code, int& position);
    void ShowCurrent();
    // Makes a logged QSO the current one and shows it; false (nothing changed) when the view
    // does not hold it.
    bool ShowQso(const TQsoRecord* rec);

    // ---- contest ----
    void CheckDupe();
    void ShowSerialNumber();

    // ---- callsign entry ----
    void CallChange();
    void CallExit();
    bool CallEntered();
    void ShowCountryFields(std::uint16_t country) { location_.ShowCountry(country); }
    void ShowHeading() { location_.ShowHeading(); }
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
    // What Ctrl+D ('D': the entry's date) and Ctrl+R ('R': the radio's frequency, when a radio
    // is attached) put into a note; empty when there is nothing.
    std::string NoteInsertText(char key) const;
    double HeadingLongitude() const { return location_.Longitude(); }
    double HeadingLatitude() const { return location_.Latitude(); }

    // ---- search and filter ----
    void BeginSearch(bool clearTemplate);
    void SearchFor(const std::string& expression, int modeGroup);
    void CompileFilter();
    bool MatchesSearch(const TQsoRecord& rec) const { return filter_.Matches(rec, log_); }
    // A TRecordState.
    int CurrentRecordState() const { return RecordState(CurrentIndex()); }
    int RecordState(int index) const { return nav_.RecordState(index); }
    long CountSelected();
    void Count2Click();
    void CancelFilter();
    void SetExternalFilter(std::function<bool(const TQsoRecord&)> filter);
    void ClearSearch() { filter_.Clear(); }
    // "Check other QSOs" by a TOtherQsosKey; shows the best-placed QSO with the same key.
    void CheckOtherQsos(int kind);
    const TQsoSearch& Search() const { return filter_.Search(); }
    // Choice boxes carry a blank first item while this is true.
    bool BlankItems() const { return blankItems_; }

    // ---- custom awards ----
    void FillAwardTypes(const std::string& id, const std::string& value) { awards_.Fill(id, value, Searching()); }
    void RefreshAwardTypes() { awards_.Refresh(Searching()); }
    void TakeAwardFields(TQsoRecord& rec) const { awards_.Take(rec); }
    void ShowAwardValue(const std::string& value) { awards_.ShowValue(value, Searching()); }
    // The award box's items after the blank one (item 1 "---", then award names).
    const std::vector<std::string>& AwardTypeItems() const { return awards_.Items(); }
    std::string SelectedAwardId() const { return awards_.SelectedId(); }

    // ---- field checks and pick lists ----
    // The user validation of a field: 0, oeRangeError or oeUnknownValue. Nothing is checked in
    // search mode except the prefix rule.
    int ValidateField(int field) { return validators_.ValidateField(field, Searching()); }
    // The error handler: the message, or the pick list that answers the refused value.
    void FieldError(int field, int code)
    {
        (void)code;
        validators_.FieldError(field, Searching());
    }
    void ShowCountries() { validators_.ShowCountries(Searching()); }
    void ShowStates() { validators_.ShowStates(); }
    void ShowCounties() { validators_.ShowCounties(); }
    void ShowIotaListing() { validators_.ShowIotaListing(); }
    void ShowGroupNames() { validators_.ShowGroupNames(); }
    void GridExit() { validators_.GridExit(Searching()); }
    void ZoneExit() { validators_.ZoneExit(); }
    void IotaExit() { validators_.IotaExit(); }

    // ---- after changes to many QSOs ----
    // QSOs were changed in place (or deleted): the orders are sorted again where they fell out
    // of step, the award status is rebuilt on its next use unless keepStatus (the change touched
    // nothing it counts), the log views are refreshed, the log is marked modified (unless
    // markModified is false: only what the log shows changed, as with another selection), and a
    // shown logged QSO is shown again where it now stands.
    void LogChanged(bool keepStatus, bool markModified = true);

private:
    // The QSL marking and the bulk edits work on the view and the entry as the window does.
    friend class TQslMarking;
    friend class TQsoBulkEdits;

    bool Searching() const { return mode_ == emSearch; }
    // After QSOs went or moved: an emptied log starts an off-line entry, else the current QSO
    // (kept within the view) is shown.
    void ShowWhereLeft();
    void ApplyEntryDefaults(TQsoRecord& tmpl, bool fresh);
    void ApplyTabStops();
    int ReassignLaterQsos(const TQsoRecord& rec, const TQsoRecord* self);
    bool ActiveSelection() const;
    void LeaveSearchItems();

    TQsoData* log_;
    TQsoEntryHost* host_;
    TQsoRadio* radio_;
    int mode_ = emIdle;
    bool clockFollow_ = false;
    std::int32_t storedTime_ = 0;
    bool bandEnabled_ = true;
    bool modeEnabled_ = true;
    bool blankItems_ = false;
    int lastReassigned_ = 0;
    TQsoNavigator nav_;
    TQsoFilter filter_;
    TQsoAwardFields awards_;
    TQsoLocation location_;
    TQsoValidators validators_;
    TQsoCallEntry callEntry_;
    TQsoContest contest_;
};

} // namespace korval
