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

// What is not part of Korval yet, and so keeps its commands disabled. Remove a line when its
// window or dialog arrives (and give its commands their handlers).
struct TNotBuilt {
    TQsoFeature feature;
    const char* what;
};
const TNotBuilt kNotBuilt[] = {
    {qfQslMarking, "QSL confirmation and the label queue"},
    {qfLabelPrinting, "label printing"},
    {qfQslDialogs, "the QSL-marking and QSL-routing dialogs"},
    {qfBulkEdits, "changes over all selected QSOs"},
    {qfBulkDialogs, "the group-number and new-mode dialogs"},
    {qfSelectionDialog, "the selection dialog"},
    {qfGroupNamesDialog, "the group-names dialog"},
    {qfDisabledFieldsDialog, "the disabled-fields dialog"},
    {qfContestDialog, "the contest dialog"},
    {qfReports, "the award reports and the rate sheet"},
    {qfAwardFlagsDialog, "the award-flag dialog"},
    {qfSummaryWindows, "the worked-status summary windows"},
    {qfSameCallWindow, "the same-call window"},
    {qfLogListWindow, "the log list window"},
    {qfCallsignLookupWindow, "the callsign and manager lookup window"},
    {qfWorldMapWindow, "the world map"},
    {qfPsk31Window, "the PSK31 terminal"},
    {qfRotatorWindow, "the rotator window"},
    {qfCwKeyboard, "the CW keyboard"},
    {qfTerminals, "the packet and RTTY terminals"},
};

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
        {"DXCC", "Listing", rcCountryListing, 0, false},
        {"DXCC", "Listing (include deleted)", rcCountryListing, 1, false},
        {"DXCC", "Needed Listing", rcCountryNeededListing, 0, false},
        {"DXCC", "Summary", rcCountrySummaryReport, 0, false},
        {"DXCC", "Summary (include deleted)", rcCountrySummaryReport, 1, false},
        {"DXCC", "Submission", rcDXCCReport, 0, true},
        {"DXCC", "Five Band Submission", rcDXCCReport, 1, false},
        {"WAS", "Listing", rcStateListing, 0, false},
        {"WAS", "Summary", rcStateSummaryReport, 0, false},
        {"WAS", "Submission", rcWASReport, 0, true},
        {"WAS", "Five Band Submission", rcWASReport, 1, false},
        {"WAZ", "Listing", rcZoneListing, 0, false},
        {"WAZ", "Summary", rcZoneSummaryReport, 0, false},
        {"WAZ", "Submission", rcWAZReport, 0, true},
        {"WAZ", "Five Band Submission", rcWAZReport, 1, false},
        {"IOTA", "Listing Worked", rcIOTAReport, 0, false},
        {"IOTA", "Listing", rcIOTAReport, 1, false},
        {"IOTA", "Band Summary", rcIOTAReport, 2, false},
        {"IOTA", "Mode Summary", rcIOTAReport, 3, false},
        {"IOTA", "Submission", rcIOTAReport, 4, false},
        {"IOTA", "Band Listing", rcIOTAReport, 5, false},
        {"IOTA", "Mode Listing", rcIOTAReport, 6, false},
        {"IOTA", "Needed Listing", rcIOTAReport, 7, false},
        {"WPX", "Listing", rcWPXListing, 0, false},
        {"WPX", "Summary", rcWPXSummaryReport, 1, false},
        {"WPX", "Summary (Honor Roll)", rcWPXSummaryReport, 0, false},
        {"WPX", "Submission", rcWPXSubmission, 0, true},
        {"Counties", "Listing Worked", rcCountyReport, 0, false},
        {"Counties", "Listing", rcCountyReport, 1, false},
        {"Counties", "Band Listing", rcCountyReport, 5, false},
        {"Counties", "Mode Listing", rcCountyReport, 6, false},
        {"Counties", "Band Summary", rcCountyReport, 2, false},
        {"Counties", "Mode Summary", rcCountyReport, 3, false},
        {"Counties", "Submission", rcCountyReport, 4, false},
        {"VUCC", "Listing", rcVUCCReport, 0, false},
        {"VUCC", "Band Listing", rcVUCCReport, 5, false},
        {"VUCC", "Mode Listing", rcVUCCReport, 6, false},
        {"VUCC", "Band Summary", rcVUCCReport, 2, false},
        {"VUCC", "Mode Summary", rcVUCCReport, 3, false},
        {"VUCC", "Submission", rcVUCCReport, 4, false},
        {"Custom", "Listing", rcCustomReport, 1, false},
        {"Custom", "Listing Worked", rcCustomReport, 0, false},
        {"Custom", "Needed Listing", rcCustomReport, 7, false},
        {"Custom", "Band Listing", rcCustomReport, 5, false},
        {"Custom", "Mode Listing", rcCustomReport, 6, false},
        {"Custom", "Band Summary", rcCustomReport, 2, false},
        {"Custom", "Mode Summary", rcCustomReport, 3, false},
        {"Custom", "Submission", rcCustomReport, 4, false},
        {"Contest", "Rate Sheet", rcRateReport, 0, false},
    };
    return table;
}

const char* NotBuiltReason(TQsoFeature feature)
{
    for (const auto& n : kNotBuilt)
        if (n.feature == feature)
            return n.what;
    return nullptr;
}

std::vector<TQsoFeature> NotBuiltFeatures()
{
    std::vector<TQsoFeature> v;
    for (const auto& n : kNotBuilt)
        v.push_back(n.feature);
    return v;
}

} // namespace korval
