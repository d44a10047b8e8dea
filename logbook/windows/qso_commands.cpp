#include "logbook/windows/qso_commands.h"

#include <stdexcept>

namespace korval {

namespace {

constexpr const char* kQso = "&QSO";
constexpr const char* kBulk = "&QSO/Multiple QSOs operations";
constexpr const char* kSearch = "&Search";
constexpr const char* kBrowse = "&Browse";
constexpr const char* kLabels = "&Labels";
constexpr const char* kLog = "Lo&g";
constexpr const char* kWindow = "&Window";
constexpr const char* kStation = "S&tation";
constexpr const char* kRotator = "S&tation/Rotator";

} // namespace

const std::vector<TQsoCommandDef>& QsoCommands()
{
    static const std::vector<TQsoCommandDef> table = {
        {cmAddRealTime, "Addrealtime1", kQso, "Add Real-time", "Ctrl+R", nullptr, qfOwn, false},
        {cmAddOffline, "Addoffline1", kQso, "Add Off-line", "Ctrl+O", nullptr, qfOwn, false},
        {cmUpdate, "Update2", kQso, "Update QSO", "Ctrl+U", nullptr, qfOwn, true},
        {cmDelete, "Delete2", kQso, "Delete QSO", "", nullptr, qfOwn, false},
        {cmConfirmLabel, "ConfirmLabel1", kQso, "Confirm/Label", "F2", "Shift+F2", qfQslMarking, true},
        {cmConfirmSwl, "ConfirmSWL1", kQso, "Confirm SWL", "", nullptr, qfQslMarking, false},
        {cmSetGroupNumber, "SetGroupnumber2", kBulk, "Set Group number", "", nullptr, qfBulkDialogs, true},
        {cmSetConfirmed, "Setconfirmed1", kBulk, "Set confirmed", "", nullptr, qfBulkEdits, false},
        {cmSetUsaStates, "SetUSAstates1", kBulk, "Set USA states", "", nullptr, qfBulkEdits, false},
        {cmSetQslDate, "SetQSLDate1", kBulk, "Set QSL Date", "", nullptr, qfBulkEdits, false},
        {cmSetMode, "SetMode1", kBulk, "Set Mode", "", nullptr, qfBulkDialogs, false},
        {cmDeleteQsos, "DeleteQSOs1", kBulk, "Delete QSOs", "", nullptr, qfBulkEdits, true},

        {cmSearch, "Search2", kSearch, "Search", "F8", "Shift+F8", qfOwn, false},
        {cmSearchOldFilter, "SearchOldFilter1", kSearch, "Search Using Old Filter", "Shift+F8", "Ctrl+F8", qfOwn,
         false},
        {cmCount, "Count2", kSearch, "Count", "", nullptr, qfOwn, true},
        {cmCancelFilter, "Cancelfilter1", kSearch, "Cancel Filter", "", nullptr, qfOwn, false},

        {cmFirst, "First1", kBrowse, "First", "Ctrl+Home", nullptr, qfOwn, false},
        {cmPrevious, "Previous1", kBrowse, "Previous", "PgUp", nullptr, qfOwn, false},
        {cmNext, "Next1", kBrowse, "Next", "PgDown", nullptr, qfOwn, false},
        {cmLast, "Last1", kBrowse, "Last", "Ctrl+End", nullptr, qfOwn, false},
        {cmNextSorted, "NextSorted1", kBrowse, "Next Sorted", "", nullptr, qfOwn, true},
        {cmPreviousSorted, "PreviousSorted1", kBrowse, "Previous Sorted", "", nullptr, qfOwn, false},

        {cmSetLabelFlags, "Setlabelflags1", kLabels, "Set Label Flags", "", nullptr, qfQslMarking, false},
        {cmClearPrintFlags, "ClearPrintFlags1", kLabels, "Clear Print Flags", "", nullptr, qfQslMarking, false},
        {cmClearSequencedPrint, "ClearSequencedPrint1", kLabels, "Clear Sequenced Print", "", nullptr, qfQslMarking,
         false},
        {cmClearSwlLabels, "ClearSWLlabels1", kLabels, "Clear SWL Labels", "", nullptr, qfQslMarking, false},
        {cmPrintQslLabels, "PrintQSLlabels1", kLabels, "Print QSL Labels", "", nullptr, qfLabelPrinting, true},
        {cmPrintLabelsInSequence, "PrintLabelsinSequence1", kLabels, "Print Labels in Sequence", "", nullptr,
         qfLabelPrinting, false},
        {cmPrintSwlLabels, "PrintSWLlabels1", kLabels, "Print SWL Labels", "", nullptr, qfLabelPrinting, false},
        {cmMarkForQsl, "MarkforQSL1", kLabels, "Mark for QSL", "", nullptr, qfQslDialogs, true},
        {cmChangeQslRouting, "ChangeQSLrouting1", kLabels, "Change QSL Routing", "", nullptr, qfQslDialogs, false},

        {cmSelection, "Selection1", kLog, "Selection", "", nullptr, qfSelectionDialog, false},
        {cmEditGroupNames, "EditGroupnames1", kLog, "Edit Group Names", "", nullptr, qfGroupNamesDialog, false},
        {cmDisableFields, "DisableFields1", kLog, "Disable Fields", "", nullptr, qfDisabledFieldsDialog, true},
        {cmContestMode, "ContestMode1", kLog, "Contest Mode", "", nullptr, qfContestDialog, false},

        {cmChangeAwardFlags, "Changeawardflags1", kReportsMenu, "Change Award Flags", "", nullptr, qfAwardFlagsDialog,
         true},

        {cmCountrySummary, "Country3", kWindow, "Country", "", nullptr, qfSummaryWindows, false},
        {cmZoneSummary, "Zone1", kWindow, "Zone", "", nullptr, qfSummaryWindows, false},
        {cmStateSummary, "State1", kWindow, "State", "", nullptr, qfSummaryWindows, false},
        {cmIotaSummary, "IOTA1", kWindow, "IOTA", "", nullptr, qfSummaryWindows, false},
        {cmGridSummary, "Grid1", kWindow, "Grid", "", nullptr, qfSummaryWindows, false},
        {cmWpxSummary, "WPX3", kWindow, "WPX", "", nullptr, qfSummaryWindows, false},
        {cmSameCall, "Call1", kWindow, "Same Call", "", nullptr, qfSameCallWindow, true},
        {cmLogbook, "Logbook2", kWindow, "Logbook", "", nullptr, qfLogListWindow, false},
        {cmLookupExtData, "LookupExtData1", kWindow, "Search External Data", "F3", "Shift+F3", qfCallsignLookupWindow,
         true},
        {cmCountryInformation, "CountryInformation1", kWindow, "SunRise/Set", "", nullptr, qfSunWindow, false},
        {cmMasterCalls, "MasterCalls1", kWindow, "Master Calls", "", nullptr, qfMasterCallsWindow, false},
        {cmWorldMap, "Worldmap1", kWindow, "World map", "", nullptr, qfWorldMapWindow, false},
        {cmPsk31, "PSK311", kWindow, "PSK31", "", nullptr, qfPsk31Window, false},
        {cmNextWindowSize, "Nextwindowsize1", kWindow, "Next Window Size", "F5", "Shift+F5", qfOwn, true},

        {cmShortPath, "ShortPath1", kRotator, "Short Path", "", nullptr, qfRotator, false},
        {cmLongPath, "LongPath1", kRotator, "Long Path", "", nullptr, qfRotator, false},
        {cmStopRotator, "StopRotator1", kRotator, "Stop Rotator", "", nullptr, qfRotator, false},
        {cmRotatorParameters, "Parameters1", kRotator, "Parameters", "", nullptr, qfRotatorWindow, true},
        {cmCwKeyboard, "CWKeyboard1", kStation, "CW Keyboard", "", nullptr, qfCwKeyboard, true},
        {cmSpecialKeys, "SpecialKeysforCW1", kStation, "Special Keys CW/RTTY", "", nullptr, qfOwn, false},
        {cmAnnounceDx, "AnnounceDX1", kStation, "Announce DX", "", nullptr, qfTerminals, true},
        {cmSwitchToPacket, "Switchtopacket1", kStation, "Switch to packet", "", nullptr, qfTerminals, false},
    };
    return table;
}

const TQsoCommandDef& QsoCommand(TQsoCommand id)
{
    for (const auto& c : QsoCommands())
        if (c.id == id)
            return c;
    throw std::out_of_range("QSO window command " + std::to_string(static_cast<int>(id)));
}

const std::vector<const char*>& QsoTopMenus()
{
    static const std::vector<const char*> menus = {kQso,    kSearch,      kBrowse,  kSortMenu, kLabels,
                                                   kLog,    kReportsMenu, kWindow,  kStation};
    return menus;
}

const std::vector<TReportEntry>& ReportEntries()
{
    static const std::vector<TReportEntry> table = {
        {"DXCC", "Listing", "TCountryListing", 0},
        {"DXCC", "Listing (include deleted)", "TCountryListing", 1},
        {"DXCC", "Needed Listing", "TCountryNeededListing", 0},
        {"DXCC", "Summary", "TCountrySummaryReport", 0},
        {"DXCC", "Summary (include deleted)", "TCountrySummaryReport", 1},
        {"DXCC", "Submission", "TDXCCReport", 0},
        {"DXCC", "Five Band Submission", "TDXCCReport", 1},
        {"WAS", "Listing", "TStateListing", 0},
        {"WAS", "Summary", "TStateSummaryReport", 0},
        {"WAS", "Submission", "TWASReport", 0},
        {"WAS", "Five Band Submission", "TWASReport", 1},
        {"WAZ", "Listing", "TZoneListing", 0},
        {"WAZ", "Summary", "TZoneSummaryReport", 0},
        {"WAZ", "Submission", "TWAZReport", 0},
        {"WAZ", "Five Band Submission", "TWAZReport", 1},
        {"IOTA", "Listing Worked", "TIOTAReport", 0},
        {"IOTA", "Listing", "TIOTAReport", 1},
        {"IOTA", "Band Summary", "TIOTAReport", 2},
        {"IOTA", "Mode Summary", "TIOTAReport", 3},
        {"IOTA", "Submission", "TIOTAReport", 4},
        {"IOTA", "Band Listing", "TIOTAReport", 5},
        {"IOTA", "Mode Listing", "TIOTAReport", 6},
        {"IOTA", "Needed Listing", "TIOTAReport", 7},
        {"WPX", "Listing", "TWPXListing", 0},
        {"WPX", "Summary", "TWPXSummaryReport", 1},
        {"WPX", "Summary (Honor Roll)", "TWPXSummaryReport", 0},
        {"WPX", "Submission", "TWPXSubmission", 0},
        {"Counties", "Listing Worked", "TCountyReport", 0},
        {"Counties", "Listing", "TCountyReport", 1},
        {"Counties", "Band Listing", "TCountyReport", 5},
        {"Counties", "Mode Listing", "TCountyReport", 6},
        {"Counties", "Band Summary", "TCountyReport", 2},
        {"Counties", "Mode Summary", "TCountyReport", 3},
        {"Counties", "Submission", "TCountyReport", 4},
        {"VUCC", "Listing", "TVUCCReport", 0},
        {"VUCC", "Band Listing", "TVUCCReport", 5},
        {"VUCC", "Mode Listing", "TVUCCReport", 6},
        {"VUCC", "Band Summary", "TVUCCReport", 2},
        {"VUCC", "Mode Summary", "TVUCCReport", 3},
        {"VUCC", "Submission", "TVUCCReport", 4},
        {"Custom", "Listing", "TCustomReport", 1},
        {"Custom", "Listing Worked", "TCustomReport", 0},
        {"Custom", "Needed Listing", "TCustomReport", 7},
        {"Custom", "Band Listing", "TCustomReport", 5},
        {"Custom", "Mode Listing", "TCustomReport", 6},
        {"Custom", "Band Summary", "TCustomReport", 2},
        {"Custom", "Mode Summary", "TCustomReport", 3},
        {"Custom", "Submission", "TCustomReport", 4},
        {"Contest", "Rate Sheet", "TRateReport", 0},
    };
    return table;
}

} // namespace korval
