#pragma once
// The panorama: sweeps the radio 1 kHz a step across a span around a centre frequency and
// hands each step's S-meter reading to the window as a bar; or follows the radio, making its
// frequency the centre. One step per tick of the host's timer, so closing the window between
// ticks is always safe.
#include "station/cat_radio.h"

#include <cstdint>

namespace korval {

class TPanoramaHost {
public:
    virtual ~TPanoramaHost() = default;
    virtual void StartTrigger(int ms) = 0;
    virtual void StopTrigger() = 0;
    // The reading of the step at pixel column x.
    virtual void DrawBar(int x, std::uint8_t s) { (void)x; (void)s; }
    virtual void ShowCenter(double kHz) { (void)kHz; }
};

class TPanoramaEngine {
public:
    enum TActivity { paFollowing, paScanning, paStopped };
    static constexpr int StepPixels = 6;
    static constexpr int StepMs = 10;        // between sweep steps
    static constexpr int FollowPollMs = 250;  // between reads while following the radio

    TPanoramaEngine(TCatRadio* radio, TPanoramaHost& host, int imageWidth);

    TActivity Activity() const { return activity_; }
    double Center() const { return center_; }
    int Steps() const { return steps_; }

    // On show: the radio's frequency becomes the centre.
    void ReadCenterFromRadio();
    // "Start scan", "New center freq from radio", "Cancel".
    void StartScan();
    void FollowRadio();
    void Cancel();
    // The frequency under pixel column x; a right click also stops and tunes there.
    double FrequencyAt(int x) const;
    void RightClick(int x);
    void Tick();

    // Rows of a bar for reading s: in the text colour up to S9, in red above.
    static int TextRows(std::uint8_t s) { return s < 9 ? s : 9; }
    static int RedRows(std::uint8_t s) { return s > 9 ? s - 9 : 0; }

private:
    void SweepStep();
    void FollowStep();

    TCatRadio* radio_;
    TPanoramaHost& host_;
    int width_;
    int steps_;
    double center_ = 14175.0;
    TActivity activity_ = paStopped;
    int x_ = 0;
    double freq_ = 0;
};

} // namespace korval
