// The wave-file reader over any bytes (token files are the operator's to replace). Whatever it
// accepts holds whole frames of a supported format, within the bytes given, and writes back to a
// file that reads the same.
#include "platform/wav_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    korval::TWavData wav;
    std::string error;
    // The modem's recordings may also be floating point; odd and even lengths read both ways.
    const bool acceptFloat = (size & 1) != 0;
    if (!korval::ParseWav(bytes, wav, error, acceptFloat)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (wav.FrameBytes() <= 0 || wav.samples.size() % static_cast<std::size_t>(wav.FrameBytes()) != 0 ||
        wav.samples.size() > size)
        std::abort();
    korval::TWavData again;
    if (!korval::ParseWav(korval::MakeWav(wav), again, error, acceptFloat) || again.samples != wav.samples ||
        again.sampleRate != wav.sampleRate || again.channels != wav.channels || again.floatSamples != wav.floatSamples)
        std::abort();
    return 0;
}
