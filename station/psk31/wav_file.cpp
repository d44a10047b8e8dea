#include "station/psk31/wav_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>
#include <unistd.h>

#include "logbook/base/record_bytes.h"
#include "platform/atomic_file.h"

namespace korval {
namespace {

constexpr std::uint16_t kPcm = 1, kFloat = 3, kExtensible = 0xFFFE;
// Larger files would not fit the 32-bit sizes of the format anyway.
constexpr std::uintmax_t kLargestFile = 0xFFFFFFFFu;

const std::uint8_t* Bytes(std::string_view s)
{
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

float Sample(const std::uint8_t* p, std::uint16_t format, int bits)
{
    if (format == kFloat) {
        if (bits == 32) {
            const float f = std::bit_cast<float>(GetU32(p, 0));
            return std::isfinite(f) ? std::clamp(f, -1.0f, 1.0f) : 0.0f;
        }
        const double d = GetDouble(p, 0);
        return std::isfinite(d) ? static_cast<float>(std::clamp(d, -1.0, 1.0)) : 0.0f;
    }
    switch (bits) {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16: return GetI16(p, 0) / 32768.0f;
    case 24: {
        const std::uint32_t v = static_cast<std::uint32_t>(p[0]) << 8 | static_cast<std::uint32_t>(p[1]) << 16 |
                                static_cast<std::uint32_t>(p[2]) << 24;
        return static_cast<float>(static_cast<std::int32_t>(v) / 2147483648.0);
    }
    default: return static_cast<float>(GetI32(p, 0) / 2147483648.0);
    }
}

} // namespace

TWavSound ReadWav(std::string_view bytes)
{
    const std::uint8_t* b = Bytes(bytes);
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        throw EWavError("Not a WAV file");
    bool haveFormat = false, haveData = false;
    std::uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
    std::uint32_t rate = 0;
    std::size_t dataStart = 0, dataSize = 0;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(pos, 4);
        const std::uint32_t size = GetU32(b, pos + 4);
        const std::size_t body = pos + 8;
        const std::size_t available = bytes.size() - body;
        if (id == "fmt ") {
            if (size < 16 || available < 16)
                throw EWavError("WAV file: format chunk too short");
            format = GetU16(b, body);
            channels = GetU16(b, body + 2);
            rate = GetU32(b, body + 4);
            blockAlign = GetU16(b, body + 12);
            bits = GetU16(b, body + 14);
            if (format == kExtensible) {
                if (size < 40 || available < 40)
                    throw EWavError("WAV file: format chunk too short");
                format = GetU16(b, body + 24);  // the sub-format's first two bytes
            }
            haveFormat = true;
        } else if (id == "data" && !haveData) {
            // A recording that was cut off, or one written as a stream, states more than is
            // there: take what is there.
            dataStart = body;
            dataSize = std::min<std::size_t>(size, available);
            haveData = true;
        }
        if (size > available)
            break;
        pos = body + size + (size & 1);
    }
    if (!haveFormat)
        throw EWavError("WAV file without a format chunk");
    if (!haveData)
        throw EWavError("WAV file without sound data");
    const bool pcmOk = format == kPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floatOk = format == kFloat && (bits == 32 || bits == 64);
    if (!pcmOk && !floatOk)
        throw EWavError("WAV format not supported (code " + std::to_string(format) + ", " + std::to_string(bits) +
                        " bits)");
    if (channels < 1 || channels > 32 || blockAlign != channels * (bits / 8))
        throw EWavError("WAV file: bad channel layout");
    if (rate < 1000 || rate > 384000)
        throw EWavError("WAV sample rate not supported: " + std::to_string(rate) + " Hz");

    TWavSound sound;
    sound.sampleRate = static_cast<int>(rate);
    const std::size_t frames = dataSize / blockAlign;
    sound.samples.resize(frames);
    const int width = bits / 8;
    for (std::size_t f = 0; f < frames; ++f) {
        const std::uint8_t* p = b + dataStart + f * blockAlign;
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += Sample(p + c * width, format, bits);
        sound.samples[f] = sum / channels;
    }
    return sound;
}

TWavSound ReadWavFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw EWavError("Cannot open " + path + ": " + std::strerror(errno));
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uintmax_t>(size) > kLargestFile)
        throw EWavError(path + ": too large for a WAV file");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size))
        throw EWavError("Cannot read " + path);
    try {
        return ReadWav(bytes);
    } catch (const EWavError& e) {
        throw EWavError(path + ": " + e.what());
    }
}

