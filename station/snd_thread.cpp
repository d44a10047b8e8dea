#include "station/snd_thread.h"

#include <cctype>
#include <chrono>
#include <filesystem>

#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "platform/korval_home.h"
#include "platform/precise_clock.h"

namespace korval {

namespace {

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

const char* ReasonToken(char reason)
{
    switch (reason) {
    case '1': return "Country";
    case '2': return "mode";
    case '3': return "bandmode";
    default: return nullptr;
    }
}

} // namespace

Tsndthread::Tsndthread(TAnnounceHost& host, TSoundOutput& sound, std::string soundsDir)
    : host_(host), sound_(sound), soundsDir_(std::move(soundsDir)) {}

Tsndthread::~Tsndthread()
{
    Stop();
}

void Tsndthread::Start()
{
    if (thread_.joinable())
        return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void Tsndthread::Stop()
{
    {
        std::lock_guard lock(mu_);
        stop_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void Tsndthread::Add(const TSpotRecord& spot)
{
    TQueued item;
    item.spot = spot;
    item.content = Config.AnnounceContent();
    if (item.content <= 0) {
        host_.Beep();
        return;
    }
    if (item.content == 1) {
        item.morse = Upper("<" + BandName(spot.band) + " " + ModeName(spot.mode) + " " + spot.call + "> ");
    } else {
        const char* reason = TSpotList::InCommaList(Config.CallAlertList(), spot.call) ? "callsign"
                                                                                     : ReasonToken(spot.reason);
        if (reason)
            item.tokens.push_back(reason);
        if (item.content == 3 || item.content == 5)
            item.tokens.push_back(BandShortName(spot.band));
        if (item.content == 4 || item.content == 5)
            item.tokens.push_back(ModeName(spot.mode));
        item.callStart = item.tokens.size();
        for (char c : spot.call)
            item.tokens.emplace_back(1, c);
    }
    {
        std::lock_guard lock(mu_);
        queue_.push_back(std::move(item));
        if (queue_.size() > QueueLimit)
            queue_.pop_front();
    }
    cv_.notify_all();
}

void Tsndthread::Clear()
{
    std::lock_guard lock(mu_);
    queue_.clear();
    cancelled_ = true;
}

std::vector<TSpotRecord> Tsndthread::Queued() const
{
    std::lock_guard lock(mu_);
    std::vector<TSpotRecord> spots;
    for (const TQueued& q : queue_)
        spots.push_back(q.spot);
    return spots;
}

bool Tsndthread::Cancelled() const
{
    std::lock_guard lock(mu_);
    return cancelled_ || stop_;
}

bool Tsndthread::AnnounceNext()
{
    TQueued item;
    {
        std::unique_lock lock(mu_);
        if (queue_.empty()) {
            cancelled_ = false;
            return false;
        }
        if (queue_.front().content >= 2) {
            lock.unlock();
            const bool blocked = host_.SpeakingBlocked();
            lock.lock();
            if (blocked) {
                queue_.clear();
                return false;
            }
            if (queue_.empty())
                return false;
        }
        item = std::move(queue_.front());
        queue_.pop_front();
    }
    if (item.content == 1)
        host_.SendMorse(item.morse);
    else if (item.content >= 2)
        Speak(item);
    else
        host_.Beep();
    return true;
}

void Tsndthread::Speak(const TQueued& item)
{
    for (std::size_t i = 0; i < item.tokens.size(); ++i) {
        if (Cancelled())
            return;
        PlayToken(item.tokens[i]);
        if (i < item.callStart)
            sound_.Pause(TokenPauseMs);
    }
}

void Tsndthread::Run()
{
    LowerThreadPriority(); // announcements may wait; the windows and the keyer may not
    std::unique_lock lock(mu_);
    while (!stop_) {
        if (queue_.empty()) {
            cancelled_ = false;
            cv_.wait_for(lock, std::chrono::milliseconds(100), [this] { return stop_ || !queue_.empty(); });
            continue;
        }
        lock.unlock();
        const bool announced = AnnounceNext();
        lock.lock();
        if (announced)
            cv_.wait_for(lock, std::chrono::milliseconds(SpotPauseMs), [this] { return stop_; });
    }
}

std::string Tsndthread::TokenFileName(const std::string& token)
{
    std::string name = token == "/" ? "stroke" : token;
    for (char& c : name)
        if (c == '.')
            c = '_';
    return name + ".WAV";
}

bool PlaySoundToken(TSoundOutput& sound, const std::string& soundsDir, const std::string& token)
{
    const std::string path = FindFileNoCase(soundsDir, Tsndthread::TokenFileName(token));
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && sound.PlayWav(path);
}

void Tsndthread::PlayToken(const std::string& token)
{
    PlaySoundToken(sound_, soundsDir_, token);
}

std::vector<std::string> Tsndthread::AllTokens()
{
    std::vector<std::string> tokens{"callsign", "Country", "mode", "bandmode", "/"};
    auto add = [&tokens](const std::string& t) {
        for (const std::string& have : tokens)
            if (Upper(have) == Upper(t))
                return;
        tokens.push_back(t);
    };
    for (int band = 1; band <= BandCount; ++band) {
        add(BandInfo(band).Key);
        add(BandInfo(band).FreqKey);
    }
    for (int mode = 1; mode <= ModeCount; ++mode)
        add(ModeName(mode));
    for (char c = 'A'; c <= 'Z'; ++c)
        add(std::string(1, c));
    for (char c = '0'; c <= '9'; ++c)
        add(std::string(1, c));
    return tokens;
}

} // namespace korval
