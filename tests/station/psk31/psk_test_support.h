#pragma once
// Sound for the modem tests: transmissions made by our transmitter, white noise at a given
// signal-to-noise ratio, and a receiver run over a whole recording.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "station/psk31/psk_receiver.h"
#include "station/psk31/psk_transmitter.h"

namespace korval::psktest {

// The whole transmission of text on hz, with leadIn seconds of silence before it and leadOut
// after it.
inline std::vector<float> Transmit(const std::string& text, double hz, double leadIn = 0.5, double leadOut = 0.5)
{
    TPskTransmitter tx;
    tx.SetFrequency(hz);
    tx.Start();
    for (unsigned char c : text)
        tx.Send(c, false);
    tx.Stop();
    std::vector<float> sound(static_cast<std::size_t>(leadIn * 8000), 0.0f);
    float block[256];
    while (tx.Active()) {
        const int n = tx.Render(block, 256);
        sound.insert(sound.end(), block, block + n);
    }
    sound.resize(sound.size() + static_cast<std::size_t>(leadOut * 8000), 0.0f);
    return sound;
}

inline double MeanPower(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return sum / static_cast<double>(to - from);
}

// Adds white noise so that the signal power over the noise power within 3 kHz is snrDb.
inline void AddNoise(std::vector<float>& x, double signalPower, double snrDb, unsigned seed = 7)
{
    // White noise spreads its power evenly up to 4 kHz; 3 kHz of it hold three quarters.
    const double noisePower = signalPower / std::pow(10, snrDb / 10) * 4.0 / 3.0;
    std::mt19937 gen(seed);
    std::normal_distribution<double> n(0, std::sqrt(noisePower));
    for (float& v : x)
        v = static_cast<float>(v + n(gen));
}

struct TReceived {
    std::string text[2];
    std::vector<int> imd, clock;
    std::vector<int> frequencies;  // channel 0's, one per display frame
};

inline TReceived Receive(TPskReceiver& rx, const std::vector<float>& sound)
{
    TReceived out;
    std::vector<TPskEvent> events;
    rx.Process(sound.data(), static_cast<int>(sound.size()), events);
    for (const TPskEvent& e : events) {
        switch (e.kind) {
        case TPskEvent::Char: out.text[e.channel] += static_cast<char>(e.value); break;
        case TPskEvent::Imd: if (e.channel == 0) out.imd.push_back(e.value); break;
        case TPskEvent::ClockError: if (e.channel == 0) out.clock.push_back(e.value); break;
        case TPskEvent::Display: out.frequencies.push_back(e.value); break;
        }
    }
    return out;
}

// Printable ASCII, every character at least ten times, in a fixed shuffled order.
inline std::string PrintableText(std::size_t length, unsigned seed = 31)
{
    std::string s;
    for (std::size_t i = 0; i < length; ++i)
        s += static_cast<char>(32 + i % 95);
    std::shuffle(s.begin(), s.end(), std::mt19937(seed));
    return s;
}

// Edit distance: characters lost, added or changed.
inline std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

} // namespace korval::psktest
