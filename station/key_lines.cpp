#include "station/key_lines.h"

#include "comms/com_port_map.h"
#include "platform/message_dlg.h"
#include "platform/port_io.h"

namespace korval {

std::unique_ptr<TSerialKeyLine> TSerialKeyLine::Open(const std::string& path, bool rts, int& error)
{
    std::unique_ptr<TSerialKeyLine> line(new TSerialKeyLine(rts));
    // A running radio holds its port: the key goes on the radio's handle, and its other line
    // stays as the radio's settings have it.
    error = 0;
    if (line->device_.OpenShared(path) == 0) {
        line->Set(false, false);
        return line;
    }
    error = line->device_.Open(path);
    if (error != 0)
        return nullptr;
    // Both lines start low: the transmitter is not keyed by opening the port.
    line->device_.SetDTR(false);
    line->device_.SetRTS(false);
    return line;
}

TSerialKeyLine::~TSerialKeyLine()
{
    if (device_.IsOpen())
        Set(false, false);
}

void TSerialKeyLine::Set(bool key, bool /*ptt*/)
{
    if (rts_)
        device_.SetRTS(key);
    else
        device_.SetDTR(key);
}

std::shared_ptr<TKeyLine> OpenKeyLine(const TMorseSettings& settings, bool showError)
{
    const int kind = settings.keyingInterface;
    if (kind >= 2 && kind <= 4) {
        TLptDevice* port = OpenCwDriver(kind - 1, showError);
        return port ? std::make_shared<TLptKeyLine>(*port) : nullptr;
    }
    if (kind == 5 || kind == 6) {
        int error = 0;
        auto line = TSerialKeyLine::Open(TComPortMap::DevicePath(settings.radioComPort), kind == 6, error);
        if (!line && showError)
            MessageDlg(CouldNotOpenCwDriverText, TMsgDlgType::mtInformation, mbOK);
        return line;
    }
    return nullptr;
}

} // namespace korval
