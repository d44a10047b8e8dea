#include "platform/wav_file.h"

namespace korval {

namespace {

std::uint32_t U32(std::string_view b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t U16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Put16(std::string& s, std::uint16_t v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

constexpr std::uint16_t FormatPcm = 1;
constexpr std::uint16_t FormatFloat = 3;
constexpr std::uint16_t FormatExtensible = 0xFFFE;

} // namespace

bool ParseWav(std::string_view bytes, TWavData& wav, std::string& error, bool acceptFloat)
{
    wav = {};
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        error = "not a RIFF/WAVE file";
        return false;
    }
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = U32(bytes, at + 4);
        const std::size_t body = at + 8;
        const std::size_t present = bytes.size() - body;
        if (id == "fmt ") {
            if (size < 16 || size > present) {
                error = "damaged format chunk";
                return false;
            }
            std::uint16_t format = U16(bytes, body);
            if (format == FormatExtensible && size >= 40)
                format = U16(bytes, body + 24); // the sub-format's first two bytes
            wav.channels = U16(bytes, body + 2);
            wav.sampleRate = static_cast<int>(U32(bytes, body + 4));
            wav.bitsPerSample = U16(bytes, body + 14);
            wav.floatSamples = acceptFloat && format == FormatFloat;
            if (format != FormatPcm && !wav.floatSamples) {
                error = "not PCM sound (format " + std::to_string(format) + ")";
                return false;
            }
            const int bits = wav.bitsPerSample;
            const bool bitsOk = wav.floatSamples ? (bits == 32 || bits == 64)
                                                 : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            if (wav.channels < 1 || wav.channels > 8 || wav.sampleRate < 1000 || wav.sampleRate > 384000 || !bitsOk) {
                error = "unsupported sound format";
                return false;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                error = "sound data before its format";
                return false;
            }
            std::size_t take = size < present ? size : present;
            take -= take % static_cast<std::size_t>(wav.FrameBytes());
            wav.samples.assign(bytes.substr(body, take));
            return true;
        }
        if (size > present)
            break;
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    error = haveFormat ? "no sound data" : "no sound format";
    return false;
}

std::string MakeWav(const TWavData& wav)
{
    std::string s = "RIFF";
    Put32(s, static_cast<std::uint32_t>(36 + wav.samples.size()));
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, wav.floatSamples ? FormatFloat : FormatPcm);
    Put16(s, static_cast<std::uint16_t>(wav.channels));
    Put32(s, static_cast<std::uint32_t>(wav.sampleRate));
    Put32(s, static_cast<std::uint32_t>(wav.sampleRate * wav.FrameBytes()));
    Put16(s, static_cast<std::uint16_t>(wav.FrameBytes()));
    Put16(s, static_cast<std::uint16_t>(wav.bitsPerSample));
    s += "data";
    Put32(s, static_cast<std::uint32_t>(wav.samples.size()));
    s += wav.samples;
    return s;
}

} // namespace korval
