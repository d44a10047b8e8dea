#pragma once
// For the tests of TCP connections: a server on 127.0.0.1 that serves its connections one after
// another, each by a script run in the server's thread; a loopback port nothing listens on; and
// the port library's deliveries run in the Qt event loop as they do in the program.
#include <QCoreApplication>
#include <QMetaObject>

#include <arpa/inet.h>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "comms/main_thread_queue.h"

namespace korval::test {

class TQtQueue : public TMainThreadQueue {
public:
    TQtQueue() { SetMainThreadQueue(this); }
    ~TQtQueue() override { SetMainThreadQueue(nullptr); }
    void Post(std::function<void()> call) override
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
    }
};

// A loopback port that was free a moment ago: connecting to it is refused.
inline std::uint16_t UnusedLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    ::bind(probe, reinterpret_cast<sockaddr*>(&sa), len);
    getsockname(probe, reinterpret_cast<sockaddr*>(&sa), &len);
    ::close(probe);
    return ntohs(sa.sin_port);
}

class TLoopServer {
public:
    using Script = std::function<void(int fd, int connection)>;

    TLoopServer(int connections, Script script)
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&sa), len);
        ::listen(listen_, 4);
        getsockname(listen_, reinterpret_cast<sockaddr*>(&sa), &len);
        port = ntohs(sa.sin_port);
        thread_ = std::thread([this, connections, script] {
            for (int i = 0; i < connections; ++i) {
                pollfd p{listen_, POLLIN, 0};
                if (poll(&p, 1, 8000) <= 0)
                    return;
                const int fd = ::accept(listen_, nullptr, nullptr);
                if (fd < 0)
                    return;
                script(fd, i);
                ::shutdown(fd, SHUT_RDWR);
                ::close(fd);
            }
        });
    }
    ~TLoopServer()
    {
        thread_.join();
        ::close(listen_);
    }
    TLoopServer(const TLoopServer&) = delete;
    TLoopServer& operator=(const TLoopServer&) = delete;

    std::string Port() const { return std::to_string(port); }

    static void Send(int fd, const std::string& bytes) { ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // Reads until the text holds `end` (or the peer closed, or the time is up).
    static std::string ReceiveUntil(int fd, const std::string& end, int ms = 8000)
    {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (got.find(end) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                char buf[4096];
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                got.append(buf, static_cast<std::size_t>(n));
            }
        }
        return got;
    }

    std::uint16_t port = 0;

private:
    int listen_ = -1;
    std::thread thread_;
};

} // namespace korval::test
