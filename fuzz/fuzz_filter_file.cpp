// The filter file SAVE/KORVAL.IEP: its records loaded, listed, described, checked as the
// editor checks them, saved and loaded back.
#include "fuzz/fuzz_support.h"

#include "exchange/filter_editor.h"
#include "exchange/filter_record.h"
#include "logbook/base/string_utils.h"

#include <cstdlib>

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path =
        fuzz::WriteHomeFile("SAVE/KORVAL.IEP", std::string_view(reinterpret_cast<const char*>(data), size));
    bool damaged = false;
    std::vector<TFilterRecord> filters = LoadFilterFile(path, &damaged);
    for (const TFilterRecord& r : filters)
        if (!IsValidFilterId(UpperAscii(r.Id)))
            std::abort();
    TFilterList list;
    list.Assign(filters);
    // The editor's views build hundreds of lines a record: the first records are described
    // (the mutations reach every position), all of them are checked, saved and loaded again.
    for (int i = 0; i < list.Count(); ++i) {
        FilterSaveError(list.At(i), list, i);
        if (i >= 4)
            continue;
        const TFilterRecord& r = list.At(i);
        for (int f = 0; f < FilterFieldCount; ++f) {
            FieldFormats(f);
            FieldLengthRule(f, r.Field(f).Fmt);
            ShownFormat(r, f);
        }
        DateLayout(r.Field(fiDate).Fmt);
        AllocationLines(r);
        FilterPrintLines(r);
        UsageText(r.Usage);
    }
    list.Copy(0, 1000);
    list.New(1000);
    const std::string out = fuzz::Home() + "/SAVE/OUT.IEP";
    SaveFilterFile(out, list.Items());
    bool again = false;
    if (LoadFilterFile(out, &again).size() != list.Items().size() || again)
        std::abort();
    return 0;
}
