#pragma once
// The port interface over a TCP connection, with telnet handling, so that the cluster terminal and
// the HTTP fetch use a connection exactly as they use a serial TNC. A port in server mode listens
// on its port number instead and takes one client at a time; when the client leaves it listens
// again, staying open.
#include "comms/apd_com_port.h"

#include <cstdint>
#include <functional>
#include <string>

namespace korval {

enum TWsMode { wsClient, wsServer };

class TApdWinsockPort : public TApdCustomComPort {
public:
    using TWsErrorEvent = std::function<void(TApdWinsockPort& sender, int errCode)>;
    using TWsNotifyEvent = std::function<void(TApdWinsockPort& sender)>;
    // A client asks in (its IPv4 address in network order); accept starts true.
    using TWsAcceptEvent = std::function<void(TApdWinsockPort& sender, std::uint32_t address, bool& accept)>;

    TApdWinsockPort();
    ~TApdWinsockPort() override;

    const std::string& WsAddress() const { return wsAddress_; }
    void SetWsAddress(const std::string& address);
    const std::string& WsPort() const { return wsPort_; }
    void SetWsPort(const std::string& port);
    TWsMode WsMode() const { return wsMode_; }
    void SetWsMode(TWsMode mode);
    bool Telnet() const { return telnet_; }
    void SetTelnet(bool on) { telnet_ = on; }

    TWsAcceptEvent OnWsAccept;
    TWsNotifyEvent OnWsConnect;
    TWsNotifyEvent OnWsDisconnect;
    TWsErrorEvent OnWsError;

    // The port number of a service name or number; 0 when neither.
    static std::uint16_t ResolvePort(const std::string& port);

protected:
    std::shared_ptr<TApdBaseDispatcher> CreateDispatcher() override;
    int OpenDevice(TApdBaseDispatcher& dispatcher) override;
    void ValidateComNumber() override;
    bool SupportsLayer(TDeviceLayer layer) const override { return layer == dlWin32 || layer == dlWinsock; }
    void DeviceLayerChanged() override;
    void PortCloseNotify() override;
    void DispatchDeviceEnded() override;
    void DispatchSocketEvent(int event, int code) override;
    virtual bool WsAccept(std::uint32_t address);
    virtual void WsConnect();
    virtual void WsError(int errCode);

private:
    void CheckNotOpen();

    std::string wsAddress_;
    std::string wsPort_ = "telnet";
    TWsMode wsMode_ = wsClient;
    bool telnet_ = true;
};

} // namespace korval
