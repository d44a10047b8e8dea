#pragma once
// The program's main window: a strip across the top of the screen with the menu, the status,
// disk and clock panels. It loads the configuration and the country database, opens and closes
// the log, runs the periodic work of its eight timer triggers and the idle handler, and takes
// requests from other windows and threads as posted window messages.
#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "logbook/log_hooks.h"
#include "logbook/main_form_code.h"
#include "app/main_form_rules.h"
#include "globe/windows/world_map.h"
#include "reference/windows/calendar_window.h"
#include "reference/windows/sun_windows.h"
#include "station/windows/set_radio_frequency.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;

namespace korval {

class TClusterTerminals;
class TOvcTimerPool;
class TOvcTickSource;
class TOvcTimerDriver;
class TIdleHook;
class TQsoData;
class TQSOForm;
class TChildWindows;
struct TQsoWindowServices;
class TSpotAnnouncer;
class TStationServices;

// The file dialogs the main window opens; tests answer them through SetFileDialogHandler.
enum class TFileDialogKind { NewLog, OpenLog, SaveLogAs, SaveRecoveredLog };
struct TFileDialogRequest {
    TFileDialogKind kind;
    std::string startFolder;
};
using TFileDialogHandler = std::function<std::optional<std::string>(const TFileDialogRequest&)>;
// Replaces the file dialogs (empty restores the Qt dialogs); returns the previous handler.
TFileDialogHandler SetFileDialogHandler(TFileDialogHandler handler);

// What the main window runs on; tests pass a clock and timer they drive by hand.
struct TMainFormEnv {
    std::vector<std::string> params;     // command-line parameters without the program name
    TOvcTickSource* tickSource = nullptr;
    TOvcTimerDriver* timerDriver = nullptr;
    std::string helpFile;                // the README, which stands in for the help file
};

class TMainForm : public QMainWindow, private TLogWindowHooks {
    Q_OBJECT
public:
    static constexpr int TriggerCount = 8;
    static constexpr int ChildSlotCount = 13;
    enum TTrigger { trClock = 0, trRadioPoll = 1, trScanner = 2, trAutoSave = 7 };

    // The create handler: configuration, lists, country database, command line.
    explicit TMainForm(TMainFormEnv env = {}, QWidget* parent = nullptr);
    // The destroy handler: frees what it loaded and saves the configuration.
    ~TMainForm() override;

    // False when the start-up must end (the country database could not be read).
    bool startupOk() const { return startupOk_; }

    // Components.
    QLabel* PanStatus;
    QLabel* PanDisk;
    QLabel* M_Time;
    QLabel* M_Nr;
    QScrollBar* SB;
    QAction *New1, *Open1, *Save1, *Saveas1, *Backup1, *Close1, *ImpExpfilters1, *Countries1, *IOTA1,
        *Labeldefinitions1, *QSLManagers1, *ManagerAddresses1, *Radios1, *ReportDefinitions1, *Calendar1, *Info1,
        *Preferences1, *PrintSetup1, *Exit1;
    QAction* Worldmap1;
    QMenu* Radio1;
    QAction *Panorama1, *Scanner1, *SetFrequency1, *FlipRadio1, *Ignoremodeinrealtime1;
    QAction *Contents1, *SearchforHelpOn1, *HowtoUseHelp1, *About1;
    TOvcTimerPool* MainTimerPool() const { return timerPool_.get(); }
    // The QSO window; it exists while a log is open.
    TQSOForm* QsoForm() const;

    // Menu commands.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Saveas1Click();
    void Backup1Click();
    void Close1Click();
    void Info1Click();
    void Calendar1Click();
    // The country editor, run modally; refused while a log is open.
    void Countries1Click();
    // The QSL-manager, IOTA and manager-address editors, run modally; OK saves the country file.
    void QSLManagers1Click();
    void IOTA1Click();
    void ManagerAddresses1Click();
    TFCalendar* CalendarWindow() const { return calendar_.data(); }
    void ImpExpfilters1Click();
    void PrintSetup1Click();
    // The setup window, modally; OK saves the configuration.
    void Preferences1Click();
    // Opens the sunrise and sunset window over the QSO window, or brings it up.
    void CountryInformation1Click();
    TCountryInfo* CountryInfoWindow() const;
    // The child windows of the QSO window, kept in thirteen slots.
    TChildWindows* ChildWindows() const { return children_.get(); }
    // Opens the world map or brings it up: the QSO window's world-map slot while there is a QSO
    // window, else a map of its own over the main window (one map either way).
    void Worldmap1Click();
    TWorldMap* WorldMapWindow() const;
    void About1Click();
    void Contents1Click();
    void SearchforHelpOn1Click();
    void HowtoUseHelp1Click();
    void Labeldefinitions1Click();
    void ReportDefinitions1Click();
    // The manager-address editor at a QSL manager's address (a new entry when it has none);
    // startModified: the address counts as changed from the start (text pasted into it).
    void EditManagerAddress(const std::string& call, bool startModified, QWidget* parent);

