#pragma once
// The modem's sound from and to WAV files: the input file is played at its own pace (or as fast
// as the modem takes it, for tests) and is followed by silence; each transmission is added to
// the output file, which is complete when the card is closed.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "station/psk31/psk_sound_card.h"

namespace korval {

class TWavWriter;

class TWavSoundCard : public TPskSoundCard {
public:
    // Either path may be empty: no input is silence, no output drops the transmitted sound.
    // paced false: the input goes as fast as it is read, then silence at the real pace.
    TWavSoundCard(std::string inputPath, std::string outputPath, bool paced = true);
    ~TWavSoundCard() override;

    bool Open(std::string& error) override;
    void Close() override;
    bool Read(float* x, int n, bool& overrun, std::string& error) override;
    bool BeginTransmission(std::string&) override { return true; }
    bool Write(const float* x, int n, std::string& error) override;
    void EndTransmission() override {}
    void Rewind() override { rewind_ = true; }

    // The input has been read to its end.
    bool InputDone() const { return done_; }

private:
    std::string inputPath_, outputPath_;
    bool paced_;
    std::vector<float> input_;
    std::size_t pos_ = 0;
    std::unique_ptr<TWavWriter> writer_;
    std::atomic<bool> rewind_ {false};
    std::atomic<bool> done_ {false};
    bool clockStarted_ = false;
    std::chrono::steady_clock::time_point start_;
    std::uint64_t pacedSamples_ = 0;
};

} // namespace korval
