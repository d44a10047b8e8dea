// The INI class: a settings file read whole, its sections, keys and values, and its written
// form read back.
#include "fuzz/fuzz_support.h"

#include "logbook/base/ini_file.h"

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
        fuzz::WriteHomeFile("SAVE/IN.INI", std::string_view(reinterpret_cast<const char*>(data), size));
    std::string text;
    {
        TIniFile ini(path);
        for (const std::string& section : ini.SectionNames()) {
            for (const std::string& key : ini.KeyNames(section)) {
                ini.ReadString(section, key, "");
                ini.ReadInteger(section, key, 0);
                ini.ReadFloat(section, key, 0);
                ini.ReadBool(section, key, false);
            }
        }
        text = ini.Text();
    }
    // The written form is a fixed point: read back it gives itself.
    const std::string again = fuzz::WriteHomeFile("SAVE/AGAIN.INI", text);
    TIniFile back(again);
    if (back.Text() != text)
        std::abort();
    return 0;
}
