#include "station/psk31/psk_transmitter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string_view>

#include "station/psk31/psk_core.h"
#include "station/psk31/varicode.h"

namespace korval {
namespace {

constexpr int kSymbolSamples = 256;
constexpr int kCwEdgeSamples = 40;   // 5 ms rise and fall

// The cosine path from one symbol value to the next.
const std::array<float, kSymbolSamples>& Shape()
{
    static const std::array<float, kSymbolSamples> shape = [] {
        std::array<float, kSymbolSamples> s {};
        for (int i = 0; i < kSymbolSamples; ++i)
            s[static_cast<std::size_t>(i)] =
                static_cast<float>((1 - std::cos(std::numbers::pi * i / kSymbolSamples)) / 2);
        return s;
    }();
    return shape;
}

std::string_view Morse(char c)
{
    static constexpr std::string_view letters[26] = {
        ".-", "-...", "-.-.", "-..", ".", "..-.", "--.", "....", "..", ".---", "-.-", ".-..", "--",
        "-.", "---", ".--.", "--.-", ".-.", "...", "-", "..-", "...-", ".--", "-..-", "-.--", "--.."};
    static constexpr std::string_view digits[10] = {"-----", ".----", "..---", "...--", "....-",
                                                    ".....", "-....", "--...", "---..", "----."};
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'Z')
        return letters[c - 'A'];
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    switch (c) {
    case '/': return "-..-.";
    case '?': return "..--..";
    case '.': return ".-.-.-";
    case ',': return "--..--";
    case '=': return "-...-";
    case '-': return "-....-";
    default: return {};
    }
}

} // namespace

void TPskTransmitter::SetFrequency(double hz)
{
    freq_ = std::clamp(hz, 50.0, PskSampleRate / 2.0 - 50);
}

void TPskTransmitter::SetCwIdSpeed(int speed)
{
    cwSpeed_ = std::clamp(speed, 0, 5);
}

void TPskTransmitter::Start()
{
    if (state_ == sOff) {
        state_ = sPreamble;
        count_ = PreambleSymbols;
        to_ = 0;
        sample_ = kSymbolSamples;
        phase_ = 0;
        stopAfterQueue_ = false;
        cwAfterPostamble_ = false;
    } else if (state_ == sPostamble) {
        state_ = sData;
        stopAfterQueue_ = false;
        cwAfterPostamble_ = false;
    } else if (state_ == sPreamble || state_ == sData) {
        stopAfterQueue_ = false;
    }
}

void TPskTransmitter::Stop()
{
    if (state_ != sOff)
        stopAfterQueue_ = true;
}

void TPskTransmitter::Abort()
{
    stopAfterQueue_ = false;
    cwAfterPostamble_ = false;
    if (state_ == sPreamble || state_ == sData || state_ == sPostamble) {
        state_ = sPostamble;
        count_ = 0;
    } else if (state_ == sCw || state_ == sCwGap) {
        state_ = sOff;
    }
}

void TPskTransmitter::Reset()
{
    state_ = sOff;
    queue_.clear();
    bits_.clear();
    bitPos_ = 0;
    stopAfterQueue_ = cwAfterPostamble_ = false;
    to_ = 0;
}

void TPskTransmitter::Send(int ch, bool control)
{
    queue_.push_back({ch & 0xFF, control});
}

bool TPskTransmitter::NextBit(int& bit)
{
    while (bitPos_ >= bits_.size()) {
        bits_.clear();
        bitPos_ = 0;
        if (queue_.empty()) {
            if (stopAfterQueue_) {
                state_ = sPostamble;
                count_ = PostambleSymbols;
                return false;
            }
            bit = 0;  // idle: reversals
            return true;
        }
        const TItem item = queue_.front();
        queue_.pop_front();
        if (item.control) {
            if (item.ch == 1 || item.ch == 2) {
                cwAfterPostamble_ = item.ch == 2;
                state_ = sPostamble;
                count_ = PostambleSymbols;
                return false;
            }
            continue;
        }
        // Bytes above 127 are not in the alphabet and are left out.
        for (char b : VaricodeText(static_cast<std::uint8_t>(item.ch)))
            bits_.push_back(b == '1');
        if (!bits_.empty()) {
            bits_.push_back(0);
            bits_.push_back(0);
        }
    }
    bit = bits_[bitPos_++];
    return true;
}

