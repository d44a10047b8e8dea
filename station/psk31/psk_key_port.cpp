#include "station/psk31/psk_key_port.h"

#include "comms/com_port_map.h"
#include "logbook/config_record.h"
#include "station/morse_sender.h"

namespace korval {

bool TPskKeyPort::Key(bool on, std::string& error)
{
    const int keying = Config.PskKeying();
    if (keying <= 1)
        return true;
    if (keying == 2) {
        if (TMorseSender* sender = MorseSender())
            sender->SetPtt(on);
        return true;
    }
    const int com = keying - 2;
    if (device_.IsOpen() && com != comNumber_)
        Close();
    if (!device_.IsOpen()) {
        if (!on)
            return true;
        const std::string path = TComPortMap::DevicePath(com);
        if (const int rc = device_.Open(path); rc != 0) {
            error = "Could not open COM" + std::to_string(com) + " (" + path + ") to key the transmitter";
            return false;
        }
        comNumber_ = com;
    }
    const bool rts = Config.PskKeyLine() != 0;
    const bool other = Config.PskOtherLineHigh();
    device_.SetDTR(rts ? other : on);
    device_.SetRTS(rts ? on : other);
    return true;
}

void TPskKeyPort::DropLines()
{
    if (!device_.IsOpen())
        return;
    device_.SetRTS(false);
    device_.SetDTR(false);
}

void TPskKeyPort::Close()
{
    DropLines();
    device_.Close();
    comNumber_ = 0;
}

TPskKeyPort& PskKeyPort()
{
    static TPskKeyPort port;
    return port;
}

} // namespace korval
