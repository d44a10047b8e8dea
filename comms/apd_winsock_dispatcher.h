#pragma once
// The dispatcher of a TCP port: a non-blocking client socket, or a listening socket that takes one
// client at a time, with telnet handling on the way in and out when asked. It runs the same
// threads as a serial port; socket events (connected, a client asking in, a client gone, failed,
// reset) reach the port in the main thread like the data notices do.
#include "comms/apd_dispatcher.h"
#include "comms/telnet_filter.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace korval {

// Socket events as the port receives them (the code is the peer's IPv4 address, in network
// order, for wsevAccept).
enum TWsEvent { wsevError = 1, wsevAccept = 8, wsevConnect = 16, wsevClientClosed = 48 };

class TApdWinsockDispatcher : public TApdBaseDispatcher {
public:
    ~TApdWinsockDispatcher() override;
    // Starts connecting to an IPv4 address (network order) and port: 0, or the Winsock code of
    // a failure that shows at once.
    int InitSocket(std::uint32_t address, std::uint16_t port, bool telnet, unsigned outSize);
    // Listens on a port of every local address (backlog 1): 0, or the Winsock code of a failure.
    int InitServer(std::uint16_t port, bool telnet, unsigned outSize);
    // The port's answer to a client that asked in (wsevAccept): taken, or closed. Main thread.
    void FinishAccept(bool accept);
    int PutBlock(const std::uint8_t* block, std::size_t len) override;
    bool Connected() const { return connected_; }

protected:
    long ReadDevice(std::uint8_t* buf, std::size_t cap) override;
    long WriteDevice(const std::uint8_t* buf, std::size_t len) override;
    int PollFd() const override;
    short ExtraPollEvents() const override;
    void HandlePollEvents(short revents) override;
    void CloseDevice() override;

private:
    void Failed(int code);
    // Telnet negotiation goes to the log.
    void NoteTelnet();
    void AcceptClient();
    // The client of a listening port is gone (closed, or reset with `code`): back to listening.
    void ClientGone(int code);
    int DataFd() const { return server_ ? client_.load() : socket_; }

    int socket_ = -1;
    bool server_ = false;
    // Listening: the client taken, the one waiting for the port's answer.
    std::atomic<int> client_{-1};
    std::atomic<int> pending_{-1};
    // Held while a client's socket is written to or closed.
    std::mutex clientLock_;
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
