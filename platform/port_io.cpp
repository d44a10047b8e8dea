#include "platform/port_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/message_dlg.h"

namespace korval {

std::unique_ptr<TPpdevLpt> TPpdevLpt::Open(const std::string& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    // Exclusive use keeps the printer driver off the port while it keys a transmitter; a
    // kernel that refuses it still lets the claim through.
    ioctl(fd, PPEXCL);
    if (ioctl(fd, PPCLAIM) != 0) {
        error = path + ": " + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TPpdevLpt>(new TPpdevLpt(fd));
}

TPpdevLpt::~TPpdevLpt()
{
    ioctl(fd_, PPRELEASE);
    ::close(fd_);
}

bool TPpdevLpt::WriteData(std::uint8_t value)
{
    unsigned char v = value;
    return ioctl(fd_, PPWDATA, &v) == 0;
}

bool TPpdevLpt::WriteControl(std::uint8_t value)
{
    unsigned char v = value;
    return ioctl(fd_, PPWCONTROL, &v) == 0;
}

bool TRecordingLpt::WriteData(std::uint8_t value)
{
    std::lock_guard lock(mu_);
    writes_.push_back({false, value});
    return true;
}

bool TRecordingLpt::WriteControl(std::uint8_t value)
{
    std::lock_guard lock(mu_);
    writes_.push_back({true, value});
    return true;
}

std::vector<TRecordingLpt::TWrite> TRecordingLpt::Writes() const
{
    std::lock_guard lock(mu_);
    return writes_;
}

std::string ParallelPortPath(int lpt)
{
    return "/dev/parport" + std::to_string(lpt - 1);
}

TLptDevice* TPortIo::Lpt(int lpt)
{
    if (lpt < 1 || lpt > 3)
        return nullptr;
    std::lock_guard lock(mu_);
    if (auto it = ports_.find(lpt); it != ports_.end())
        return it->second.get();
    std::string error;
    std::unique_ptr<TLptDevice> port = opener_ ? opener_(lpt, error) : TPpdevLpt::Open(ParallelPortPath(lpt), error);
    if (!port) {
        lastError_ = error.empty() ? ParallelPortPath(lpt) + ": cannot be opened" : error;
        return nullptr;
    }
    return (ports_[lpt] = std::move(port)).get();
}

bool TPortIo::ActiveHW() const
{
    std::lock_guard lock(mu_);
    return !ports_.empty();
}

std::string TPortIo::LastError() const
{
    std::lock_guard lock(mu_);
    return lastError_;
}

void TPortIo::CloseDriver()
{
    std::lock_guard lock(mu_);
    ports_.clear();
}

TPortIo::TOpener TPortIo::SetOpener(TOpener opener)
{
    std::lock_guard lock(mu_);
    ports_.clear();
    std::swap(opener_, opener);
    return opener;
}

TPortIo& PortIo()
{
    static TPortIo io;
    return io;
}

TLptDevice* OpenCwDriver(int lpt, bool showError)
{
    TLptDevice* port = PortIo().Lpt(lpt);
    if (!port && showError)
        MessageDlg(CouldNotOpenCwDriverText, TMsgDlgType::mtInformation, mbOK);
    return port;
}

} // namespace korval