float TPskTransmitter::NextSymbol()
{
    const float prev = to_;
    switch (state_) {
    case sPreamble:
        if (prev == 0)
            return 1;  // the carrier rises in the first symbol
        if (count_ > 0) {
            --count_;
            return -prev;
        }
        state_ = sData;
        [[fallthrough]];
    case sData: {
        int bit = 0;
        if (NextBit(bit))
            return bit ? prev : -prev;
        return NextSymbol();
    }
    case sPostamble:
        if (count_ > 0) {
            --count_;
            return prev;
        }
        state_ = sFadeOut;
        return 0;
    case sFadeOut:
        if (cwAfterPostamble_)
            BeginCw();
        else
            state_ = sOff;
        return 0;
    default:
        return 0;
    }
}

void TPskTransmitter::BeginCw()
{
    cwAfterPostamble_ = false;
    cwKey_.assign(3, 0);
    bool any = false;
    for (char c : cwId_) {
        if (c == ' ') {
            cwKey_.insert(cwKey_.end(), 4, 0);
            continue;
        }
        const std::string_view code = Morse(c);
        if (code.empty())
            continue;
        for (char e : code) {
            cwKey_.insert(cwKey_.end(), e == '-' ? 3 : 1, 1);
            cwKey_.push_back(0);
        }
        cwKey_.insert(cwKey_.end(), 2, 0);
        any = true;
    }
    cwPos_ = 0;
    cwSample_ = 0;
    cwEnvelope_ = 0;
    state_ = any ? sCw : sCwGap;
    if (!any)
        cwKey_.clear();
}

float TPskTransmitter::CwSample()
{
    const int dot = static_cast<int>(1.2 / (10.0 * (cwSpeed_ + 1)) * PskSampleRate);
    const bool key = cwPos_ < cwKey_.size() && cwKey_[cwPos_];
    cwEnvelope_ = std::clamp(cwEnvelope_ + (key ? 1.0f : -1.0f) / kCwEdgeSamples, 0.0f, 1.0f);
    const float smooth = cwEnvelope_ * cwEnvelope_ * (3 - 2 * cwEnvelope_);
    const float v = Amplitude * smooth * static_cast<float>(std::cos(phase_));
    if (++cwSample_ >= dot) {
        cwSample_ = 0;
        ++cwPos_;
    }
    if (cwPos_ >= cwKey_.size()) {
        // Text typed after the identification goes out in a fresh PSK31 transmission.
        if (!queue_.empty()) {
            state_ = sPreamble;
            count_ = PreambleSymbols;
            to_ = 0;
            sample_ = kSymbolSamples;
        } else {
            state_ = sOff;
        }
    }
    return v;
}

int TPskTransmitter::Render(float* out, int n)
{
    const auto& shape = Shape();
    const double step = 2 * std::numbers::pi * freq_ / PskSampleRate;
    int produced = 0;
    for (int i = 0; i < n; ++i) {
        if (sample_ >= kSymbolSamples && (state_ == sPreamble || state_ == sData || state_ == sPostamble ||
                                          state_ == sFadeOut)) {
            from_ = to_;
            to_ = NextSymbol();
            sample_ = 0;
        }
        switch (state_) {
        case sOff:
            out[i] = 0;
            continue;
        case sCw:
        case sCwGap:
            out[i] = CwSample();
            break;
        default: {
            const float a = from_ + (to_ - from_) * shape[static_cast<std::size_t>(sample_)];
            out[i] = Amplitude * a * static_cast<float>(std::cos(phase_));
            ++sample_;
        }
        }
        phase_ = std::fmod(phase_ + step, 2 * std::numbers::pi);
        produced = i + 1;
    }
    return produced;
}

} // namespace korval
