#include "platform/sound.h"

#include <filesystem>

namespace korval {

bool TRecordingSound::PlayWav(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    {
        std::lock_guard lock(mu_);
        events_.push_back("play " + name);
    }
    if (OnPlay)
        OnPlay(name);
    return true;
}

void TRecordingSound::Pause(int ms)
{
    std::lock_guard lock(mu_);
    events_.push_back("pause " + std::to_string(ms));
}

std::vector<std::string> TRecordingSound::Events() const
{
    std::lock_guard lock(mu_);
    return events_;
}

void TRecordingSideTone::On(int hz)
{
    std::lock_guard lock(mu_);
    events_.push_back(hz);
}

void TRecordingSideTone::Off()
{
    std::lock_guard lock(mu_);
    events_.push_back(0);
}

std::vector<int> TRecordingSideTone::Events() const
{
    std::lock_guard lock(mu_);
    return events_;
}

} // namespace korval
