#pragma once
// Announcements of new spots: a beep, Morse on the keyer's side tone, or spoken words played
// from the sounds folder, one WAV file per token. A thread of its own works through a queue of
// at most 10 spots, so a burst of spots neither blocks the window nor piles up.
//
// The queue interface (what the spot list and the cluster terminal call): Announce (Add) queues
// a copy of a spot, dropping the oldest waiting one beyond 10; CancelAll (Clear) empties the
// queue and ends the announcement being spoken at its next token.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "station/spot_list.h"
#include "station/spot_record.h"

namespace korval {

// What an announcement needs of the program around it.
class TAnnounceHost {
public:
    virtual ~TAnnounceHost() = default;
    // The operator's attention sound.
    virtual void Beep() = 0;
    // Text for the CW sender ("<...>" plays it on the side tone only).
    virtual void SendMorse(const std::string& text) = 0;
    // True while spoken announcements must not be heard (the queue is then discarded).
    virtual bool SpeakingBlocked() { return false; }
};

// Plays the token's file (Tsndthread::TokenFileName, found in soundsDir without regard to case)
// to its end; false when the file is missing or did not play.
bool PlaySoundToken(TSoundOutput& sound, const std::string& soundsDir, const std::string& token);

class Tsndthread : public TSpotAnnouncer {
public:
    static constexpr std::size_t QueueLimit = 10;
    static constexpr int TokenPauseMs = 250;
    static constexpr int SpotPauseMs = 500;

    // soundsDir: the folder of the token files (the Korval home's sounds/).
    Tsndthread(TAnnounceHost& host, TSoundOutput& sound, std::string soundsDir);
    ~Tsndthread() override;
    Tsndthread(const Tsndthread&) = delete;
    Tsndthread& operator=(const Tsndthread&) = delete;

    void Start();
    void Stop();

    // Content 0 (from the configuration) beeps at once in the caller's thread; other contents
    // queue a copy of the spot with what is to be said, taken from the configuration now.
    void Add(const TSpotRecord& spot);
    void Clear();
    void Announce(const TSpotRecord& spot) override { Add(spot); }
    void CancelAll() override { Clear(); }
    // The spots waiting, oldest first.
    std::vector<TSpotRecord> Queued() const;

    // Announces the first queued spot in the caller's thread; false when none was waiting.
    // (The thread runs this; tests call it directly.)
    bool AnnounceNext();
    // Plays sounds/<token>.WAV ("." written "_", "/" as "stroke"), found without regard to case;
    // a missing file is skipped.
    void PlayToken(const std::string& token);
    // The file name of a token.
    static std::string TokenFileName(const std::string& token);
    // Every token an announcement can ask for: reasons, band short names in both naming styles,
    // mode names, letters, digits and "stroke".
    static std::vector<std::string> AllTokens();

private:
    struct TQueued {
        TSpotRecord spot;
        int content = 0;
        std::string morse;                // content 1
        std::vector<std::string> tokens;  // content 2..5, each but the call's characters followed by a pause
        std::size_t callStart = 0;        // the first token of the call
    };
    void Run();
    void Speak(const TQueued& item);
    bool Cancelled() const;

    TAnnounceHost& host_;
    TSoundOutput& sound_;
    std::string soundsDir_;
    mutable std::mutex mu_;
    std::condition_variable cv_;
    std::deque<TQueued> queue_;
    bool cancelled_ = false;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace korval
