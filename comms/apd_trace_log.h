#pragma once
// What the trace and the log of a port share: the states they are switched through, the way a
// byte is shown in their files, and writing what they hold to a text file.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace korval {

enum TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause };

class TApdTraceLog {
public:
    virtual ~TApdTraceLog() = default;

    // Applies a state change; returns 0 or a negative code (-1002 for a size out of range).
    // Dump and append write the file (nothing when nothing was recorded) and stop; a file error
    // raises EInOutError.
    int SetState(TTraceLogState state, std::uint32_t size, const std::string& fileName, bool hex);
    TTraceLogState State() const;

    // The file's text for what is held, oldest first.
    std::string DumpText(bool hex) const;

    // A byte as the files show it: printable characters as themselves (from 33 with `hex`, from
    // 32 without), any other byte as "[0D]" with `hex` and as "[13]" without.
    static std::string Item(std::uint8_t b, bool hex);

protected:
    // The rest runs with the lock held.
    // Makes room for `size` entries (or bytes) and empties; a negative code for a size refused.
    virtual int Allocate(std::uint32_t size) = 0;
    virtual void Empty() = 0;
    virtual void Release() = 0;
    virtual bool HasEntries() const = 0;
    virtual std::string Text(bool hex) const = 0;
    bool Recording() const { return state_ == tlOn; }
    // Read without the lock, so that the data path pays nothing while nothing is recorded; an
    // entry that races a change of state is checked again under the lock.
    bool MayRecord() const { return recording_.load(std::memory_order_relaxed); }

    mutable std::mutex lock_;

private:
    void WriteFile(const std::string& fileName, bool hex, bool append);
    void SetStateField(TTraceLogState state);

    TTraceLogState state_ = tlOff;
    std::atomic<bool> recording_{false};
};

} // namespace korval
