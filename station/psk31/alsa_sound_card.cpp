#include "station/psk31/alsa_sound_card.h"

#include <alsa/asoundlib.h>
#include <algorithm>
#include <cmath>
#include <vector>

#include "station/psk31/psk_core.h"

namespace korval {
namespace {

std::string AlsaError(const std::string& what, int code)
{
    return what + ": " + snd_strerror(code);
}

int OpenStream(snd_pcm_t** pcm, const std::string& device, snd_pcm_stream_t stream, unsigned latencyUs)
{
    int rc = snd_pcm_open(pcm, device.c_str(), stream, 0);
    if (rc < 0)
        return rc;
    rc = snd_pcm_set_params(*pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, PskSampleRate, 1,
                            latencyUs);
    if (rc < 0) {
        snd_pcm_close(*pcm);
        *pcm = nullptr;
    }
    return rc;
}

} // namespace

bool TAlsaSoundCard::Open(std::string& error)
{
    Close();
    // Half a second of input may wait while a transmission is played out.
    int rc = OpenStream(&capture_, device_, SND_PCM_STREAM_CAPTURE, 500000);
    if (rc < 0) {
        error = AlsaError(device_ + " input", rc);
        return false;
    }
    rc = OpenStream(&playback_, device_, SND_PCM_STREAM_PLAYBACK, 200000);
    if (rc < 0) {
        error = AlsaError(device_ + " output", rc);
        Close();
        return false;
    }
    rc = snd_pcm_start(capture_);
    if (rc < 0) {
        error = AlsaError(device_ + " input", rc);
        Close();
        return false;
    }
    return true;
}

void TAlsaSoundCard::Close()
{
    if (capture_)
        snd_pcm_close(capture_);
    if (playback_)
        snd_pcm_close(playback_);
    capture_ = playback_ = nullptr;
}

bool TAlsaSoundCard::Read(float* x, int n, bool& overrun, std::string& error)
{
    overrun = false;
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(n));
    int got = 0;
    while (got < n) {
        const snd_pcm_sframes_t rc = snd_pcm_readi(capture_, buffer.data() + got, static_cast<snd_pcm_uframes_t>(n - got));
        if (rc == -EPIPE || rc == -ESTRPIPE || rc == -EINTR) {
            overrun = overrun || rc == -EPIPE;
            if (snd_pcm_recover(capture_, static_cast<int>(rc), 1) < 0 || snd_pcm_start(capture_) < 0) {
                error = AlsaError("input", static_cast<int>(rc));
                return false;
            }
            continue;
        }
        if (rc < 0) {
            error = AlsaError("input", static_cast<int>(rc));
            return false;
        }
        got += static_cast<int>(rc);
    }
    for (int i = 0; i < n; ++i)
        x[i] = buffer[static_cast<std::size_t>(i)] / 32768.0f;
    return true;
}

bool TAlsaSoundCard::BeginTransmission(std::string& error)
{
    const int rc = snd_pcm_prepare(playback_);
    if (rc < 0) {
        error = AlsaError("output", rc);
        return false;
    }
    return true;
}

bool TAlsaSoundCard::Write(const float* x, int n, std::string& error)
{
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        buffer[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(std::clamp(x[i], -1.0f, 32767.0f / 32768.0f) * 32768.0f));
    int put = 0;
    while (put < n) {
        const snd_pcm_sframes_t rc = snd_pcm_writei(playback_, buffer.data() + put, static_cast<snd_pcm_uframes_t>(n - put));
        if (rc == -EPIPE || rc == -ESTRPIPE || rc == -EINTR) {
            if (snd_pcm_recover(playback_, static_cast<int>(rc), 1) < 0) {
                error = AlsaError("output", static_cast<int>(rc));
                return false;
            }
            continue;
        }
        if (rc < 0) {
            error = AlsaError("output", static_cast<int>(rc));
            return false;
        }
        put += static_cast<int>(rc);
    }
    return true;
}

void TAlsaSoundCard::EndTransmission()
{
    snd_pcm_drain(playback_);
}

} // namespace korval
