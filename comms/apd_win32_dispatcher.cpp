#include "comms/apd_win32_dispatcher.h"

#include "comms/apd_errors.h"

#include <chrono>
#include <sys/ioctl.h>
#include <thread>

namespace korval {

TApdWin32Dispatcher::~TApdWin32Dispatcher()
{
    DonePort();
}

int TApdWin32Dispatcher::InitPort(const std::string& path, const TLineSettings& line, unsigned inSize,
                                  unsigned outSize, bool dtr, bool rts)
{
    if (int rc = device_.Open(path); rc < 0)
        return rc;
    inSize_ = inSize;
    dtr_ = dtr;
    rts_ = rts;
    int rc = device_.SetLine(line);
    if (rc == 0)
        rc = device_.SetDTR(dtr);
    if (rc == 0)
        rc = device_.SetRTS(rts);
    if (rc < 0) {
        device_.Close();
        return rc;
    }
    line_ = line;
    device_.FlushInput();
    Start(device_.Fd(), outSize, outSize);
    return 0;
}

void TApdWin32Dispatcher::CloseDevice()
{
    if (device_.IsOpen()) {
        device_.FlushOutput();
        device_.FlushInput();
        device_.Close();
    }
}

void TApdWin32Dispatcher::WaitForOutputDrain()
{
    for (int i = 0; i < 5000 && (OutBuffUsed() > 0 || device_.OutQueue() > 0); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // The last characters may still be in the UART's shift register: allow 18 character times.
    int bits = line_.dataBits + 2 + (line_.parity != pNone ? 1 : 0) + (line_.stopBits >= 2 ? 1 : 0);
    int baud = line_.baud > 0 ? line_.baud : 19200;
    int ms = (18 * bits * 1000 + baud - 1) / baud;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms < 1 ? 1 : ms));
}

int TApdWin32Dispatcher::SetLine(const TLineSettings& asked)
{
    TLineSettings line = asked;
    if (line.baud == 0)
        line.baud = line_.baud;
    if (line.parity > pSpace)
        line.parity = line_.parity;
    if (line.dataBits == 9)
        line.dataBits = line_.dataBits;
    if (line.stopBits == 3)
        line.stopBits = line_.stopBits;
    line.stopBits = line.stopBits <= 1 ? 1 : 2;
    if (line == line_)
        return 0;
    if (device_.IsOpen())
        WaitForOutputDrain();
    if (int rc = device_.SetLine(line); rc < 0)
        return rc;
    line_ = line;
    if (!dtrFlow_)
        device_.SetDTR(dtr_);
    if (!rtsFlow_)
        device_.SetRTS(rts_);
    return 0;
}

int TApdWin32Dispatcher::SetBufferSizes(unsigned inSize, unsigned)
{
    // The driver's queues are its own; the ring stays 8192 bytes. The input size is the base of
    // the flow thresholds.
    inSize_ = inSize;
    return 0;
}

int TApdWin32Dispatcher::SetDTR(bool on)
{
    if (dtrFlow_)
        return 1;
    if (int rc = device_.SetDTR(on); rc < 0)
        return rc;
    dtr_ = on;
    return 0;
}

int TApdWin32Dispatcher::SetRTS(bool on)
{
    if (rtsFlow_)
        return 1;
    if (int rc = device_.SetRTS(on); rc < 0)
        return rc;
    rts_ = on;
    return 0;
}

int TApdWin32Dispatcher::SetHWFlowOptions(unsigned full, unsigned resume, unsigned options)
{
    if (full < resume || full > inSize_)
        return ecBadArgument;
    // termios offers RTS/CTS handshake only; the DTR/DSR handshake runs in the dispatcher.
    flowFull_ = full;
    flowResume_ = resume;
    requireDsr_ = (options & hfRequireDSR) != 0;
    dtrFlow_ = (options & hfUseDTR) != 0;
    rtsFlow_ = options & hfUseRTS;
    bool rtsCts = options & (hfUseRTS | hfRequireCTS);
    if (int rc = device_.SetRtsCts(rtsCts); rc < 0)
        return rc;
    // Under the handshake DTR starts up: the peer may send.
    device_.SetDTR(dtrFlow_ ? true : dtr_);
    if (!rtsFlow_)
        device_.SetRTS(rts_);
    return 0;
}

void TApdWin32Dispatcher::FlowCheck()
{
    if (!dtrFlow_) {
        dtrHeld_ = false;
        return;
    }
    const unsigned used = InBuffUsed();
    if (!dtrHeld_ && used >= flowFull_) {
        DriveDTR(false);
        dtrHeld_ = true;
    } else if (dtrHeld_ && used <= flowResume_) {
        DriveDTR(true);
        dtrHeld_ = false;
    }
}

long TApdWin32Dispatcher::WriteDevice(const std::uint8_t* buf, std::size_t len)
{
    int bits = 0;
    if (requireDsr_ && ModemLines(bits) && !(bits & TIOCM_DSR)) {
        // Nothing tells when DSR rises: look again shortly (the writer waits on the device,
        // which is ready to take bytes, so it must not come straight back).
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 0;
    }
    return TApdBaseDispatcher::WriteDevice(buf, len);
}

int TApdWin32Dispatcher::SetSWFlowOptions(unsigned full, unsigned resume, unsigned mode)
{
    if (mode != 0 && (full < resume || full > inSize_))
        return ecBadArgument;
    swMode_ = mode;
    xon_ = 17;
    xoff_ = 19;
    return device_.SetXonXoff(mode & sfReceive, mode & sfTransmit, xon_, xoff_);
}

int TApdWin32Dispatcher::SetXonXoffChars(char xon, char xoff)
{
    xon_ = xon;
    xoff_ = xoff;
    return device_.SetXonXoff(swMode_ & sfReceive, swMode_ & sfTransmit, xon_, xoff_);
}

} // namespace korval
