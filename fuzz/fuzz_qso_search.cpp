// QSO search patterns: glob and call matching by each method, and compiled searches of every
// condition kind against a QSO read from the input's stored bytes.
#include "fuzz/fuzz_support.h"

#include "logbook/qso_data.h"
#include "logbook/qso_record.h"
#include "logbook/qso_search.h"

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kQsoStoredSize + 2)
        return 0;
    static TQsoData log;
    TQsoRecord rec;
    GetQsoStored(data, rec);
    fuzz::TInputTaker in(data + kQsoStoredSize, size - kQsoStoredSize);
    const std::uint8_t method = in.Byte();
    std::string_view pattern, text;
    fuzz::SplitAtNul(in.Rest(), pattern, text);
    PatternMatches(pattern, text);
    CallMatches(pattern, text, method % 5);
    CallMatches(pattern, rec.Call.view(), method % 5);
    SetQsoNote(rec, text.substr(0, 300));

    TQsoSearch search;
    search.CallMethod = method % 5;
    search.DateMethod = method / 5 % 4;
    std::string_view conditions = text;
    while (conditions.size() >= 6) {
        TSearchCondition c;
        c.Field = static_cast<std::uint8_t>(conditions[0]);
        c.Negate = conditions[1] & 1;
        c.Kind = static_cast<std::uint8_t>(conditions[2]) % 22;
        c.Value = static_cast<std::uint8_t>(conditions[3]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(conditions[4])) << 8;
        c.Pattern = std::string(pattern.substr(0, 40));
        if (!search.Add(c))
            break;
        conditions.remove_prefix(6);
    }
    search.Matches(rec, &log);
    search.HasDateCondition();
    SetQsoNote(rec, "");
    return 0;
}
