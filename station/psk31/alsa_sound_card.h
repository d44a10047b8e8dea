#pragma once
// The modem's sound through ALSA: one mono 16-bit stream each way at 8000 samples a second
// (ALSA converts when the card runs at another rate).
#include <string>

#include "station/psk31/psk_sound_card.h"

typedef struct _snd_pcm snd_pcm_t;

namespace korval {

class TAlsaSoundCard : public TPskSoundCard {
public:
    explicit TAlsaSoundCard(std::string device = "default") : device_(std::move(device)) {}
    ~TAlsaSoundCard() override { Close(); }

    bool Open(std::string& error) override;
    void Close() override;
    bool Read(float* x, int n, bool& overrun, std::string& error) override;
    bool BeginTransmission(std::string& error) override;
    bool Write(const float* x, int n, std::string& error) override;
    void EndTransmission() override;

private:
    std::string device_;
    snd_pcm_t* capture_ = nullptr;
    snd_pcm_t* playback_ = nullptr;
};

} // namespace korval
