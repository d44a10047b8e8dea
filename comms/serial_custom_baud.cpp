// Kept apart from the termios code: the kernel's termios2 definitions clash with <termios.h>.
#include "comms/serial_custom_baud.h"

#include "comms/apd_errors.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace korval {

int SetCustomBaud(int fd, int baud)
{
    struct termios2 t2 {};
    if (ioctl(fd, TCGETS2, &t2) != 0)
        return -SystemErrorCode(errno);
    t2.c_cflag &= ~CBAUD;
    t2.c_cflag |= BOTHER;
    t2.c_cflag &= ~(CBAUD << IBSHIFT);
    t2.c_cflag |= BOTHER << IBSHIFT;
    t2.c_ispeed = static_cast<speed_t>(baud);
    t2.c_ospeed = static_cast<speed_t>(baud);
    if (ioctl(fd, TCSETS2, &t2) != 0)
        return ecBaudRate;
    return 0;
}

bool GetDeviceBaud(int fd, int& baud)
{
    struct termios2 t2 {};
    if (ioctl(fd, TCGETS2, &t2) != 0)
        return false;
    baud = static_cast<int>(t2.c_ospeed);
    return true;
}

} // namespace korval
