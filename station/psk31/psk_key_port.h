#pragma once
// How the PSK31 terminal keys the transmitter, as the keying settings choose: 1 ("VOX") keys
// nothing, 2 holds the CW sender's PTT, 3 and up raise a line of serial port COM(keying - 2).
// The key line setting picks the line (0 DTR, 1 RTS); "other line high" holds the other one
// high while the port is open (interfaces powered from it).
#include <string>

#include "comms/serial_device.h"

namespace korval {

class TPskKeyPort {
public:
    TPskKeyPort() = default;
    TPskKeyPort(const TPskKeyPort&) = delete;
    TPskKeyPort& operator=(const TPskKeyPort&) = delete;

    // Keys the transmitter on or off with the configuration's settings; the port is opened at
    // the first key-on. False with the reason when the port cannot be opened.
    bool Key(bool on, std::string& error);
    bool IsOpen() const { return device_.IsOpen(); }
    // Both lines low (the port stays open).
    void DropLines();
    void Close();

private:
    TSerialDevice device_;
    int comNumber_ = 0;
};

// The program's PSK31 keying port (the main window's).
TPskKeyPort& PskKeyPort();

} // namespace korval
