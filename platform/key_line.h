#pragma once
// The keying lines of the CW keyer: the transmitter's key and its PTT behind one interface, so
// the sender does not care whether a parallel port, a serial port's modem line or a test takes
// them.
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace korval {

class TKeyLine {
public:
    virtual ~TKeyLine() = default;
    // Sets both lines at once. An interface without a PTT line of its own keys on `key` only.
    virtual void Set(bool key, bool ptt) = 0;
    virtual bool HasPtt() const { return false; }
};

struct TKeyLineEvent {
    std::int64_t ns;  // the time of the clock the line was given
    bool key;
    bool ptt;
    bool operator==(const TKeyLineEvent&) const = default;
};

// Records every write with the time it happened; safe to read from another thread.
class TRecordingKeyLine : public TKeyLine {
public:
    explicit TRecordingKeyLine(std::function<std::int64_t()> clock, bool hasPtt = true)
        : clock_(std::move(clock)), hasPtt_(hasPtt) {}
    void Set(bool key, bool ptt) override;
    bool HasPtt() const override { return hasPtt_; }
    std::vector<TKeyLineEvent> Events() const;
    // The last state written (both off before any write).
    TKeyLineEvent Last() const;
    void Clear();

private:
    std::function<std::int64_t()> clock_;
    bool hasPtt_;
    mutable std::mutex mu_;
    std::vector<TKeyLineEvent> events_;
};

} // namespace korval