std::vector<float> ResampleSound(const std::vector<float>& samples, int fromRate, int toRate)
{
    if (fromRate == toRate || samples.empty() || fromRate <= 0 || toRate <= 0)
        return samples;
    // A windowed sinc whose cut-off lies a little below the lower of the two half rates.
    const double ratio = static_cast<double>(toRate) / fromRate;
    const double cutoff = 0.46 * std::min(1.0, ratio);  // cycles per input sample
    const double halfWidth = 12 / cutoff / 2;             // twelve zero crossings each side
    constexpr int kSteps = 256;                           // table points per input sample
    const int tableHalf = static_cast<int>(std::ceil(halfWidth * kSteps));
    std::vector<float> kernel(static_cast<std::size_t>(tableHalf) + 2);
    for (int i = 0; i <= tableHalf + 1; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        const double x = 2 * cutoff * t;
        const double sinc = x == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        const double w = t >= halfWidth ? 0 : 0.42 + 0.5 * std::cos(std::numbers::pi * t / halfWidth) +
                                                  0.08 * std::cos(2 * std::numbers::pi * t / halfWidth);
        kernel[static_cast<std::size_t>(i)] = static_cast<float>(2 * cutoff * sinc * w);
    }
    const auto tap = [&](double t) {
        const double at = std::fabs(t) * kSteps;
        const auto i = static_cast<std::size_t>(at);
        if (i + 1 >= kernel.size())
            return 0.0f;
        const float frac = static_cast<float>(at - static_cast<double>(i));
        return kernel[i] + (kernel[i + 1] - kernel[i]) * frac;
    };
    const auto outCount = static_cast<std::size_t>(static_cast<double>(samples.size()) * ratio);
    std::vector<float> out(outCount);
    const auto last = static_cast<std::int64_t>(samples.size()) - 1;
    for (std::size_t j = 0; j < outCount; ++j) {
        const double centre = static_cast<double>(j) / ratio;
        const auto lo = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(centre - halfWidth)));
        const auto hi = std::min<std::int64_t>(last, static_cast<std::int64_t>(std::floor(centre + halfWidth)));
        float acc = 0;
        for (std::int64_t k = lo; k <= hi; ++k)
            acc += samples[static_cast<std::size_t>(k)] * tap(centre - static_cast<double>(k));
        out[j] = acc;
    }
    return out;
}

namespace {

std::string Header(std::uint32_t samples, int sampleRate)
{
    std::string h(44, '\0');
    auto* b = reinterpret_cast<std::uint8_t*>(h.data());
    std::memcpy(b, "RIFF", 4);
    PutU32(b, 4, 36 + 2 * samples);
    std::memcpy(b + 8, "WAVEfmt ", 8);
    PutU32(b, 16, 16);
    PutU16(b, 20, kPcm);
    PutU16(b, 22, 1);
    PutU32(b, 24, static_cast<std::uint32_t>(sampleRate));
    PutU32(b, 28, static_cast<std::uint32_t>(sampleRate) * 2);
    PutU16(b, 32, 2);
    PutU16(b, 34, 16);
    std::memcpy(b + 36, "data", 4);
    PutU32(b, 40, 2 * samples);
    return h;
}

std::string Pcm16(const float* x, int n)
{
    std::string out(static_cast<std::size_t>(2 * n), '\0');
    auto* b = reinterpret_cast<std::uint8_t*>(out.data());
    for (int i = 0; i < n; ++i)
        PutI16(b, static_cast<std::size_t>(2 * i),
               static_cast<std::int16_t>(std::lround(std::clamp(x[i], -1.0f, 32767.0f / 32768.0f) * 32768.0f)));
    return out;
}

} // namespace

std::string WavBytes(const std::vector<float>& samples, int sampleRate)
{
    return Header(static_cast<std::uint32_t>(samples.size()), sampleRate) +
           Pcm16(samples.data(), static_cast<int>(samples.size()));
}

TWavWriter::TWavWriter(const std::string& path, int sampleRate) : file_(std::make_unique<AtomicFile>(path))
{
    file_->write(Header(0, sampleRate));
}

TWavWriter::~TWavWriter() = default;

void TWavWriter::Write(const float* x, int n)
{
    if (!file_ || n <= 0)
        return;
    // The sizes are 32-bit: a recording stops growing at about 37 hours.
    if (samples_ > (0xFFFFFFFFu - 64) / 2 - static_cast<std::uint32_t>(n))
        return;
    file_->write(Pcm16(x, n));
    samples_ += static_cast<std::uint32_t>(n);
}

void TWavWriter::Close()
{
    if (!file_)
        return;
    std::uint8_t sizes[4];
    PutU32(sizes, 0, 36 + 2 * samples_);
    bool ok = pwrite(file_->fd(), sizes, 4, 4) == 4;
    PutU32(sizes, 0, 2 * samples_);
    ok = ok && pwrite(file_->fd(), sizes, 4, 40) == 4;
    if (!ok)
        throw EFileWriteError("Cannot write " + file_->target() + ": " + std::strerror(errno));
    file_->commit();
    file_.reset();
}

} // namespace korval
