#include "station/psk31/psk_modem.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace korval {
namespace {

constexpr int kBlock = 256;
constexpr std::size_t kErrorLength = 50;

} // namespace

TPskModem::TPskModem(TSoundCardFactory factory) : factory_(std::move(factory))
{
}

TPskModem::~TPskModem()
{
    fnStopSoundCard();
}

int TPskModem::fnStartSoundCard(TPskCoreEvents* events, int, int)
{
    if (running_)
        return 0;
    std::unique_ptr<TPskSoundCard> card = factory_ ? factory_() : nullptr;
    std::string error = card ? std::string() : "no sound card";
    if (!card || !card->Open(error)) {
        std::lock_guard guard(lock_);
        error_ = error;
        return 1;
    }
    card_ = std::move(card);
    events_ = events;
    error_.clear();
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return 0;
}

void TPskModem::fnStopSoundCard()
{
    if (!running_)
        return;
    running_ = false;
    if (thread_.joinable())
        thread_.join();
    card_->Close();
    card_.reset();
    events_ = nullptr;
    std::lock_guard guard(lock_);
    tx_.Reset();
}

std::string TPskModem::fnGetErrorString()
{
    std::lock_guard guard(lock_);
    return error_.substr(0, kErrorLength);
}

void TPskModem::Run()
{
    std::vector<float> in(kBlock), out(kBlock);
    std::vector<TPskEvent> events;
    bool onAir = false, deviceFailed = false;
    auto failed = [&](const std::string& error) {
        {
            std::lock_guard guard(lock_);
            error_ = error;
        }
        if (events_)
            events_->TxStatus(tsError);
    };
    while (running_) {
        bool overrun = false;
        std::string error;
        if (!card_->Read(in.data(), kBlock, overrun, error)) {
            if (!deviceFailed)
                failed(error);
            deviceFailed = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            continue;
        }
        deviceFailed = false;
        events.clear();
        bool sending = false, stillActive = false;
        {
            std::lock_guard guard(lock_);
            rx_.Process(in.data(), kBlock, events);
            if (tx_.Active() || onAir) {
                sending = true;
                tx_.Render(out.data(), kBlock);
                stillActive = tx_.Active();
            }
        }
        if (overrun && events_)
            events_->TxStatus(tsCpuBusy);
        if (sending && !onAir) {
            if (card_->BeginTransmission(error)) {
                onAir = true;
                if (events_)
                    events_->TxStatus(tsTransmitting);
            } else {
                failed(error);
                std::lock_guard guard(lock_);
                tx_.Reset();
            }
        }
        if (onAir) {
            const bool written = card_->Write(out.data(), kBlock, error);
            if (!written) {
                failed(error);
                std::lock_guard guard(lock_);
                tx_.Reset();
            }
            if (!written || !stillActive) {
                card_->EndTransmission();
                onAir = false;
                if (events_)
                    events_->TxStatus(tsEnded);
            }
        }
        if (!events_)
            continue;
        for (const TPskEvent& e : events) {
            switch (e.kind) {
            case TPskEvent::Display: events_->DisplayData(e.value, e.channel); break;
            case TPskEvent::Char: events_->RxChar(e.value, e.channel); break;
            case TPskEvent::Imd: events_->Imd(e.value, e.channel); break;
            case TPskEvent::ClockError: events_->ClockError(e.value, e.channel); break;
            }
        }
    }
    if (onAir)
        card_->EndTransmission();
}

void TPskModem::fnSetFFTMode(int smoothing, int scale, int range)
{
    std::lock_guard guard(lock_);
    rx_.Spectrum().SetMode(smoothing, scale, range);
}

void TPskModem::fnSetRXPSKMode(int, int)
{
    // BPSK31 is the one mode.
}

void TPskModem::fnSetAFCLimit(int hz, int channel)
{
    std::lock_guard guard(lock_);
    if (ValidChannel(channel))
        rx_.Channel(channel).SetAfcLimit(hz);
}

void TPskModem::fnSetSquelchThreshold(int threshold, int slow, int channel)
{
    std::lock_guard guard(lock_);
    if (ValidChannel(channel))
        rx_.Channel(channel).SetSquelch(threshold, slow != 0);
}

void TPskModem::fnSetRXFrequency(int hz, int capture, int channel)
{
    std::lock_guard guard(lock_);
    rx_.Tune(channel, hz, capture);
}

int TPskModem::fnGetRXFrequency(int channel)
{
    std::lock_guard guard(lock_);
    return ValidChannel(channel) ? static_cast<int>(std::lround(rx_.Channel(channel).Frequency())) : 0;
}

int TPskModem::fnGetFFTData(int* buffer, int firstBin, int lastBin)
{
    std::lock_guard guard(lock_);
    return rx_.Spectrum().Values(buffer, firstBin, lastBin) ? 1 : 0;
}

void TPskModem::fnGetVectorData(int* buffer, int channel)
{
    std::lock_guard guard(lock_);
    if (ValidChannel(channel))
        rx_.Channel(channel).Vectors(buffer);
}

void TPskModem::fnSetTXFrequency(int hz)
{
    std::lock_guard guard(lock_);
    tx_.SetFrequency(hz);
}

void TPskModem::fnStartTX(int)
{
    std::lock_guard guard(lock_);
    tx_.Start();
}

void TPskModem::fnStopTX()
{
    std::lock_guard guard(lock_);
    tx_.Stop();
}

void TPskModem::fnAbortTX()
{
    std::lock_guard guard(lock_);
    tx_.Abort();
}

void TPskModem::fnClearTXBuffer()
{
    std::lock_guard guard(lock_);
    tx_.Clear();
}

int TPskModem::fnGetTXCharsRemaining()
{
    std::lock_guard guard(lock_);
    return tx_.Remaining();
}

void TPskModem::fnSendTXCharacter(int ch, int control)
{
    std::lock_guard guard(lock_);
    tx_.Send(ch, control != 0);
}

void TPskModem::fnSetCWIDString(const std::string& text)
{
    std::lock_guard guard(lock_);
    tx_.SetCwId(text);
}

void TPskModem::fnSetCWIDSpeed(int speed)
{
    std::lock_guard guard(lock_);
    tx_.SetCwIdSpeed(speed);
}

int TPskModem::fnGetClosestPeak(int fromHz, int toHz)
{
    std::lock_guard guard(lock_);
    return static_cast<int>(std::lround(rx_.Spectrum().ClosestPeak(fromHz, toHz)));
}

void TPskModem::fnRewindInput()
{
    if (running_ && card_)
        card_->Rewind();
}

} // namespace korval
