#include "station/psk31/wav_sound_card.h"

#include <algorithm>
#include <iostream>
#include <thread>

#include "platform/atomic_file.h"
#include "station/psk31/psk_core.h"
#include "station/psk31/wav_file.h"

namespace korval {

TWavSoundCard::TWavSoundCard(std::string inputPath, std::string outputPath, bool paced)
    : inputPath_(std::move(inputPath)), outputPath_(std::move(outputPath)), paced_(paced)
{
}

TWavSoundCard::~TWavSoundCard() = default;

bool TWavSoundCard::Open(std::string& error)
{
    try {
        if (!inputPath_.empty()) {
            TWavSound sound = ReadWavFile(inputPath_);
            input_ = ResampleSound(sound.samples, sound.sampleRate, PskSampleRate);
        }
        if (!outputPath_.empty())
            writer_ = std::make_unique<TWavWriter>(outputPath_, PskSampleRate);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    pos_ = 0;
    done_ = input_.empty();
    clockStarted_ = false;
    return true;
}

void TWavSoundCard::Close()
{
    if (writer_) {
        try {
            writer_->Close();
        } catch (const std::exception& e) {
            // Closing has no one to answer to: the window is going away.
            std::cerr << "PSK31 output not saved: " << e.what() << '\n';
        }
        writer_.reset();
    }
}

bool TWavSoundCard::Read(float* x, int n, bool& overrun, std::string&)
{
    overrun = false;
    if (rewind_.exchange(false)) {
        pos_ = 0;
        done_ = input_.empty();
        clockStarted_ = false;
    }
    const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(n), input_.size() - pos_);
    std::copy_n(input_.begin() + static_cast<std::ptrdiff_t>(pos_), take, x);
    std::fill(x + take, x + n, 0.0f);
    pos_ += take;
    if (pos_ >= input_.size())
        done_ = true;
    if (paced_ || done_) {
        if (!clockStarted_) {
            clockStarted_ = true;
            start_ = std::chrono::steady_clock::now();
            pacedSamples_ = 0;
        }
        pacedSamples_ += static_cast<std::uint64_t>(n);
        std::this_thread::sleep_until(start_ + std::chrono::microseconds(pacedSamples_ * 1000000 / PskSampleRate));
    }
    return true;
}

bool TWavSoundCard::Write(const float* x, int n, std::string& error)
{
    if (!writer_)
        return true;
    try {
        writer_->Write(x, n);
    } catch (const std::exception& e) {
        error = e.what();
        writer_.reset();
        return false;
    }
    return true;
}

} // namespace korval
