#pragma once
// The trace of a port: every byte queued for sending ("T") and every byte read by the owner ("R")
// in a ring of two-byte entries, written to a text file on request.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace korval {

enum TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause };

inline constexpr std::uint32_t kMaxTraceSize = 4000000;

class TApdTrace {
public:
    // Applies a state change; returns 0 or a negative code (-1002 for a size out of range).
    // Dump and append write the file and stop; a file error raises EInOutError.
    int SetState(TTraceLogState state, std::uint32_t size, const std::string& fileName, bool hex);
    TTraceLogState State() const;
    void Add(char type, const std::uint8_t* bytes, std::size_t count);

    // The dump text of the entries held, oldest first.
    std::string DumpText(bool hex) const;

private:
    int Start(std::uint32_t size);
    void WriteFile(const std::string& fileName, bool hex, bool append);

    mutable std::mutex lock_;
    TTraceLogState state_ = tlOff;
    std::vector<std::uint8_t> ring_; // type, byte, type, byte...
    std::size_t head_ = 0;           // next entry to write
    bool wrapped_ = false;
};

} // namespace korval
