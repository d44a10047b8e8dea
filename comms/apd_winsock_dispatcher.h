#pragma once
// The dispatcher of a TCP port: a non-blocking client socket, with telnet handling on the way in
// and out when asked. It runs the same threads as a serial port; socket events (connected, failed,
// reset) reach the port in the main thread like the data notices do.
#include "comms/apd_dispatcher.h"
#include "comms/telnet_filter.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace korval {

enum TWsEvent { wsevConnect = 16, wsevError = 1 };

class TApdWinsockDispatcher : public TApdBaseDispatcher {
public:
    ~TApdWinsockDispatcher() override;
    // Starts connecting to an IPv4 address (network order) and port: 0, or the Winsock code of
    // a failure that shows at once.
    int InitSocket(std::uint32_t address, std::uint16_t port, bool telnet, unsigned outSize);
    int PutBlock(const std::uint8_t* block, std::size_t len) override;
    bool Connected() const { return connected_; }

protected:
    long ReadDevice(std::uint8_t* buf, std::size_t cap) override;
    long WriteDevice(const std::uint8_t* buf, std::size_t len) override;
    short ExtraPollEvents() const override;
    void HandlePollEvents(short revents) override;
    void CloseDevice() override;

private:
    void Failed(int code);

    int socket_ = -1;
    bool telnet_ = true;
    std::atomic<bool> connecting_{false};
    std::atomic<bool> connected_{false};
    std::atomic<bool> failed_{false};
    std::atomic<bool> sendBinary_{false};
    // Used by the dispatch thread only.
    TTelnetFilter filter_;
    std::string received_, replies_;
    std::uint8_t raw_[kRingSize];
    // Used by the main thread only.
    std::string encoded_;
};

} // namespace korval
