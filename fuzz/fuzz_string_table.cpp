// String tables in the STR0 layout: every entry's text, and ids around them.
#include "entry/ovc_exceptions.h"
#include "entry/ovc_strings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace korval;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        TOvcStringResource r("FUZZ", bytes);
        for (int i = 0; i < r.Count() && i < 2000; ++i) {
            std::uint32_t id = 0;
            for (int k = 3; k >= 0; --k)
                id = id << 8 | static_cast<std::uint8_t>(bytes[8 + 12 * static_cast<std::size_t>(i) + k]);
            if (!r.HasString(static_cast<int>(id)))
                std::abort();  // every stored id is found
            r.GetString(static_cast<int>(id));
            r.GetString(static_cast<int>(id + 1));
        }
        r.RaiseOnMissing = true;
        try {
            r.GetString(-7);
        } catch (const EOvcException&) {
        }
    } catch (const EOvcException&) {  // not a valid table
    }
    return 0;
}
