#pragma once
// The QSO window's menu commands as data: each command's component name, menu, caption,
// shortcut (and the shortcut it moves to while the function keys are kept for the CW and RTTY
// macros), and the part of the program it needs. The Reports menu is a table of its own: the
// report each item opens and with which argument.
#include <string>
#include <vector>

namespace korval {

enum TQsoCommand : int {
    // QSO
    cmAddRealTime, cmAddOffline, cmUpdate, cmDelete, cmConfirmLabel, cmConfirmSwl,
    cmSetGroupNumber, cmSetConfirmed, cmSetUsaStates, cmSetQslDate, cmSetMode, cmDeleteQsos,
    // Search
    cmSearch, cmSearchOldFilter, cmCount, cmCancelFilter,
    // Browse
    cmFirst, cmPrevious, cmNext, cmLast, cmNextSorted, cmPreviousSorted,
    // Labels
    cmSetLabelFlags, cmClearPrintFlags, cmClearSequencedPrint, cmClearSwlLabels, cmPrintQslLabels,
    cmPrintLabelsInSequence, cmPrintSwlLabels, cmMarkForQsl, cmChangeQslRouting,
    // Log
    cmSelection, cmEditGroupNames, cmDisableFields, cmContestMode,
    // Reports (after the report submenus)
    cmChangeAwardFlags,
    // Window: the child windows in the order of their slots (TChildWindow), then the window size
    cmCountrySummary, cmZoneSummary, cmStateSummary, cmIotaSummary, cmSameCall, cmLogbook, cmLookupExtData,
    cmCountryInformation, cmGridSummary, cmMasterCalls, cmWorldMap, cmWpxSummary, cmPsk31,
    cmNextWindowSize,
    // Station
    cmShortPath, cmLongPath, cmStopRotator, cmRotatorParameters, cmCwKeyboard, cmSpecialKeys, cmAnnounceDx,
    cmSwitchToPacket,
    kQsoCommandCount
};

// The command of a child window's slot, and back (-1 for other commands).
constexpr TQsoCommand ChildWindowCommand(int index) { return static_cast<TQsoCommand>(cmCountrySummary + index); }
constexpr int ChildWindowOfCommand(int command)
{
    return command >= cmCountrySummary && command <= cmPsk31 ? command - cmCountrySummary : -1;
}

// What a command needs besides the QSO window itself.
enum TQsoFeature : int {
    qfOwn = 0,               // nothing: the QSO window does it
    qfQslMarking,            // confirming QSOs and SWL reports, the label queue
    qfLabelPrinting,         // the label print dialog
    qfQslDialogs,            // the QSL-marking and QSL-routing dialogs
    qfBulkEdits,             // changes over all selected QSOs
    qfBulkDialogs,           // the group-number and new-mode dialogs of the bulk edits
    qfSelectionDialog,
    qfGroupNamesDialog,
    qfDisabledFieldsDialog,
    qfContestDialog,
    qfReports,               // award reports, listings, submissions, the rate sheet
    qfAwardFlagsDialog,
    qfSummaryWindows,
    qfSameCallWindow,
    qfLogListWindow,
    qfCallsignLookupWindow,
    qfSunWindow,
    qfMasterCallsWindow,
    qfWorldMapWindow,
    qfPsk31Window,
    qfRotator,               // the rotator itself (turning and stopping)
    qfRotatorWindow,
    qfCwKeyboard,
    qfTerminals,             // the packet and RTTY terminals
};

struct TQsoCommandDef {
    TQsoCommand id;
    const char* name;        // the component name, also the action's object name
    const char* menu;        // "&QSO", or a submenu path "&QSO/Multiple QSOs operations"
    const char* caption;
    const char* key;         // portable key text ("F2", "Shift+F8"), empty for none
    const char* specialKey;  // the key while special keys are on; null: the same as key
    TQsoFeature feature;
    bool separatorBefore;    // (the first item of a submenu: before the submenu)
};

// Every command, in menu order.
const std::vector<TQsoCommandDef>& QsoCommands();
const TQsoCommandDef& QsoCommand(TQsoCommand id);

// The menu bar's menus, left to right.
const std::vector<const char*>& QsoTopMenus();
inline constexpr const char* kSortMenu = "S&ort";
inline constexpr const char* kReportsMenu = "&Reports";

// The reports of the Reports menu, each by its report class's name ("TCountryListing") and the
// one argument the class takes (a kind, the five-band flag, whether deleted countries or
// prefixes count).
struct TReportEntry {
    const char* menu;         // the submenu of the Reports menu
    const char* caption;
    const char* reportClass;
    int argument;
};

const std::vector<TReportEntry>& ReportEntries();

} // namespace korval
