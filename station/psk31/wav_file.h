#pragma once
// WAV files for the modem: any common PCM or float WAV read as one channel of samples (several
// channels are mixed), and the transmitted sound written as 16-bit mono at 8000 Hz.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

class AtomicFile;

// A WAV file that cannot be read; the message says why.
class EWavError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TWavSound {
    int sampleRate = 0;
    std::vector<float> samples;  // full scale 1.0
};

// Reads the bytes of a WAV file. Throws EWavError for anything that is not a WAV file of a
// kind it knows; a file cut short keeps the whole samples it holds.
TWavSound ReadWav(std::string_view bytes);
// Reads a WAV file from disk; the error names the file.
TWavSound ReadWavFile(const std::string& path);

// The samples at another rate (band-limited, so nothing folds back from above the new half
// rate).
std::vector<float> ResampleSound(const std::vector<float>& samples, int fromRate, int toRate);

// The bytes of a 16-bit mono WAV file holding samples (for tests and small files).
std::string WavBytes(const std::vector<float>& samples, int sampleRate);

// Writes a 16-bit mono WAV file as the sound comes. The file appears (replacing one of the
// same name) only when Close succeeds.
class TWavWriter {
public:
    TWavWriter(const std::string& path, int sampleRate);
    ~TWavWriter();
    TWavWriter(const TWavWriter&) = delete;
    TWavWriter& operator=(const TWavWriter&) = delete;

    // Throws EFileWriteError when the disk refuses.
    void Write(const float* x, int n);
    void Close();

private:
    std::unique_ptr<AtomicFile> file_;
    std::uint32_t samples_ = 0;
};

} // namespace korval
