// Text macros of the function keys: sixteen keys and three text files of the save folder (the
// input's parts between bytes 0), expanded from a key chosen by the first byte.
#include "fuzz/fuzz_support.h"

#include "logbook/config_record.h"
#include "logbook/text_macros.h"

#include <cstdlib>

using namespace korval;

namespace {

struct TWindow : TMacroContext {
    bool HasQsoWindow() const override { return true; }
    std::string CallField() const override { return "DL1ABC"; }
    std::string RstSentField() const override { return "599"; }
    std::string RstRcvdField() const override { return "579"; }
    std::string ExchangeText() const override { return "14"; }
    std::string Name() const override { return "Hans"; }
    bool SerialNumber(unsigned& n) const override
    {
        n = 7;
        return true;
    }
    bool RealTimeEntry() const override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    Config.SetOwnCall("W1AW/KH6XXXXXXXXXXXX");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInputTaker in(data, size);
    const std::uint8_t pick = in.Byte();
    std::string_view rest = in.Rest(), part;
    TFunctionKeys keys{};
    for (auto& key : keys) {
        fuzz::SplitAtNul(rest, part, rest);
        key = std::string(part.substr(0, 75));
    }
    for (const char* name : {"SAVE/a.txt", "SAVE/b.txt", "SAVE/c.txt"}) {
        fuzz::SplitAtNul(rest, part, rest);
        fuzz::WriteHomeFile(name, part);
    }
    TWindow window;
    const std::string text = ExpandMacros(1 + pick % 16, keys, pick & 0x80, window);
    if (text.size() > MaxExpandedMacroSize)
        std::abort();
    return 0;
}
