#include "platform/alsa_sound.h"

#include <alsa/asoundlib.h>

#include <algorithm>

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "platform/wav_file.h"

namespace korval {

namespace {

// ALSA writes its own complaints to stderr; the program reports what matters itself.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&QuietAlsa); });
}

snd_pcm_format_t FormatOf(int bits)
{
    switch (bits) {
    case 8: return SND_PCM_FORMAT_U8;
    case 16: return SND_PCM_FORMAT_S16_LE;
    case 24: return SND_PCM_FORMAT_S24_3LE;
    default: return SND_PCM_FORMAT_S32_LE;
    }
}

// Writes all frames, recovering from under-runs; false when the device fails for good.
bool WriteAll(snd_pcm_t* pcm, const char* data, snd_pcm_uframes_t frames, std::size_t frameBytes)
{
    while (frames > 0) {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm, data, frames);
        if (n < 0) {
            if (snd_pcm_recover(pcm, static_cast<int>(n), 1) < 0)
                return false;
            continue;
        }
        data += static_cast<std::size_t>(n) * frameBytes;
        frames -= static_cast<snd_pcm_uframes_t>(n);
    }
    return true;
}

// The largest WAV file played; a spoken word is a few tens of kilobytes.
constexpr std::streamsize MaxWavBytes = 32 * 1024 * 1024;

} // namespace

std::string NoSoundDeviceText(const std::string& device, const std::string& reason)
{
    return "No sound device: " + device + " (" + reason + ")";
}

int AlsaPlaybackDeviceCount()
{
    SilenceAlsaOnce();
    int count = 0;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        snd_ctl_t* ctl = nullptr;
        const std::string name = "hw:" + std::to_string(card);
        if (snd_ctl_open(&ctl, name.c_str(), 0) < 0)
            continue;
        snd_pcm_info_t* info = nullptr;
        snd_pcm_info_alloca(&info);
        int device = -1;
        while (snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0) {
            snd_pcm_info_set_device(info, static_cast<unsigned>(device));
            snd_pcm_info_set_subdevice(info, 0);
            snd_pcm_info_set_stream(info, SND_PCM_STREAM_PLAYBACK);
            if (snd_ctl_pcm_info(ctl, info) >= 0)
                ++count;
        }
        snd_ctl_close(ctl);
    }
    return count;
}

TAlsaSound::TAlsaSound(std::string device, TSoundErrorHandler onError)
    : device_(std::move(device)), onError_(std::move(onError))
{
    SilenceAlsaOnce();
}

void TAlsaSound::Report(const std::string& text)
{
    if (onError_ && !reported_.exchange(true))
        onError_(text);
}

bool TAlsaSound::PlayWav(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(MaxWavBytes));
    in.read(bytes.data(), MaxWavBytes);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    TWavData wav;
    std::string error;
    if (!ParseWav(bytes, wav, error))
        return false;
    snd_pcm_t* pcm = nullptr;
    if (int rc = snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, 0); rc < 0) {
        Report(NoSoundDeviceText(device_, snd_strerror(rc)));
        return false;
    }
    bool ok = snd_pcm_set_params(pcm, FormatOf(wav.bitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED,
                                 static_cast<unsigned>(wav.channels), static_cast<unsigned>(wav.sampleRate), 1,
                                 200000) == 0;
    if (ok)
        ok = WriteAll(pcm, wav.samples.data(), wav.Frames(), static_cast<std::size_t>(wav.FrameBytes()));
    if (ok)
        snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    return ok;
}

void TAlsaSound::Pause(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TAlsaSideTone::TAlsaSideTone(std::string device, TSoundErrorHandler onError)
    : device_(std::move(device)), onError_(std::move(onError))
{
    SilenceAlsaOnce();
    thread_ = std::thread([this] { Run(); });
}

TAlsaSideTone::~TAlsaSideTone()
{
    {
        std::lock_guard lock(mu_);
        stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void TAlsaSideTone::On(int hz)
{
    if (hz <= 0 || failed_)
        return;
    hz_ = hz;
    cv_.notify_all();
}

void TAlsaSideTone::Off()
{
    hz_ = 0;
}

void TAlsaSideTone::Run()
{
    constexpr unsigned Rate = 48000;
    constexpr int PeriodFrames = 96;                  // 2 ms a write
    constexpr double RampStep = 1.0 / (0.004 * Rate); // 4 ms from silence to full tone
    constexpr int IdlePeriods = 2000 / 2;             // the device is given back after 2 s
    std::vector<std::int16_t> buffer(PeriodFrames);
    for (;;) {
        {
            std::unique_lock lock(mu_);
            cv_.wait(lock, [this] { return stop_ || hz_ > 0; });
            if (stop_)
                return;
        }
        snd_pcm_t* pcm = nullptr;
        int rc = snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
        if (rc >= 0)
            rc = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, Rate, 1, 10000);
        if (rc < 0) {
            if (pcm)
                snd_pcm_close(pcm);
            failed_ = true;
            hz_ = 0;
            if (onError_)
                onError_(NoSoundDeviceText(device_, snd_strerror(rc)));
            return;
        }
        double phase = 0, level = 0;
        int freq = hz_;
        int silent = 0;
        bool ok = true;
        while (ok && silent < IdlePeriods) {
            {
                std::lock_guard lock(mu_);
                if (stop_)
                    break;
            }
            const int want = hz_;
            if (want > 0)
                freq = want;
            for (auto& s : buffer) {
                level = want > 0 ? std::min(1.0, level + RampStep) : std::max(0.0, level - RampStep);
                s = static_cast<std::int16_t>(std::lround(12000.0 * level * std::sin(phase)));
                phase += 2 * std::numbers::pi * freq / Rate;
                if (phase > 2 * std::numbers::pi)
                    phase -= 2 * std::numbers::pi;
            }
            silent = (want == 0 && level == 0) ? silent + 1 : 0;
            ok = WriteAll(pcm, reinterpret_cast<const char*>(buffer.data()), PeriodFrames, sizeof(std::int16_t));
        }
        snd_pcm_drop(pcm);
        snd_pcm_close(pcm);
        if (!ok) {
            failed_ = true;
            return;
        }
    }
}

} // namespace korval
