// The fixed-field reader: a filter record (the first 193 bytes) and the text it lays out (the
// rest), imported, exported through the same filter and imported again.
#include "fuzz/fuzz_support.h"
#include "fuzz/import_questions.h"

#include "exchange/export_driver.h"
#include "exchange/filter_record.h"
#include "exchange/import_driver.h"
#include "logbook/qso_data.h"

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(true);
    static fuzz::TFixedAnswers answers;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < FilterRecordSize)
        return 0;
    TFilterRecord filter = TFilterRecord::FromBytes(data);
    // A fixed layout of this program (no conversion script, no translation table).
    filter.Id = "FIXED";
    filter.Usage = fuImpExp;
    if (!filter.NoteExt.empty())
        filter.NoteExt = "NOT";  // the note file stays beside the others
    const std::string_view text(reinterpret_cast<const char*>(data) + FilterRecordSize, size - FilterRecordSize);
    const TImportSettings settings;
    TQsoData log;
    ImportData(log, text, fuzz::Home() + "/in.txt", filter, false, settings);
    if (log.Count() == 0)
        return 0;
    std::vector<const TQsoRecord*> qsos(log.Qsos().begin(), log.Qsos().end());
    const std::string out = fuzz::Home() + "/out.txt";
    TExportResult w = ExportQsos(out, filter, false, qsos, log.Notes);
    if (!w.Written)
        return 0;
    const std::string written = fuzz::ReadWholeFile(out);
    TQsoData back;
    ImportData(back, written, "out.txt", filter, false, settings);
    return 0;
}
