// Command tables of the entry controls read from a file, then keys translated through them and
// the tables streamed and read back.
#include "fuzz/fuzz_support.h"

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"

#include <stdexcept>

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view table, keys;
    fuzz::SplitAtNul(std::string_view(reinterpret_cast<const char*>(data), size), table, keys);
    const std::string path = fuzz::WriteHomeFile("SAVE/IN.CMD", table);
    TOvcCommandProcessor p;
    try {
        p.LoadCommandTable(path);
    } catch (const ECmdProcessorError&) {  // a damaged table, a duplicate command, a taken name
        return 0;
    }
    for (std::size_t i = 0; i + 1 < keys.size(); i += 2)
        p.Translate(static_cast<std::uint8_t>(keys[i]), static_cast<std::uint8_t>(keys[i + 1]));
    TOvcCommandProcessor copy;
    copy.ReadStream(p.WriteStream());
    return 0;
}
