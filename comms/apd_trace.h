#pragma once
// The trace of a port: every byte queued for sending ("T") and every byte read by the owner ("R")
// in a ring of two-byte entries, written to a text file on request.
#include "comms/apd_trace_log.h"

#include <cstdint>
#include <vector>

namespace korval {

inline constexpr std::uint32_t kMaxTraceSize = 4000000;

class TApdTrace : public TApdTraceLog {
public:
    void Add(char type, const std::uint8_t* bytes, std::size_t count);

protected:
    int Allocate(std::uint32_t size) override;
    void Empty() override;
    void Release() override;
    bool HasEntries() const override { return head_ != 0 || wrapped_; }
    std::string Text(bool hex) const override;

private:
    std::vector<std::uint8_t> ring_; // type, byte, type, byte...
    std::size_t head_ = 0;           // next entry to write
    bool wrapped_ = false;
};

} // namespace korval
