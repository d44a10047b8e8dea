#pragma once
// Line rates outside the standard termios table, through the kernel's termios2 interface. Its
// definitions clash with <termios.h>, so this header includes neither.

namespace korval {

// Sets a rate the standard table lacks (termios2 with BOTHER); 0 or a negative code.
int SetCustomBaud(int fd, int baud);
// Reads back the input and output rate of a device; false when the driver cannot tell.
bool GetDeviceBaud(int fd, int& baud);

} // namespace korval
