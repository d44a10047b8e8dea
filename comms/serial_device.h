#pragma once
// A serial device on termios: opened for exclusive use, raw, non-blocking, with the line
// settings, flow control and modem lines the ports ask for. Results are 0 or negative library
// codes; an open that fails gives -2 (no such device), -5 (in use) or a system error code.
#include <string>
#include <termios.h>

namespace korval {

enum TParity { pNone, pOdd, pEven, pMark, pSpace };

struct TLineSettings {
    int baud = 19200;
    TParity parity = pNone;
    int dataBits = 8;
    int stopBits = 1;
    bool operator==(const TLineSettings&) const = default;
};

class TSerialDevice {
public:
    TSerialDevice() = default;
    ~TSerialDevice();
    TSerialDevice(const TSerialDevice&) = delete;
    TSerialDevice& operator=(const TSerialDevice&) = delete;

    int Open(const std::string& path);
    // Another handle on a device this program already holds open through a TSerialDevice (the
    // radio's port, whose DTR or RTS line the keyer works while the radio talks on it): the
    // modem lines are the device's, so either handle moves them. Not opened for exclusive use and
    // the line settings stay the owner's; -2 when this program does not hold the device.
    int OpenShared(const std::string& path);
    void Close();
    int Fd() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    int SetLine(const TLineSettings& line);
    // Puts the frame and a standard rate into a termios record: 0, 1 when the rate needs termios2,
    // or -2002/-2003 for a rate or a byte size that cannot be.
    static int ApplyLine(termios& t, const TLineSettings& line);
    // Hardware flow: RTS/CTS handshake (the only one termios offers).
    int SetRtsCts(bool on);
    // Software flow: XON/XOFF on input (receive) and on output (transmit) with the given characters.
    int SetXonXoff(bool receive, bool transmit, char xon, char xoff);
    // Raises or lowers a modem line; a device without modem lines (a pseudo-terminal) accepts it.
    int SetDTR(bool on);
    int SetRTS(bool on);
    // The modem lines the device reports (TIOCM_* bits); false for a device without them.
    bool ModemLines(int& bits) const;
    int FlushInput();
    int FlushOutput();
    // Bytes the driver still has to send (0 when it cannot tell).
    int OutQueue() const;
    // The Win32-style line error bits (1 input overflow, 2 overrun, 4 parity, 8 framing, 16 break)
    // that appeared since the last call, from the driver's counters where it keeps them.
    unsigned TakeLineErrors();

private:
    int SetModemLine(int bit, bool on);
    int fd_ = -1;
    bool shared_ = false;
    struct TCounts {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    } counts_;
    bool haveCounts_ = false;
};

} // namespace korval
