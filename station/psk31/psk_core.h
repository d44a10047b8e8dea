#pragma once
// The sound-card PSK31 engine as the terminal window drives it: 22 calls in, 5 notifications
// out. TPskModem is the real one; tests put a scripted engine in its place.
//
// Meaning of the values (all integers, channel 0 or 1):
//   fnStartSoundCard(events, card, channels)   0 on success, else fnGetErrorString tells why
//   fnSetFFTMode(smoothing, scale, range)      spectrum averaging over smoothing + 1 frames;
//                                              values 0..scale; range: dB shown above the floor
//   fnSetRXPSKMode(mode, ch), fnStartTX(mode)  mode 0: BPSK31 (the only one)
//   fnSetAFCLimit(hz, ch)                      how far AFC may pull from the set frequency; 0 off
//   fnSetSquelchThreshold(percent, slow, ch)   decode only above this signal quality; slow
//                                              averages the quality meter longer
//   fnSetRXFrequency(hz, capture, ch)          capture > 0: snap to the centre of a signal
//                                              found within +-capture Hz
//   fnGetFFTData(buffer, first, last)          display values of bins first..last; returns 1
//                                              while the input is overloaded
//   fnGetVectorData(buffer, ch)                the last 16 symbol vectors, x and y in -100..100
//   fnSendTXCharacter(c, 0)                    text; (1, 1) ends the transmission there,
//                                              (2, 1) sends the CW identification there
//   fnSetCWIDSpeed(n)                          10 * (n + 1) words per minute
//   fnGetClosestPeak(from, to)                 the first signal from 'from' towards 'to'; 0 none
#include <string>

namespace korval {

inline constexpr int PskSampleRate = 8000;
inline constexpr int PskFftSize = 2048;
inline constexpr double PskBinHz = static_cast<double>(PskSampleRate) / PskFftSize;  // 3.90625
inline constexpr int PskVectorCount = 16;

// Transmitter states of TxStatus.
enum TPskTxStatus : int { tsEnded = 0, tsTransmitting = 1, tsCpuBusy = 2, tsError = 3 };

// The notifications. They come from the engine's own thread; a window must carry them over to
// its own thread before it touches anything.
class TPskCoreEvents {
public:
    virtual ~TPskCoreEvents() = default;
    // New spectrum and meter: channel 0's frequency (Hz) and its signal quality (0..100).
    virtual void DisplayData(int rxFrequency, int level) = 0;
    virtual void RxChar(int ch, int channel) = 0;
    virtual void TxStatus(int status) = 0;
    virtual void Imd(int dB, int channel) = 0;
    virtual void ClockError(int ppm, int channel) = 0;
};

class TPskCore {
public:
    virtual ~TPskCore() = default;
    virtual int fnStartSoundCard(TPskCoreEvents* events, int card, int channels) = 0;
    virtual void fnStopSoundCard() = 0;
    // The last error, at most 50 characters.
    virtual std::string fnGetErrorString() = 0;
    virtual void fnSetFFTMode(int smoothing, int scale, int range) = 0;
    virtual void fnSetRXPSKMode(int mode, int channel) = 0;
    virtual void fnSetAFCLimit(int hz, int channel) = 0;
    virtual void fnSetSquelchThreshold(int threshold, int slow, int channel) = 0;
    virtual void fnSetRXFrequency(int hz, int capture, int channel) = 0;
    virtual int fnGetRXFrequency(int channel) = 0;
    virtual int fnGetFFTData(int* buffer, int firstBin, int lastBin) = 0;
    virtual void fnGetVectorData(int* buffer, int channel) = 0;
    virtual void fnSetTXFrequency(int hz) = 0;
    virtual void fnStartTX(int mode) = 0;
    virtual void fnStopTX() = 0;
    virtual void fnAbortTX() = 0;
    virtual void fnClearTXBuffer() = 0;
    virtual int fnGetTXCharsRemaining() = 0;
    virtual void fnSendTXCharacter(int ch, int control) = 0;
    virtual void fnSetCWIDString(const std::string& text) = 0;
    virtual void fnSetCWIDSpeed(int speed) = 0;
    virtual int fnGetClosestPeak(int fromHz, int toHz) = 0;
    virtual void fnRewindInput() = 0;
};

} // namespace korval
