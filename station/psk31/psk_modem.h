#pragma once
// Our PSK31 modem behind the engine calls: one thread reads the sound card in blocks of 32 ms,
// runs the spectrum and both receive channels over them and, while transmitting, plays the
// transmitter's sound. Calls from the window take the same lock as a block, so they act between
// blocks. Notifications are made by the modem's thread, never while it holds the lock.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "station/psk31/psk_core.h"
#include "station/psk31/psk_receiver.h"
#include "station/psk31/psk_sound_card.h"
#include "station/psk31/psk_transmitter.h"

namespace korval {

class TPskModem : public TPskCore {
public:
    using TSoundCardFactory = std::function<std::unique_ptr<TPskSoundCard>()>;
    // The sound card is made at each start; by default as the environment says.
    explicit TPskModem(TSoundCardFactory factory = SoundCardFromEnvironment);
    ~TPskModem() override;

    int fnStartSoundCard(TPskCoreEvents* events, int card, int channels) override;
    void fnStopSoundCard() override;
    std::string fnGetErrorString() override;
    void fnSetFFTMode(int smoothing, int scale, int range) override;
    void fnSetRXPSKMode(int mode, int channel) override;
    void fnSetAFCLimit(int hz, int channel) override;
    void fnSetSquelchThreshold(int threshold, int slow, int channel) override;
    void fnSetRXFrequency(int hz, int capture, int channel) override;
    int fnGetRXFrequency(int channel) override;
    int fnGetFFTData(int* buffer, int firstBin, int lastBin) override;
    void fnGetVectorData(int* buffer, int channel) override;
    void fnSetTXFrequency(int hz) override;
    void fnStartTX(int mode) override;
    void fnStopTX() override;
    void fnAbortTX() override;
    void fnClearTXBuffer() override;
    int fnGetTXCharsRemaining() override;
    void fnSendTXCharacter(int ch, int control) override;
    void fnSetCWIDString(const std::string& text) override;
    void fnSetCWIDSpeed(int speed) override;
    int fnGetClosestPeak(int fromHz, int toHz) override;
    void fnRewindInput() override;

    bool Running() const { return running_; }

private:
    void Run();
    static bool ValidChannel(int channel) { return channel >= 0 && channel < TPskReceiver::ChannelCount; }

    TSoundCardFactory factory_;
    std::unique_ptr<TPskSoundCard> card_;
    std::thread thread_;
    std::atomic<bool> running_ {false};
    std::mutex lock_;
    TPskCoreEvents* events_ = nullptr;
    TPskReceiver rx_;
    TPskTransmitter tx_;
    std::string error_;
};

} // namespace korval
