#include "comms/apd_winsock_port.h"

#include "comms/apd_errors.h"
#include "comms/apd_winsock_dispatcher.h"
#include "logbook/base/string_utils.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <netdb.h>

namespace korval {

namespace {
// IPv4 address in network order, 0 when the name cannot be resolved.
std::uint32_t ResolveAddress(const std::string& host)
{
    in_addr a {};
    if (inet_pton(AF_INET, host.c_str(), &a) == 1)
        return a.s_addr;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res)
        return 0;
    std::uint32_t out = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(res);
    return out;
}
} // namespace

TApdWinsockPort::TApdWinsockPort()
{
    SetTraceName("QRVX.TRC");
}

TApdWinsockPort::~TApdWinsockPort()
{
    // Close here, while the overrides that the close calls still exist; nothing can be raised now.
    ClosePort(false);
}

void TApdWinsockPort::CheckNotOpen()
{
    if (State() != csClosed)
        throw EApdSocketException(ecCantChangeConnected);
}

void TApdWinsockPort::SetWsAddress(const std::string& address)
{
    CheckNotOpen();
    wsAddress_ = TrimSpaces(address);
}

void TApdWinsockPort::SetWsPort(const std::string& port)
{
    CheckNotOpen();
    wsPort_ = TrimSpaces(port);
}

void TApdWinsockPort::SetWsMode(TWsMode mode)
{
    CheckNotOpen();
    wsMode_ = mode;
}

void TApdWinsockPort::DeviceLayerChanged()
{
    if (DeviceLayer() == dlWinsock) {
        SetTapiMode(tmOff);
        SetUseMSRShadow(false);
    } else {
        SetTapiMode(tmAuto);
    }
}

std::uint16_t TApdWinsockPort::ResolvePort(const std::string& port)
{
    if (!port.empty() && std::all_of(port.begin(), port.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        long n = port.size() <= 5 ? std::stol(port) : 0;
        return n > 0 && n <= 65535 ? static_cast<std::uint16_t>(n) : 0;
    }
    if (const servent* s = getservbyname(port.c_str(), "tcp"))
        return ntohs(static_cast<std::uint16_t>(s->s_port));
    // Systems without a services database still know the two this program uses.
    if (port == "telnet")
        return 23;
    if (port == "http")
        return 80;
    return 0;
}

void TApdWinsockPort::ValidateComNumber()
{
    if (DeviceLayer() != dlWinsock)
        TApdCustomComPort::ValidateComNumber();
}

std::shared_ptr<TApdBaseDispatcher> TApdWinsockPort::CreateDispatcher()
{
    if (DeviceLayer() != dlWinsock)
        return TApdCustomComPort::CreateDispatcher();
    return std::make_shared<TApdWinsockDispatcher>();
}

int TApdWinsockPort::OpenDevice(TApdBaseDispatcher& dispatcher)
{
    if (DeviceLayer() != dlWinsock)
        return TApdCustomComPort::OpenDevice(dispatcher);
    auto& ws = static_cast<TApdWinsockDispatcher&>(dispatcher);
    if (wsMode_ == wsServer) {
        // Every local address: a server does not need one.
        std::uint16_t port = ResolvePort(wsPort_);
        if (port == 0)
            throw EApdSocketException(ecBadPort);
        if (int code = ws.InitServer(port, telnet_, OutSize()); code != 0)
            throw EApdSocketException(code);
        return 0;
    }
    if (wsAddress_.empty())
        throw EApdSocketException(wsaEDestAddrReq);
    std::uint32_t address = ResolveAddress(wsAddress_);
    if (address == 0)
        throw EApdSocketException(ecCantResolve);
    std::uint16_t port = ResolvePort(wsPort_);
    if (port == 0)
        throw EApdSocketException(ecBadPort);
    if (int code = ws.InitSocket(address, port, telnet_, OutSize()); code != 0)
        throw EApdSocketException(code);
    return 0;
}

void TApdWinsockPort::PortCloseNotify()
{
    TApdCustomComPort::PortCloseNotify();
    if (DeviceLayer() == dlWinsock && OnWsDisconnect)
        OnWsDisconnect(*this);
}

void TApdWinsockPort::DispatchDeviceEnded()
{
    // The peer closed, and every byte it sent before has been offered: close after this returns.
    PostLater(CloseFromMainLoop);
}

void TApdWinsockPort::DispatchSocketEvent(int event, int code)
{
    switch (event) {
    case wsevAccept:
        if (HasDispatcher())
            static_cast<TApdWinsockDispatcher&>(Dispatcher()).FinishAccept(WsAccept(static_cast<std::uint32_t>(code)));
        break;
    case wsevConnect:
        WsConnect();
        break;
    case wsevClientClosed:
        if (OnWsDisconnect)
            OnWsDisconnect(*this);
        break;
    default:
        WsError(code);
    }
}

bool TApdWinsockPort::WsAccept(std::uint32_t address)
{
    bool accept = true;
    if (OnWsAccept)
        OnWsAccept(*this, address, accept);
    return accept;
}

void TApdWinsockPort::WsConnect()
{
    if (OnWsConnect)
        OnWsConnect(*this);
}

void TApdWinsockPort::WsError(int errCode)
{
    if (wsMode_ == wsServer) {
        // A client that reset its connection is gone; the port listens on.
        if (errCode >= 10052 && errCode <= 10054 && OnWsDisconnect)
            OnWsDisconnect(*this);
    } else {
        // A reset connection, or one that never came about, leaves nothing to keep open.
        PostLater(CloseFromMainLoop);
    }
    if (OnWsError)
        OnWsError(*this, errCode);
}

} // namespace korval
