// The ADIF reader and the whole import into a log, then the export of what was imported and
// the import of that export.
#include "fuzz/fuzz_support.h"
#include "fuzz/import_questions.h"

#include "exchange/export_driver.h"
#include "exchange/import_driver.h"
#include "logbook/qso_data.h"

using namespace korval;

namespace {

TFilterRecord AdifFilter()
{
    TFilterRecord f;
    f.Id = "ADIF";
    f.Ext = "ADI";
    f.Usage = fuImpExp;
    return f;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(true);
    static fuzz::TFixedAnswers answers;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TFilterRecord filter = AdifFilter();
    const TImportSettings settings;
    TQsoData log;
    ImportData(log, bytes, "in.adi", filter, true, settings);
    if (log.Count() == 0)
        return 0;
    std::vector<const TQsoRecord*> qsos(log.Qsos().begin(), log.Qsos().end());
    const std::string out = fuzz::Home() + "/out.adi";
    TExportResult w = ExportQsos(out, filter, true, qsos, log.Notes);
    if (!w.Written)
        return 0;
    TQsoData back;
    ImportData(back, fuzz::ReadWholeFile(out), "out.adi", filter, true, settings);
    return 0;
}
