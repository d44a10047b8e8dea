#pragma once
// The log of a port: every dispatcher event with the time since the port opened, in a byte ring
// of variable-length entries, written to a text file on request.
#include "comms/apd_trace_log.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace korval {

inline constexpr std::uint32_t kMaxLogSize = 16000000;

// Entry types; the type's text is message 15001 + the type.
enum TDispatchType : std::uint8_t {
    dtNone, dtDispatch, dtTrigger, dtError, dtThread, dtTriggerAlloc, dtTriggerDispose,
    dtTriggerHandlerAlloc, dtTriggerHandlerDispose, dtTriggerDataChange, dtTelnet
};

// Entry sub-types; the text is message 15100 + the sub-type.
enum TDispatchSubType : std::uint8_t {
    dstNone, dstReadCom, dstWriteCom, dstLineStatus, dstModemStatus, dstAvail, dstTimer, dstData,
    dstStatus, dstThreadStart, dstThreadExit, dstThreadSleep, dstThreadWake, dstDataTrigger,
    dstTimerTrigger, dstStatusTrigger, dstAvailTrigger, dstWndHandler, dstProcHandler,
    dstEventHandler, dstWillSent, dstWontSent, dstDoSent, dstDontSent, dstWillRecv, dstWontRecv,
    dstDoRecv, dstDontRecv, dstCommand, dstSentTerm
};

class TApdLog : public TApdTraceLog {
public:
    // Entries are timed from here (the port's open).
    void SetOrigin(std::chrono::steady_clock::time_point origin);
    void Add(TDispatchType type, TDispatchSubType subType, std::uint32_t data, const std::uint8_t* bytes = nullptr,
             std::size_t count = 0);
    // The same with the time given, in milliseconds since the origin.
    void AddAt(std::uint32_t ms, TDispatchType type, TDispatchSubType subType, std::uint32_t data,
               const std::uint8_t* bytes = nullptr, std::size_t count = 0);

    // The first lines of a dump: the library's version, the compiler and the operating system.
    static std::string Banner();

protected:
    int Allocate(std::uint32_t size) override;
    void Empty() override;
    void Release() override;
    bool HasEntries() const override { return used_ != 0; }
    std::string Text(bool hex) const override;

private:
    // Entry header: type, sub-type, time, data, length of the attached bytes.
    static constexpr std::size_t kHeaderSize = 14;
    void Put(const void* bytes, std::size_t count, std::size_t& at);
    void Get(void* bytes, std::size_t count, std::size_t& at) const;
    void DropOldest();

    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
    std::vector<std::uint8_t> ring_;
    std::size_t oldest_ = 0; // where the oldest entry starts
    std::size_t used_ = 0;
};

} // namespace korval
