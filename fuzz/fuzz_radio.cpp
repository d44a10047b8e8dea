// Radio definitions and radio replies. The input up to its first byte 0 is a ".rig" file: read,
// written and read back, the written form must be a fixed point. The rest drives the CAT
// engine's decoding: its first bytes lay out the fields of a definition (format, position,
// length or mask each), the remainder is the block the other program left in the handshake
// file, which the engine reads, decodes and writes into.
#include "fuzz/fuzz_support.h"

#include "station/radio.h"
#include "station/radio_list.h"

#include <cstdlib>
#include <fstream>

using namespace korval;

namespace {

class TFuzzHost : public TRadioHost {
public:
    void ProcessRadioMessages() override {}
    std::int64_t TickCount() override { return ++ticks_; }

private:
    std::int64_t ticks_ = 0;
};

void RigFile(std::string_view bytes)
{
    const std::string path = fuzz::WriteHomeFile("RADIOS/IN.rig", bytes);
    TRadioList list(false);
    TRadioDefinition d;
    try {
        list.LoadItem(path, d);
    } catch (const ERadioDefinitionError&) {
        return;
    }
    const std::string once = fuzz::Home() + "/RADIOS/ONCE.rig";
    const std::string twice = fuzz::Home() + "/RADIOS/TWICE.rig";
    list.SaveItem(once, d);
    TRadioDefinition back;
    list.LoadItem(once, back);
    list.SaveItem(twice, back);
    std::ifstream a(once, std::ios::binary), b(twice, std::ios::binary);
    const std::string textA((std::istreambuf_iterator<char>(a)), {}), textB((std::istreambuf_iterator<char>(b)), {});
    if (textA != textB)
        std::abort();
}

void Replies(std::string_view input)
{
    fuzz::TInputTaker take(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    TRadioDefinition d;
    d.PositionBase = take.Byte() & 1;
    d.ReadFreqMul = 1 + take.Byte();
    d.WriteFreqMul = 1.0 / (1 + take.Byte());
    d.Commands[rcFileRead] = {std::string(2u * (take.Byte() % 40), '0'), 2, rlVfoAB};
    d.Commands[rcFileWrite] = {std::string(2u * (take.Byte() % 40), '0'), static_cast<std::uint8_t>(take.Byte() % 64),
                               rlOther};
    for (TRadioFieldEntry& f : d.Fields) {
        const std::uint8_t kind = take.Byte();
        f.command = kind & 128 ? rcFileWrite : rcFileRead;
        f.format = kind % RadioFormatCount;
        f.position = take.Byte();
        f.lengthMask = take.Byte();
    }
    for (int m = 1; m <= RadioModeCount; ++m)
        d.Modes[static_cast<std::size_t>(m)] = {take.Byte(), take.Byte(), take.Byte(), take.Byte(), (take.Byte() & 1) != 0};
    const std::string file = fuzz::WriteHomeFile("RADIOS/cat.bin", std::string("\0\0", 2) + std::string(take.Rest()));
    d.FileInterface = file;
    TFuzzHost host;
    TRadio radio(d, TRadioSettings {}, host);
    radio.SetTimeoutMs(5);
    double rx = 0, tx = 0;
    std::uint8_t mode = 0, s = 0;
    bool split = false;
    radio.ReadFrequencyAndMode(rx, tx, mode, split);
    radio.ReadSMeter(s);
    radio.SetFrequencyAndMode(mode, split, rx, tx);
    std::string text;
    radio.FormatFrequency(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rig, replies;
    fuzz::SplitAtNul(std::string_view(reinterpret_cast<const char*>(data), size), rig, replies);
    RigFile(rig);
    Replies(replies);
    return 0;
}
