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
#include "platform/wav_file.h"

namespace korval {
namespace {

// Larger files would not fit the 32-bit sizes of the format anyway.
constexpr std::uintmax_t kLargestFile = 0xFFFFFFFFu;

const std::uint8_t* Bytes(std::string_view s)
{
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

float Sample(const std::uint8_t* p, bool isFloat, int bits)
{
    if (isFloat) {
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
    TWavData wav;
    std::string error;
    if (!ParseWav(bytes, wav, error, true))
        throw EWavError("WAV file: " + error);
    TWavSound sound;
    sound.sampleRate = wav.sampleRate;
    const std::size_t frames = wav.Frames(), frameBytes = static_cast<std::size_t>(wav.FrameBytes());
    const int width = wav.bitsPerSample / 8;
    const std::uint8_t* b = Bytes(wav.samples);
    sound.samples.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::uint8_t* p = b + f * frameBytes;
        float sum = 0;
        for (int c = 0; c < wav.channels; ++c)
            sum += Sample(p + c * width, wav.floatSamples, wav.bitsPerSample);
        sound.samples[f] = sum / static_cast<float>(wav.channels);
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

// A 16-bit mono file of pcm sample bytes.
std::string Mono16(int sampleRate, std::string pcm)
{
    return MakeWav(TWavData {1, sampleRate, 16, std::move(pcm)});
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
    return Mono16(sampleRate, Pcm16(samples.data(), static_cast<int>(samples.size())));
}

TWavWriter::TWavWriter(const std::string& path, int sampleRate) : file_(std::make_unique<AtomicFile>(path))
{
    // The sizes in the header are filled in when the file is closed.
    file_->write(Mono16(sampleRate, {}));
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