    // The radio: its definitions, its windows, starting and stopping it, and the poll that feeds
    // the QSO window in real-time entry.
    void Radios1Click();
    void Panorama1Click();
    void Scanner1Click();
    void SetFrequency1Click();
    void FlipRadio1Click();
    void Ignoremodeinrealtime1Click();
    // Frequency and mode to the QSO window; ask: read the radio (else its last values).
    void PollRadio(bool ask);
    TSetRadioFrequency* SetFrequencyWindow() const { return setFrequency_.data(); }

    bool CloseLog();
    void UpdateFileMenu();
    void UpdateUserLevelMenus();
    void UpdateRadioMenu();
    void UserMessage(int code);

    void StartTrigger(int index, std::uint32_t interval);
    void StopTrigger(int index);
    int TriggerHandle(int index) const { return triggers_[index]; }
    void StartAutoSaveCountdown();
    void StopAutoSaveCountdown() { StopTrigger(trAutoSave); }
    void AutoSave();
    void ClockTick();
    void AppIdle();

    bool autoSaveDue() const { return autoSaveDue_; }
    bool firstIdlePending() const { return firstIdle_; }
    const TCommandLine& commandLine() const { return commandLine_; }
    double lastBackupTime() const { return lastBackup_; }
    QString CaptionText() const;

    // Where the spot list queues spot announcements.
    TSpotAnnouncer* SpotAnnouncer() const;

    // The spot list's receiver of the "/S" text; until a spot list exists nothing receives it.
    std::function<void(const std::string&)> SpotArgumentReceiver;
    // The packet and RTTY terminals with their ports, the spot window and the talk window.
    TClusterTerminals* Terminals() const { return terminals_.get(); }

    // Posts WM_USER+2: code to be forwarded as WM_USER+3 to the target; an identical request
    // still waiting is not queued twice.
    void PostEx(std::intptr_t code, QObject* target);
    // A later start of the program asked for this window.
    void BringToFront();

signals:
    // The first idle time's work (opening the start log) is done.
    void firstIdleDone();
    // The window was closed: the program ends (whatever other window may still be up).
    void closed();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // TLogWindowHooks
    void ShowModified() override;
    void RestartAutoSave() override { StartAutoSaveCountdown(); }
    void StopAutoSave() override { StopAutoSaveCountdown(); }
    void BackupSoon() override;
    void BulkChange(bool running) override;
    void SetDiskPanel(const std::string& text) override;
    void ShowQsoWindow() override;
    void RefreshQsoWindow() override { ShowQsoWindow(); }

    void FormCreate();
    // The spot window follows the log: a logged or changed QSO, or the whole log.
    void SpotsFollowLog(bool full);
    // Frees the QSO window; it must go before the log it works on.
    void FreeQsoWindow();
    // What the QSO window's commands reach outside the logbook.
    TQsoWindowServices QsoWindowServices();
    void ShowLogCount();
    void FormShow();
    void FormDestroy();
    void BuildMenus();
    void TriggerHandler(int handle);
    void OpenStartLog();
    bool OpenLogFile(const std::string& name);
    void RefreshCaption();
    void SetDiskText(const QString& text, bool red);
    std::optional<std::string> AskFileName(TFileDialogKind kind, const std::string& startFolder);

    TMainFormEnv env_;
    std::unique_ptr<TOvcTimerPool> timerPool_;
    std::unique_ptr<TClusterTerminals> terminals_;
    TIdleHook* idle_ = nullptr;
    int triggers_[TriggerCount];
    TAutoSaveCountdown countdown_;
    TCommandLine commandLine_;
    bool startupOk_ = true;
    bool shown_ = false;
    bool closing_ = false;
    bool firstIdle_ = false;
    bool calendarCheck_ = false;
    bool radioPollDue_ = false;
    bool autoSaveDue_ = false;
    int bulkChanges_ = 0; // running imports and merges: no crash backup meanwhile
    double lastBackup_ = 0;
    QString lastMode_;
    std::vector<std::string> qslRoutes_;
    std::vector<std::string> satModes_;
    std::map<std::intptr_t, std::pair<std::intptr_t, QPointer<QObject>>> exPending_;
    std::intptr_t nextEx_ = 1;
    TLogWindowHooks* previousHooks_ = nullptr;
    QPointer<QWidget> qsoForm_;
    std::unique_ptr<TChildWindows> children_;
    QPointer<TFCalendar> calendar_;
    QPointer<TSetRadioFrequency> setFrequency_;
    TQsoData* qsoLog_ = nullptr;
    std::unique_ptr<TStationServices> station_;
};

// The main window of the run (null before it is created and after it is freed).
TMainForm* MainForm();

// Messages to the main window, safe from any thread.
// code: a TMainFormCode.
void PostToMainForm(int code);
void PostToMainFormEx(std::intptr_t value, QObject* target);
inline void NotifyRadioChanged() { PostToMainForm(mfRadioChanged); }

} // namespace korval
