#pragma once
// Where the modem's sound comes from and goes to: the ALSA sound card, or WAV files.
#include <memory>
#include <string>

namespace korval {

class TPskSoundCard {
public:
    virtual ~TPskSoundCard() = default;
    // Opens input and output at 8000 samples a second; false with a short reason.
    virtual bool Open(std::string& error) = 0;
    virtual void Close() = 0;
    // Waits for the next n input samples. overrun: input was lost since the last call (the
    // program did not keep up). False on a failure of the device.
    virtual bool Read(float* x, int n, bool& overrun, std::string& error) = 0;
    virtual bool BeginTransmission(std::string& error) = 0;
    virtual bool Write(const float* x, int n, std::string& error) = 0;
    // Returns once what was written has been played.
    virtual void EndTransmission() = 0;
    // Plays a recorded input again from its start; a live input ignores it. Any thread.
    virtual void Rewind() {}
};

// Environment variables that choose the sound: KORVAL_PSK31_INPUT (a WAV file to receive) and
// KORVAL_PSK31_OUTPUT (a WAV file the transmitted sound goes to); when neither is set the ALSA
// device KORVAL_PSK31_DEVICE (else "default") takes both.
inline constexpr const char* PskInputVariable = "KORVAL_PSK31_INPUT";
inline constexpr const char* PskOutputVariable = "KORVAL_PSK31_OUTPUT";
inline constexpr const char* PskDeviceVariable = "KORVAL_PSK31_DEVICE";

std::unique_ptr<TPskSoundCard> SoundCardFromEnvironment();

} // namespace korval
