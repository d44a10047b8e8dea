#pragma once
// TQSOForm: the window in which the operator adds, edits, browses and searches the QSOs of the
// open logbook. A thin Qt layer over TQsoEntry: it copies its controls into the engine's field
// slots, runs the engine operation for a key, an exit or a command, and shows the slots again.
//
// The main window creates it with the logbook once a log is open and feeds it the clock
// (ClockUpdate, once a second) and the radio (RadioUpdate, from its radio poll). Its menus are
// built from the command table (qso_commands.h); what they open outside the logbook comes
// through TQsoWindowServices, the child windows through the main window's slots
// (child_windows.h).
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "logbook/qso_entry.h"
#include "logbook/sort_orders.h"
#include "logbook/windows/child_windows.h"
#include "logbook/windows/qso_commands.h"
#include "logbook/windows/qso_window_services.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenuBar;

namespace korval {

class TOvcController;
class TOvcBaseEntryField;
class TWheelx;

class TQSOForm : public QWidget, private TQsoEntryHost {
    Q_OBJECT
public:
    // log must outlive the window; the country database is the program's (CountryDb).
    explicit TQSOForm(TQsoData* log, QWidget* parent = nullptr);
    ~TQSOForm() override;

    TQsoEntry& Entry() { return *entry_; }
    int EntryMode() const { return entry_->EntryMode(); }

    // ---- what the main window calls ----
    void ClockUpdate(TDayNumber date, std::int32_t seconds);
    void RadioUpdate(int mode, double kHz);
    void SetRadio(TQsoRadio* radio) { entry_->SetRadio(radio); }
    void SetIgnoreModeInRealTime(bool on) { ignoreMode_ = on; }
    void RadioStateChanged();
    void SetSortOrder(int order);
    // The main window's log scroll bar: codes 0 line up, 1 line down, 2 page up, 3 page down,
    // 5 to position, 6 first, 7 last; position comes back as the index shown.
    void ScrollTo(int code, int& position);
    // Tells the log scroll bar's state again (to a main window that connects after the start).
    void ResendLogScrollBar() { emit logScrollBarChanged(scrollBar_.visible, scrollBar_.max, scrollBar_.position); }
    // Re-applies the configured date and time pictures, keeping the values.
    void ApplyDateFormats();
    // Asks the operator about an unfinished entry before the log closes; false keeps it.
    bool FinishEntry();
    void Addrealtime1Click();
    void Addoffline1Click();
    // The caption of a field's control ("Prefix", "RST sent" ...).
    static const char* FieldCaption(int field);
    // Disable Fields: the fields the Tab key skips; the tab stops follow an OK at once.
    void DisableFields1Click();
    // Ctrl+E in a note field: its lines in the note editor.
    void EditNote(int field);
    // Ctrl+E in the QSL-manager field: the manager's address in the address editor; with
    // startModified it starts as changed, the caret at the end.
    void EditManagerAddress(bool startModified);
    // A logged QSO chosen in another window (the log list, the same-call window): once the
    // entry may be left, the window shows it and takes the focus. False when it could not.
    bool ShowQso(const TQsoRecord* rec);
    // A spot shown in the empty real-time entry (its call's country and zone), and a real-time
    // QSO started from a spot (call, mode and band).
    void PreviewSpot(const std::string& call, TDayNumber date);
    void StartQsoFromSpot(const std::string& call, int mode, int band);
    // Runs fn on the entry engine between reading the controls and showing them again: how
    // another window (a report's double-click) fills the search fields and starts a search.
    void RunOnEntry(const std::function<void(TQsoEntry&)>& fn);

    // ---- commands ----
    using TCommand = TQsoCommand;
    using enum TQsoCommand;
    QAction* Action(TQsoCommand c) const { return actions_[c]; }
    // Runs a command as its menu item does; a command without its handler or service raises.
    void RunCommand(TQsoCommand c);
    // Replaces what a command does (for commands whose window lives outside the logbook).
    void SetCommandHandler(TQsoCommand c, std::function<void()> handler);
    // Enables or disables a command of the menus.
    void EnableCommand(TQsoCommand c, bool on);
    // The menus follow what the services find (the terminals may already be open).
    void SetServices(TQsoWindowServices services)
    {
        services_ = std::move(services);
        UpdateMenus(0);
    }
    TQsoWindowServices& Services() { return services_; }
    // The Reports menu's items, in the order of ReportEntries().
    QAction* ReportAction(int entry) const { return reportActions_[static_cast<std::size_t>(entry)]; }

    // Opens the child window of a slot (TChildWindow) or brings it up; the callsign lookup
    // window (cwExternalData) needs a call first and beeps without one.
    void OpenChildWindow(int index);
    // The terminal, callbook and setup state changed (a TMainFormCode).
    void UpdateMenus(int code);
    // The rotator opened or closed: its three turning commands follow.
    void EnableRotatorMenu(bool enabled);
    // The heading the turning commands use, read back from the heading display.
    int RotatorHeading() const;
    void ShortPath1Click();
    void LongPath1Click();
    void StopRotator1Click();
    // Function keys F1..F8 go to the CW and RTTY macros; the window's own shortcuts move over.
    void SetSpecialKeys(bool on);
    bool SpecialKeys() const { return specialKeys_; }
    // Many QSOs changed behind the window (award flags, labels).
    void LogChanged(bool keepStatus);
    // How often the window has beeped (a refused command or move).
    int BeepCount() const { return beeps_; }

