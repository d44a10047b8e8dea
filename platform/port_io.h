#pragma once
// The parallel ports LPT1 to LPT3 as the CW keyer and the band decoder use them: a byte to the
// data register (the band decoder) and a byte to the control register (key on bit 0, PTT on
// bit 2). On Linux the kernel's parallel-port driver (ppdev, /dev/parport0 for LPT1) grants
// the access; the operator needs the device's group (usually "lp"). Ports are opened on first
// need and kept until CloseDriver; tests put simulated ports in their place.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/key_line.h"

namespace korval {

inline constexpr const char* CouldNotOpenCwDriverText = "Could not open CW driver";

class TLptDevice {
public:
    virtual ~TLptDevice() = default;
    virtual bool WriteData(std::uint8_t value) = 0;
    virtual bool WriteControl(std::uint8_t value) = 0;
};

// A port through ppdev, claimed for this program while it is open.
class TPpdevLpt : public TLptDevice {
public:
    // Null with the reason in `error` when the device cannot be opened and claimed.
    static std::unique_ptr<TPpdevLpt> Open(const std::string& path, std::string& error);
    ~TPpdevLpt() override;
    bool WriteData(std::uint8_t value) override;
    bool WriteControl(std::uint8_t value) override;

private:
    explicit TPpdevLpt(int fd) : fd_(fd) {}
    int fd_;
};

// A port that only records what is written to it.
class TRecordingLpt : public TLptDevice {
public:
    struct TWrite {
        bool control;  // false: data register
        std::uint8_t value;
        bool operator==(const TWrite&) const = default;
    };
    bool WriteData(std::uint8_t value) override;
    bool WriteControl(std::uint8_t value) override;
    std::vector<TWrite> Writes() const;

private:
    mutable std::mutex mu_;
    std::vector<TWrite> writes_;
};

// The device of LPT1..3: /dev/parport0..2.
std::string ParallelPortPath(int lpt);

// The ports of the program (the stand-in for the port-I/O driver).
class TPortIo {
public:
    using TOpener = std::function<std::unique_ptr<TLptDevice>(int lpt, std::string& error)>;

    // LPT1..3, opened on first need; null for other numbers or when the port cannot be opened
    // (LastError tells why). A port that failed is tried again on the next call.
    TLptDevice* Lpt(int lpt);
    // True while any port is open.
    bool ActiveHW() const;
    std::string LastError() const;
    // Closes every port; the pointers Lpt gave are invalid afterwards.
    void CloseDriver();
    // Replaces how ports are opened (empty: ppdev); closes the open ones. Returns the old one.
    TOpener SetOpener(TOpener opener);

private:
    mutable std::mutex mu_;
    std::map<int, std::unique_ptr<TLptDevice>> ports_;
    std::string lastError_;
    TOpener opener_;
};

TPortIo& PortIo();

// The keyer's port: opens it when needed; when that fails and showError is set, the operator
// is told "Could not open CW driver".
TLptDevice* OpenCwDriver(int lpt, bool showError);

// Key on bit 0 and PTT on bit 2 of a parallel port's control register.
class TLptKeyLine : public TKeyLine {
public:
    explicit TLptKeyLine(TLptDevice& port) : port_(port) {}
    void Set(bool key, bool ptt) override { port_.WriteControl(static_cast<std::uint8_t>((key ? 1 : 0) | (ptt ? 4 : 0))); }
    bool HasPtt() const override { return true; }

private:
    TLptDevice& port_;
};

} // namespace korval
