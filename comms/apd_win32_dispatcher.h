#pragma once
// The dispatcher of a serial port: the device is a termios serial device (TSerialDevice).
#include "comms/apd_dispatcher.h"
#include "comms/serial_device.h"

#include <atomic>
#include <string>

namespace korval {

// Hardware flow options as the port hands them over.
inline constexpr unsigned hfUseDTR = 1, hfUseRTS = 2, hfRequireDSR = 4, hfRequireCTS = 8;
// Software flow modes.
inline constexpr unsigned sfTransmit = 1, sfReceive = 2;

class TApdWin32Dispatcher : public TApdBaseDispatcher {
public:
    ~TApdWin32Dispatcher() override;

    // Opens the device at `path` and starts the threads: 0 or a negative code (-2 no such
    // device, -5 in use, a system error, -2002/-2003 for line settings the device refuses).
    int InitPort(const std::string& path, const TLineSettings& line, unsigned inSize, unsigned outSize,
                 bool dtr, bool rts);
    // A change waits for the queued output to drain first.
    int SetLine(const TLineSettings& line) override;
    int SetBufferSizes(unsigned inSize, unsigned outSize) override;
    // 1 when the line is under hardware flow control and was left alone.
    int SetDTR(bool on) override;
    int SetRTS(bool on) override;
    int SetHWFlowOptions(unsigned full, unsigned resume, unsigned options) override;
    int SetSWFlowOptions(unsigned full, unsigned resume, unsigned mode) override;
    int SetXonXoffChars(char xon, char xoff) override;
    const TLineSettings& Line() const { return line_; }

protected:
    void CloseDevice() override;
    unsigned ReadLineErrors() override { return device_.TakeLineErrors(); }
    // DTR/DSR handshake, which termios lacks, is done here: DTR drops while the input holds
    // `full` bytes or more and rises again at `resume` or fewer; output waits while DSR is low.
    void FlowCheck() override;
    long WriteDevice(const std::uint8_t* buf, std::size_t len) override;
    // The modem lines as the handshake sees them (a device without any: false).
    virtual bool ModemLines(int& bits) { return device_.ModemLines(bits); }
    virtual void DriveDTR(bool on) { device_.SetDTR(on); }

private:
    void WaitForOutputDrain();

    TSerialDevice device_;
    TLineSettings line_;
    unsigned inSize_ = 4096;
    bool dtr_ = true, rts_ = true;
    std::atomic<bool> dtrFlow_{false}, requireDsr_{false};
    bool rtsFlow_ = false;
    std::atomic<unsigned> flowFull_{0}, flowResume_{0};
    bool dtrHeld_ = false;  // dispatch thread: DTR is down to hold the peer
    unsigned swMode_ = 0;
    char xon_ = 17, xoff_ = 19;
};

} // namespace korval
