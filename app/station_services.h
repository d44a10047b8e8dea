#pragma once
// The station's threads as the main window runs them: the spot announcer (started with the
// window) and the CW sender (started when the window is first shown), with the sound card,
// side tone and keying lines they work on. Shutdown ends both and releases key and PTT before
// anything they use goes away.
#include <memory>

#include "station/snd_thread.h"

namespace korval {

class TAlsaSideTone;
class TAlsaSound;
class TMorseSender;

class TStationServices : private TAnnounceHost {
public:
    TStationServices();
    ~TStationServices() override;

    // The announcement thread, running from here on.
    void StartAnnouncer();
    // The CW sender of the program (MorseSender()), running from here on.
    void StartSender();
    // Ends both threads (key and PTT released); safe to call more than once.
    void Shutdown();

    // Where the spot list queues its announcements (null before StartAnnouncer).
    TSpotAnnouncer* Announcer() const { return announcer_.get(); }
    // True while no CW is being sent (idle-time work waits for it otherwise).
    bool SenderIdle() const;

private:
    // TAnnounceHost
    void Beep() override;
    void SendMorse(const std::string& text) override;
    bool SpeakingBlocked() override;

    std::unique_ptr<TAlsaSound> sound_;
    std::unique_ptr<Tsndthread> announcer_;
    std::shared_ptr<TAlsaSideTone> tone_;
    std::unique_ptr<TMorseSender> sender_;
};

} // namespace korval
