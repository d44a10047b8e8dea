// Translation files (IMPORT/<filter ID>.PMP: "prefix,code" lines) and the lookups both ways.
#include "fuzz/fuzz_support.h"

#include "exchange/translation_table.h"

#include <cstdlib>

using namespace korval;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<TTwoIndex> table =
        ParseTwoColumnText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::int32_t i = 0; i < table->Count() && i < 1000; ++i) {
        std::string code, prefix, found;
        table->GetKeyString(i, code);
        table->GetTail(i, prefix);
        if (!TranslateCodeToPrefix(*table, code, found))
            std::abort();  // every code read is found again
        TranslatePrefixToCode(*table, prefix, found);
    }
    return 0;
}
