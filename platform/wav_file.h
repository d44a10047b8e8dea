#pragma once
// RIFF/WAVE files as the spoken announcements ship them: PCM of 8, 16, 24 or 32 bits, any
// channel count and rate; on request also floating-point samples of 32 or 64 bits (recordings
// for the PSK31 modem). The reader checks every chunk against the bytes present.
#include <cstdint>
#include <string>
#include <string_view>

namespace korval {

struct TWavData {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    // The sample bytes as stored (little-endian, 8-bit unsigned); whole frames only.
    std::string samples;
    bool floatSamples = false;  // IEEE floating point instead of PCM

    int FrameBytes() const { return channels * (bitsPerSample / 8); }
    std::size_t Frames() const { return FrameBytes() > 0 ? samples.size() / static_cast<std::size_t>(FrameBytes()) : 0; }
};

// False with the reason for anything but a PCM wave file. A data chunk that claims more bytes
// than the file holds (a file cut short) gives the frames that are there.
bool ParseWav(std::string_view bytes, TWavData& wav, std::string& error, bool acceptFloat = false);

// Builds a PCM wave file (the sounds tool and tests).
std::string MakeWav(const TWavData& wav);

} // namespace korval
