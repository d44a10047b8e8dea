#pragma once
// The export: the QSOs the operator sees, in the log's view order, written as ADIF or as a
// fixed-field file laid out by a filter (with the companion note file of the callsign notes).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "exchange/filter_record.h"
#include "logbook/qso_record.h"
#include "logbook/base/sorted_collection.h"

namespace korval {

class TNotes;
class TQsoData;

// One ADIF record (items, "<eor>" and a line break) appended to out. Lines stay below 80
// characters unless one item alone is longer.
void ExportADIFRecord(const TQsoRecord& q, std::string_view callNote, const TTwoIndex* table, std::string& out);
// The ADIF header line (ending with "<eoh>") and its line break.
std::string ADIFHeader();
// One fixed-field line (and the note line when Note1 follows the QSO), each with a line break.
void ExportFixedRecord(const TQsoRecord& q, const TFilterRecord& filter, const TTwoIndex* table, std::string& out);

struct TExportResult {
    bool Written = false;
    long Qsos = 0;
    long Notes = 0;
    std::string Error;  // why the file could not be written
};

// Writes the QSOs to the file (replacing it atomically: a failed write leaves no half file), and
// for a fixed-field filter with a note-file extension the note file. No messages.
TExportResult ExportQsos(const std::string& fileName, const TFilterRecord& filter, bool isAdif,
                         const std::vector<const TQsoRecord*>& qsos, TNotes& notes);

// Which QSOs an export writes: the QSO window installs a provider that asks about its search and
// lists what it shows in its view order; false cancels. Without one, the QSOs of the current
// log's selection in date order.
using TExportViewProvider = std::function<bool(TQsoData& log, std::vector<const TQsoRecord*>& qsos)>;
void SetExportViewProvider(TExportViewProvider provider);

// The whole export of the current log with its messages; false when cancelled or failed.
bool ExportFile(const std::string& fileName, const TFilterRecord& filter, bool isAdif);

} // namespace korval
