#pragma once
// Sound for the station: WAV files played to their end (spoken announcements) and the CW side
// tone, each behind an interface with a recording stand-in for tests. The sound card itself is
// reached through ALSA (alsa_sound.h).
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace korval {

class TSoundOutput {
public:
    virtual ~TSoundOutput() = default;
    // Plays a WAV file to its end before returning. False when it could not be played.
    virtual bool PlayWav(const std::string& path) = 0;
    // Silence between two sounds.
    virtual void Pause(int ms) = 0;
};

// Records "play <file name>" and "pause <ms>" in order; plays and waits for nothing.
class TRecordingSound : public TSoundOutput {
public:
    bool PlayWav(const std::string& path) override;
    void Pause(int ms) override;
    std::vector<std::string> Events() const;
    // Runs after each recorded play (tests cancel an announcement from here).
    std::function<void(const std::string& name)> OnPlay;

private:
    mutable std::mutex mu_;
    std::vector<std::string> events_;
};

class TSideTone {
public:
    virtual ~TSideTone() = default;
    virtual void On(int hz) = 0;
    virtual void Off() = 0;
};

// Records the tone's changes: the frequency when it starts, 0 when it stops.
class TRecordingSideTone : public TSideTone {
public:
    void On(int hz) override;
    void Off() override;
    std::vector<int> Events() const;

private:
    mutable std::mutex mu_;
    std::vector<int> events_;
};

} // namespace korval
