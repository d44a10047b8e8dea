#include "comms/apd_winsock_dispatcher.h"

#include "comms/apd_errors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korval {

TApdWinsockDispatcher::~TApdWinsockDispatcher()
{
    DonePort();
}

namespace {

// A non-blocking stream socket with address reuse, and the IPv4 address and port it works with:
// 0, or the Winsock code of the failure.
int NewSocket(int& fd, sockaddr_in& sa, std::uint32_t address, std::uint16_t port)
{
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return WinsockErrorFromErrno(errno);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sa = {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = address;
    sa.sin_port = htons(port);
    return 0;
}

int ListeningSocket(std::uint16_t port, int& fd)
{
    sockaddr_in sa;
    if (int code = NewSocket(fd, sa, htonl(INADDR_ANY), port); code != 0)
        return code;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 1) != 0) {
        int code = WinsockErrorFromErrno(errno);
        ::close(fd);
        fd = -1;
        return code;
    }
    return 0;
}

} // namespace

void TApdWinsockDispatcher::NoteTelnet()
{
    filter_.SetNotes([this](bool sent, std::uint8_t cmd, std::uint8_t option, const std::string& text) {
        if (cmd == tnSB) {
            Log().Add(dtTelnet, dstSentTerm, option, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
            return;
        }
        // WILL, WONT, DO and DONT follow each other, sent ones before received ones.
        auto subType = static_cast<TDispatchSubType>((sent ? dstWillSent : dstWillRecv) + (cmd - tnWILL));
        Log().Add(dtTelnet, subType, option);
    });
}

int TApdWinsockDispatcher::InitServer(std::uint16_t port, bool telnet, unsigned outSize)
{
    telnet_ = telnet;
    server_ = true;
    NoteTelnet();
    if (int code = ListeningSocket(port, socket_); code != 0)
        return code;
    Start(socket_, outSize, outSize + 4096);
    return 0;
}

int TApdWinsockDispatcher::InitSocket(std::uint32_t address, std::uint16_t port, bool telnet, unsigned outSize)
{
    telnet_ = telnet;
    NoteTelnet();
    sockaddr_in sa;
    if (int code = NewSocket(socket_, sa, address, port); code != 0)
        return code;
    // Whether the connection came about at once is kept here: once the threads run, the
    // dispatch thread may complete a pending connection and report it itself.
    bool connectedAtOnce = false;
    if (::connect(socket_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) {
        connected_ = true;
        connectedAtOnce = true;
    } else if (errno == EINPROGRESS) {
        connecting_ = true;
    } else {
        int code = WinsockErrorFromErrno(errno);
        ::close(socket_);
        socket_ = -1;
        return code;
    }
    // The send ring has room beyond the output size for the telnet answers.
    Start(socket_, outSize, outSize + 4096);
    if (connectedAtOnce)
        PostToMain(&TApdWinsockDispatcher::DeliverSocketEvent, wsevConnect, 0);
    return 0;
}

void TApdWinsockDispatcher::CloseDevice()
{
    {
        std::lock_guard<std::mutex> g(clientLock_);
        for (std::atomic<int>* fd : {&client_, &pending_}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
}

int TApdWinsockDispatcher::PollFd() const
{
    if (!server_)
        return socket_;
    // While the port decides on a client that asked in, nothing else is waited for.
    if (client_ >= 0)
        return client_;
    return pending_ >= 0 ? -1 : socket_;
}

short TApdWinsockDispatcher::ExtraPollEvents() const
{
    if (server_)
        return client_ < 0 && pending_ < 0 ? POLLIN : 0;
    return connecting_ ? POLLOUT : 0;
}

void TApdWinsockDispatcher::AcceptClient()
{
    sockaddr_in peer {};
    socklen_t len = sizeof peer;
    int fd = ::accept4(socket_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;  // gone again before it was taken
    pending_ = fd;
    PostToMain(&TApdWinsockDispatcher::DeliverSocketEvent, wsevAccept, static_cast<int>(peer.sin_addr.s_addr));
}

void TApdWinsockDispatcher::FinishAccept(bool accept)
{
    const int fd = pending_.exchange(-1);
    if (fd < 0)
        return;
    if (!accept) {
        ::close(fd);
    } else {
        // A new client starts a new telnet conversation.
        filter_ = TTelnetFilter();
        NoteTelnet();
        sendBinary_ = false;
        client_ = fd;
        connected_ = true;
        WakeWriter();
    }
    Wake();
}

void TApdWinsockDispatcher::ClientGone(int code)
{
    {
        std::lock_guard<std::mutex> g(clientLock_);
        const int fd = client_.exchange(-1);
        if (fd >= 0)
            ::close(fd);
    }
    connected_ = false;
    PostToMain(&TApdWinsockDispatcher::DeliverSocketEvent, code != 0 ? wsevError : wsevClientClosed, code);
}

void TApdWinsockDispatcher::HandlePollEvents(short revents)
{
    if (server_) {
        if (client_ < 0 && pending_ < 0 && (revents & POLLIN))
            AcceptClient();
        return;
    }
    if (!connecting_ || !(revents & (POLLOUT | POLLERR | POLLHUP)))
        return;
    int err = 0;
    socklen_t len = sizeof err;
    getsockopt(socket_, SOL_SOCKET, SO_ERROR, &err, &len);
    connecting_ = false;
    if (err != 0) {
        Failed(WinsockErrorFromErrno(err));
        return;
    }
    connected_ = true;
    WakeWriter();
    PostToMain(&TApdWinsockDispatcher::DeliverSocketEvent, wsevConnect, 0);
}

void TApdWinsockDispatcher::Failed(int code)
{
    if (failed_.exchange(true))
        return;
    PostToMain(&TApdWinsockDispatcher::DeliverSocketEvent, wsevError, code);
}

long TApdWinsockDispatcher::ReadDevice(std::uint8_t* buf, std::size_t cap)
{
    if (connecting_)
        return 0;
    if (failed_)
        return -1;
    const int fd = DataFd();
    if (fd < 0)
        return 0;  // listening, no client yet
    ssize_t n = ::recv(fd, raw_, std::min(cap, sizeof raw_), 0);
    if (n == 0) {
        // The peer closed; what came before is in the ring already. A listening port stays open
        // for the next client.
        if (!server_)
            return -1;
        ClientGone(0);
        return 0;
    }
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return 0;
        if (server_) {
            ClientGone(WinsockErrorFromErrno(errno));
            return 0;
        }
        Failed(WinsockErrorFromErrno(errno));
        return -1;
    }
    if (!telnet_) {
        std::memcpy(buf, raw_, static_cast<std::size_t>(n));
        return n;
    }
    received_.clear();
    replies_.clear();
    filter_.Receive(raw_, static_cast<std::size_t>(n), received_, replies_);
    sendBinary_ = filter_.Us(toBinary) == TTelnetFilter::TOpt::Yes;
    if (!replies_.empty())
        QueueRaw(reinterpret_cast<const std::uint8_t*>(replies_.data()), replies_.size(), OutSize() + 4096);
    // Telnet only ever shortens the stream, so this fits.
    std::memcpy(buf, received_.data(), received_.size());
    return static_cast<long>(received_.size());
}

long TApdWinsockDispatcher::WriteDevice(const std::uint8_t* buf, std::size_t len)
{
    if (!connected_)
        return failed_ ? -1 : 0;
    std::unique_lock<std::mutex> g(clientLock_, std::defer_lock);
    if (server_)
        g.lock();
    const int fd = DataFd();
    if (fd < 0)
        return 0;  // the client went; what is queued waits for the next one
    ssize_t n = ::send(fd, buf, len, MSG_NOSIGNAL);
    if (n >= 0)
        return n;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    if (server_)
        return -1;  // the client is going; the reader tells the port
    Failed(WinsockErrorFromErrno(errno));
    return -1;
}

int TApdWinsockDispatcher::PutBlock(const std::uint8_t* block, std::size_t len)
{
    if (!telnet_)
        return TApdBaseDispatcher::PutBlock(block, len);
    if (len == 0)
        return 0;
    encoded_.clear();
    TTelnetFilter::Encode(block, len, sendBinary_, encoded_);
    if (!QueueRaw(reinterpret_cast<const std::uint8_t*>(encoded_.data()), encoded_.size(), OutSize()))
        return ecOutputBufferTooSmall;
    Queued(block, len);
    return 0;
}

} // namespace korval
