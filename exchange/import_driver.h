#pragma once
// The import driver: reads a whole ADIF or fixed-field file into a logbook with the duplicate
// policy the operator chose, reconciles the file's prefix and zone with the callsign lookup,
// places unmapped data and error items into notes and ends with the summary.
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/filter_record.h"
#include "exchange/import_context.h"
#include "logbook/qso_record.h"

namespace korval {

class TQsoData;

// The operator's questions during an import; the windows install dialogs, tests doubles.
class TImportQuestions {
public:
    virtual ~TImportQuestions() = default;
    // The duplicate policy (0 warn and stop, 1 replace, 2 ignore); false when cancelled.
    virtual bool AskDupesImportPolicy(int& policy) = 0;
    // 0 cancel, 1 keep this program's country and zone, 2 take the imported ones.
    virtual int ConfirmPrefixZoneChange(const TQsoRecord& qso, std::uint16_t importedCountry,
                                        std::uint8_t importedZone) = 0;
};

// The installed questions; without any, duplicates are ignored and conflicts keep this
// program's values (nothing is replaced or lost without an operator).
TImportQuestions& ImportQuestions();
TImportQuestions* SetImportQuestions(TImportQuestions* questions);

struct TImportResult {
    bool Cancelled = false;   // the duplicate question was cancelled: nothing was read
    bool HeaderMissing = false;
    bool Stopped = false;     // stopped at a duplicate or by the operator
    TImportCounters Count;
    std::string Summary;      // the summary message's text
};

// The whole import of bytes into log (no messages but the questions): the engine of ImportFile.
TImportResult ImportData(TQsoData& log, std::string_view data, const std::string& fileName,
                         const TFilterRecord& filter, bool isAdif, const TImportSettings& settings);

// The import of a file into the current log, with the questions, the note file of a
// fixed-field import, the messages and the summary. False when nothing could be read.
bool ImportFile(const std::string& fileName, const TFilterRecord& filter, bool isAdif);
// The same into a given log with given settings.
TImportResult ImportFileInto(TQsoData& log, const std::string& fileName, const TFilterRecord& filter, bool isAdif,
                             const TImportSettings& settings);

// The summary text of a finished run.
std::string ImportSummaryText(const TImportContext& ctx);

// The note file of a fixed-field import: "call,text" lines appended to the callsign notes.
// False (and an information message) when the file does not exist.
bool ReadImportNoteFile(TQsoData& log, const std::string& importFile, const std::string& noteExt);

// Merges another log file of this program into the current log with the duplicate question.
// The number of QSOs added is reported; returns it (-1 when cancelled).
long MergeKorvalLog(const std::string& fileName);

// Runs the filter's conversion script (IMPORT/<ID>, an executable taking the chosen file and the
// IMPORT folder) and imports its IMPORT/export.txt as a fixed-field file with the same filter.
// False when the script could not run or left no output ("Conversion failed").
bool ImportThroughScript(const TFilterRecord& filter, const std::string& chosenFile, int timeoutMs = 300000);

} // namespace korval
