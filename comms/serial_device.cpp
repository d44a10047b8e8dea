#include "comms/serial_device.h"

#include "comms/apd_errors.h"
#include "comms/serial_custom_baud.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace korval {

namespace {
speed_t StandardSpeed(int baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    default: return 0;
    }
}

int OpenError(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR: return ecFileNotFound;
    case EBUSY:
    case EACCES:
    case EPERM:
    case EWOULDBLOCK: return ecAccessDenied;
    default: return -SystemErrorCode(err);
    }
}

// Devices without modem lines answer the line ioctls so; that is not a failure of the port.
bool NoModemLines(int err)
{
    return err == ENOTTY || err == EINVAL || err == ENOTSUP;
}
// The devices this program holds open, by device number, so that a second user in the program
// (the keyer on the radio's port) can share the handle instead of being locked out.
std::mutex g_heldMu;
std::map<dev_t, int> g_held;

bool DeviceNumber(int fd, dev_t& dev)
{
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    dev = st.st_rdev;
    return true;
}
} // namespace

TSerialDevice::~TSerialDevice()
{
    Close();
}

int TSerialDevice::Open(const std::string& path)
{
    Close();
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenError(errno);
    // TIOCEXCL keeps other programs out (but not root); the lock also keeps out this program's
    // other ports and root.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return OpenError(err);
    }
    termios t {};
    if (tcgetattr(fd, &t) != 0) {
        int err = errno;
        ::close(fd);
        return err == ENOTTY ? ecFileNotFound : -SystemErrorCode(err);
    }
    ioctl(fd, TIOCEXCL);
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        int err = errno;
        ::close(fd);
        return -SystemErrorCode(err);
    }
    fd_ = fd;
    if (dev_t dev {}; DeviceNumber(fd_, dev)) {
        std::lock_guard lock(g_heldMu);
        g_held[dev] = fd_;
    }
    serial_icounter_struct ic {};
    haveCounts_ = ioctl(fd_, TIOCGICOUNT, &ic) == 0;
    if (haveCounts_)
        counts_ = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return 0;
}

int TSerialDevice::OpenShared(const std::string& path)
{
    Close();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return ecFileNotFound;
    std::lock_guard lock(g_heldMu);
    const auto it = g_held.find(st.st_rdev);
    if (it == g_held.end())
        return ecFileNotFound;
    const int fd = fcntl(it->second, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return -SystemErrorCode(errno);
    fd_ = fd;
    shared_ = true;
    return 0;
}

void TSerialDevice::Close()
{
    if (fd_ < 0)
        return;
    if (shared_) {
        // The owner keeps the device, its lock and its exclusive use.
        ::close(fd_);
        fd_ = -1;
        shared_ = false;
        return;
    }
    if (dev_t dev {}; DeviceNumber(fd_, dev)) {
        std::lock_guard lock(g_heldMu);
        if (const auto it = g_held.find(dev); it != g_held.end() && it->second == fd_)
            g_held.erase(it);
    }
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

int TSerialDevice::ApplyLine(termios& t, const TLineSettings& line)
{
    if (line.baud <= 0)
        return ecBaudRate;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    switch (line.dataBits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return ecByteSize;
    }
    switch (line.parity) {
    case pNone: break;
    case pOdd: t.c_cflag |= PARENB | PARODD; break;
    case pEven: t.c_cflag |= PARENB; break;
    case pMark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case pSpace: t.c_cflag |= PARENB | CMSPAR; break;
    }
    // With five data bits the UART sends one and a half stop bits for "two".
    if (line.stopBits >= 2 || line.dataBits == 5)
        t.c_cflag |= CSTOPB;
    if (speed_t speed = StandardSpeed(line.baud)) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        return 0;
    }
    return 1;
}

int TSerialDevice::SetLine(const TLineSettings& line)
{
    termios t {};
    if (tcgetattr(fd_, &t) != 0)
        return -SystemErrorCode(errno);
    int rc = ApplyLine(t, line);
    if (rc < 0)
        return rc;
    if (tcsetattr(fd_, TCSANOW, &t) != 0)
        return -SystemErrorCode(errno);
    // A rate the standard table lacks goes through termios2.
    return rc == 1 ? SetCustomBaud(fd_, line.baud) : 0;
}

int TSerialDevice::SetRtsCts(bool on)
{
    termios t {};
    if (tcgetattr(fd_, &t) != 0)
        return -SystemErrorCode(errno);
    if (on)
        t.c_cflag |= CRTSCTS;
    else
        t.c_cflag &= ~CRTSCTS;
    return tcsetattr(fd_, TCSANOW, &t) == 0 ? 0 : -SystemErrorCode(errno);
}

int TSerialDevice::SetXonXoff(bool receive, bool transmit, char xon, char xoff)
{
    termios t {};
    if (tcgetattr(fd_, &t) != 0)
        return -SystemErrorCode(errno);
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (receive)
        t.c_iflag |= IXOFF;
    if (transmit)
        t.c_iflag |= IXON;
    t.c_cc[VSTART] = static_cast<cc_t>(xon);
    t.c_cc[VSTOP] = static_cast<cc_t>(xoff);
    return tcsetattr(fd_, TCSANOW, &t) == 0 ? 0 : -SystemErrorCode(errno);
}

int TSerialDevice::SetModemLine(int bit, bool on)
{
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0 || NoModemLines(errno))
        return 0;
    return ecBadArgument;
}

bool TSerialDevice::ModemLines(int& bits) const
{
    return fd_ >= 0 && ioctl(fd_, TIOCMGET, &bits) == 0;
}

int TSerialDevice::SetDTR(bool on)
{
    return SetModemLine(TIOCM_DTR, on);
}

int TSerialDevice::SetRTS(bool on)
{
    return SetModemLine(TIOCM_RTS, on);
}

int TSerialDevice::FlushInput()
{
    return tcflush(fd_, TCIFLUSH) == 0 ? 0 : -SystemErrorCode(errno);
}

int TSerialDevice::FlushOutput()
{
    return tcflush(fd_, TCOFLUSH) == 0 ? 0 : -SystemErrorCode(errno);
}

int TSerialDevice::OutQueue() const
{
    int n = 0;
    return fd_ >= 0 && ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : 0;
}

unsigned TSerialDevice::TakeLineErrors()
{
    if (!haveCounts_ || fd_ < 0)
        return 0;
    serial_icounter_struct ic {};
    if (ioctl(fd_, TIOCGICOUNT, &ic) != 0)
        return 0;
    unsigned bits = 0;
    if (ic.buf_overrun != counts_.bufOverrun)
        bits |= 1;
    if (ic.overrun != counts_.overrun)
        bits |= 2;
    if (ic.parity != counts_.parity)
        bits |= 4;
    if (ic.frame != counts_.frame)
        bits |= 8;
    if (ic.brk != counts_.brk)
        bits |= 16;
    counts_ = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return bits;
}

} // namespace korval
