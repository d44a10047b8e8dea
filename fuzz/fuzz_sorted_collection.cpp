// The sorted record collections as stored in streams (the country file, translation tables and
// reference data are made of them): each kind loaded, skipped, saved and loaded back.
#include "fuzz/fuzz_support.h"

#include "logbook/base/sorted_collection.h"
#include "logbook/base/stream.h"

#include <cstdlib>
#include <memory>

using namespace korval;

namespace {

template <class C>
void RoundTrip(C& c, const std::string& bytes, bool shortCount)
{
    {
        TMemoryStream skip(bytes);
        C other(0);
        try {
            other.LoadSkip(skip, shortCount);
        } catch (const EReadError&) {
        }
    }
    TMemoryStream s(bytes);
    try {
        c.Load(s, shortCount);
    } catch (const EReadError&) {
        if (c.Count() != 0)
            std::abort();  // a refused stream leaves the collection empty
        return;
    }
    for (std::int32_t i = 0; i < c.Count(); ++i) {
        std::string key;
        c.GetKeyString(i, key);
        c.IndexOfKey(c.KeyOf(c.At(i)));
    }
    TMemoryStream out;
    c.SaveToStream(out);
    TMemoryStream in(out.Bytes());
    C back(0);
    back.Load(in, false);  // what was saved must load
    if (back.Count() != c.Count())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The kind of collection and the count width come from the size, so that stored files
    // serve as seeds as they are.
    const bool shortCount = size / 3 % 2 != 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    switch (size % 3) {
    case 0: {
        TOneIndex c(0);
        RoundTrip(c, bytes, shortCount);
        break;
    }
    case 1: {
        TOneIndexTail c(0);
        RoundTrip(c, bytes, shortCount);
        for (std::int32_t i = 0; i < c.Count(); ++i) {
            std::vector<std::string> lines;
            c.GetLines(i, lines);
        }
        break;
    }
    default: {
        TTwoIndex c(0);
        RoundTrip(c, bytes, shortCount);
        for (std::int32_t i = 0; i < c.ByTail().Count(); ++i) {
            std::string tail;
            c.GetTailByTail(i, tail);
            c.IndexOfTail(tail);
        }
        break;
    }
    }
    return 0;
}
