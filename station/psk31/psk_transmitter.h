#pragma once
// The PSK31 transmitter: typed characters become their alphabet codes, each followed by two 0
// bits; a 0 bit reverses the carrier's phase, a 1 bit keeps it, at 31.25 symbols a second, the
// amplitude passing through zero along a cosine at each reversal. A transmission opens with a
// second of reversals and closes with a second of steady carrier; the CW identification is
// keyed on the same tone.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace korval {

class TPskTransmitter {
public:
    // Peak amplitude of the sound, of full scale 1.0.
    static constexpr float Amplitude = 0.5f;
    static constexpr int PreambleSymbols = 32;
    static constexpr int PostambleSymbols = 32;

    void SetFrequency(double hz);
    double Frequency() const { return freq_; }
    void SetCwId(std::string text) { cwId_ = std::move(text); }
    // 10 * (speed + 1) words a minute.
    void SetCwIdSpeed(int speed);

    // Begins a transmission (when none is running, or takes back an end not yet sent).
    void Start();
    // Ends the transmission once all queued text has gone.
    void Stop();
    // Ends it now, with a short fade so that the radio makes no click.
    void Abort();
    // Forgets the queued text.
    void Clear() { queue_.clear(); }
    // Silent at once, nothing queued (the sound card went away).
    void Reset();
    // Characters and control codes still waiting to be sent.
    int Remaining() const { return static_cast<int>(queue_.size()); }
    // Queues a character (control false) or a control code: 1 ends the transmission there,
    // 2 sends the CW identification there.
    void Send(int ch, bool control);

    // True from Start until the last sample of the transmission has been rendered.
    bool Active() const { return state_ != sOff; }
    // Fills out with the next n samples (silence when not active); returns how many of them
    // still belong to the transmission.
    int Render(float* out, int n);

private:
    enum TState { sOff, sPreamble, sData, sPostamble, sFadeOut, sCwGap, sCw };
    struct TItem {
        int ch;
        bool control;
    };
    // Chooses the next symbol's value (+1, -1, or 0 for silence) and moves the state on.
    float NextSymbol();
    bool NextBit(int& bit);
    void BeginCw();
    float CwSample();

    TState state_ = sOff;
    std::deque<TItem> queue_;
    std::vector<std::uint8_t> bits_;
    std::size_t bitPos_ = 0;
    bool stopAfterQueue_ = false;
    bool cwAfterPostamble_ = false;
    int count_ = 0;
    float from_ = 0, to_ = 0;      // the symbol being rendered goes from one value to the other
    int sample_ = 256;             // position in it
    double freq_ = 1000, phase_ = 0;
    std::string cwId_;
    int cwSpeed_ = 1;
    std::vector<std::uint8_t> cwKey_;   // key state per dot
    std::size_t cwPos_ = 0;
    int cwSample_ = 0;
    float cwEnvelope_ = 0;
};

} // namespace korval
