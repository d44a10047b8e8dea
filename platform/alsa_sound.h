#pragma once
// The sound card through ALSA, opened by device name ("default" unless the operator names
// another). A missing sound device is reported once through the error callback with a text
// for the operator; the program then goes on without sound.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound.h"

namespace korval {

using TSoundErrorHandler = std::function<void(const std::string& text)>;

// "No sound device: <device> (<reason>)".
std::string NoSoundDeviceText(const std::string& device, const std::string& reason);

// The sound cards' playback devices the system has (0 when there is no sound card).
int AlsaPlaybackDeviceCount();

// Plays WAV files synchronously, opening the device for each file.
class TAlsaSound : public TSoundOutput {
public:
    explicit TAlsaSound(std::string device = "default", TSoundErrorHandler onError = {});
    bool PlayWav(const std::string& path) override;
    void Pause(int ms) override;

private:
    void Report(const std::string& text);
    std::string device_;
    TSoundErrorHandler onError_;
    std::atomic<bool> reported_{false};
};

// A sine tone switched on and off with short ramps (no clicks), written by a thread of its own
// so the keyer never waits for the card. The device is opened at the first tone and given back
// after two seconds of silence.
class TAlsaSideTone : public TSideTone {
public:
    explicit TAlsaSideTone(std::string device = "default", TSoundErrorHandler onError = {});
    ~TAlsaSideTone() override;
    // A frequency of 0 Hz or below is refused (no tone).
    void On(int hz) override;
    void Off() override;

private:
    void Run();
    std::string device_;
    TSoundErrorHandler onError_;
    std::atomic<int> hz_{0};
    std::atomic<bool> failed_{false};
    std::mutex mu_;
    std::condition_variable cv_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace korval
