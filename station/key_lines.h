#pragma once
// The keyer's line chosen by the keying interface of the configuration: the control register
// of a parallel port (LPT1..3), or the DTR or RTS line of the radio's serial port.
#include <memory>
#include <string>

#include "comms/serial_device.h"
#include "platform/key_line.h"
#include "station/morse_sender.h"

namespace korval {

// Keys one modem line of a serial port (the radio's handle when the radio holds the port, else
// opened for the keyer; there is no PTT line).
class TSerialKeyLine : public TKeyLine {
public:
    // Null with the device's error code in `error` when the port cannot be opened.
    static std::unique_ptr<TSerialKeyLine> Open(const std::string& path, bool rts, int& error);
    ~TSerialKeyLine() override;
    void Set(bool key, bool ptt) override;

private:
    explicit TSerialKeyLine(bool rts) : rts_(rts) {}
    TSerialDevice device_;
    bool rts_;
};

// The line of the settings' interface: 1 none, 2..4 the parallel port's control register,
// 5 and 6 the DTR and RTS lines of the radio's COM port. Null when the port cannot be opened;
// with showError the operator is told "Could not open CW driver".
std::shared_ptr<TKeyLine> OpenKeyLine(const TMorseSettings& settings, bool showError);

} // namespace korval