    // The Sort menu's item of a sort order.
    QAction* SortAction(int order) const { return sortActions_[static_cast<std::size_t>(order)]; }
    QMenuBar* MenuBar() const { return menuBar_; }

    // ---- controls, by field slot (tests and the main window reach them here) ----
    QWidget* Control(int field) const { return controls_[static_cast<std::size_t>(field)]; }
    TOvcBaseEntryField* Field(int field) const;
    TWheelx* Wheel(int field) const;
    static void ShowBand(TWheelx& box, int band);
    TOvcBaseEntryField* CountryDisplay() const { return country_; }
    TOvcBaseEntryField* HeadingDisplay() const { return dirDist_; }

    void Nextwindowsize1Click();
    // The window's six heights, 0 the smallest (the call row alone), 5 every row.
    static constexpr int kWindowSizeCount = 6;
    static constexpr int kLargestWindowSize = kWindowSizeCount - 1;
    int WindowSize() const { return windowSize_; }

signals:
    void postToMainForm(int code);
    void logChanged(bool full);
    void serialNumberChanged(bool visible, unsigned number);
    void logScrollBarChanged(bool visible, int max, int position);
    // A fresh real-time entry wants the radio's band and mode at once.
    void pollRadioNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // TQsoEntryHost
    bool IgnoreModeInRealTime() const override { return ignoreMode_; }
    void PollRadioNow() override { emit pollRadioNow(); }
    void AskDateRange(TDayNumber& start, TDayNumber& end) override;
    int ShowPicklist(const std::string& caption, const TTwoIndex& list, int first) override;
    void MarkChildDirty(int slot) override { MarkChildWindowDirty(slot); }
    void PostToMainForm(int code) override { emit postToMainForm(code); }
    void Beep() override;
    void ShowSerialNumber(bool visible, unsigned number) override { emit serialNumberChanged(visible, number); }
    void LogListChanged(bool full) override { emit logChanged(full); }
    void FocusField(int field) override;
    bool FieldHasFocus(int field) const override;
    void EnableEditCommands(bool on) override;
    void ShowLogScrollBar(bool visible, int max, int position) override
    {
        scrollBar_ = {visible, max, position};
        emit logScrollBarChanged(visible, max, position);
    }

    void BuildControls();
    void BuildActions();
    void BuildMenus();
    void ConnectCommands();
    // The keys the window itself takes (function keys, help, Ctrl+Tab, Shift+F12); true when
    // the key was used.
    bool FormKeyDown(QKeyEvent* k);
    // Moves the focus to the next (previous) control that can take it, wrapping.
    void CycleFocus(bool forward);
    void ReopenChildWindows();
    void Selection1Click();
    void SizeDisplays();
    void FillChoiceItems();
    void ApplyTabStops();
    void ApplyWindowSize();
    int SizeHeight(int size) const;
    // The window size whose height lies nearest to height.
    int NearestSize(int height) const;
    // A date or time field holding text it cannot read as one: it keeps the text until the
    // operator mends it.
    bool Unreadable(int field) const;
    // Shows the error of the first unreadable date or time field and puts the focus there.
    bool RefuseUnreadable();
    // Widgets -> engine slots, and back.
    void Pull();
    void Push();
    // Runs an engine operation between Pull and Push.
    template <typename Fn>
    void Run(Fn fn);
    void FieldExit(int field);
    void FieldEnter(int field);

    std::unique_ptr<TQsoEntry> entry_;
    TOvcController* controller_ = nullptr;
    std::array<QWidget*, kQsoFieldCount> controls_{};
    std::array<QLabel*, kQsoFieldCount> labels_{};
    TOvcBaseEntryField* country_ = nullptr;
    TOvcBaseEntryField* dirDist_ = nullptr;
    std::array<QAction*, kQsoCommandCount> actions_{};
    std::array<std::function<void()>, kQsoCommandCount> handlers_{};
    std::vector<QAction*> reportActions_;
    TQsoWindowServices services_;
    std::array<QAction*, kSortOrderCount> sortActions_{};
    QMenuBar* menuBar_ = nullptr;
    int top_ = 0;  // the controls start below the menu bar
    struct {
        bool visible = false;
        int max = 0, position = 0;
    } scrollBar_;
    bool specialKeys_ = false;
    int shownMode_ = -1;
    int beeps_ = 0;
    bool ignoreMode_ = false;
    bool pushing_ = false;
    bool blankShown_ = false;
    bool started_ = false;
    bool sizing_ = false;
    int windowSize_ = kLargestWindowSize;
};

} // namespace korval
