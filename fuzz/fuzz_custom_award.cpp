// Custom award definitions (SAVE/KORVAL.AWD): awards, value tables and the names shown for them.
#include "fuzz/fuzz_support.h"

#include "logbook/custom_award.h"

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto list = TCustAwardList::LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size), "KORVAL.AWD");
    std::vector<std::pair<std::string, std::string>> asked;
    for (int i = 0; i < list->Count(); ++i) {
        const TCustAward& a = list->At(i);
        list->Find(a.ID);
        a.HasPrefix("DL");
        a.HasPrefix("");
        for (const auto& [shortValue, longValue] : a.Values()) {
            a.LongValue(shortValue);
            asked.emplace_back(a.ID, shortValue);
        }
        asked.emplace_back(a.ID, "X");
    }
    SetCustAwardList(std::move(list));
    for (const auto& [id, value] : asked) {
        LongAwdName(id);
        LongAwdVal(id, value);
    }
    SetCustAwardList(std::make_unique<TCustAwardList>());
    return 0;
}
