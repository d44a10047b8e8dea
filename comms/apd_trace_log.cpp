#include "comms/apd_trace_log.h"

#include "comms/apd_errors.h"

#include <cerrno>
#include <cstdio>

namespace korval {

std::string TApdTraceLog::Item(std::uint8_t b, bool hex)
{
    const int lowest = hex ? 33 : 32;
    if (b >= lowest && b <= 126)
        return std::string(1, static_cast<char>(b));
    char buf[8];
    if (hex)
        std::snprintf(buf, sizeof buf, "[%02X]", b);
    else
        std::snprintf(buf, sizeof buf, "[%d]", b);
    return buf;
}

int TApdTraceLog::SetState(TTraceLogState state, std::uint32_t size, const std::string& fileName, bool hex)
{
    std::lock_guard<std::mutex> g(lock_);
    switch (state) {
    case tlOn:
        if (state_ == tlPause) {
            SetStateField(tlOn);
            return 0;
        }
        // A running one started again is emptied.
        if (int rc = Allocate(size); rc < 0)
            return rc;
        SetStateField(tlOn);
        return 0;
    case tlOff:
        Release();
        SetStateField(tlOff);
        return 0;
    case tlPause:
        if (state_ == tlOn)
            SetStateField(tlPause);
        return 0;
    case tlClear:
        Empty();
        return 0;
    case tlDump:
    case tlAppend:
        // A file that cannot be written leaves the recording as it was, to be dumped elsewhere.
        if (state_ != tlOff && HasEntries())
            WriteFile(fileName, hex, state == tlAppend);
        Release();
        SetStateField(tlOff);
        return 0;
    }
    return 0;
}

void TApdTraceLog::SetStateField(TTraceLogState state)
{
    state_ = state;
    recording_.store(state == tlOn, std::memory_order_relaxed);
}

TTraceLogState TApdTraceLog::State() const
{
    std::lock_guard<std::mutex> g(lock_);
    return state_;
}

std::string TApdTraceLog::DumpText(bool hex) const
{
    std::lock_guard<std::mutex> g(lock_);
    return Text(hex);
}

void TApdTraceLog::WriteFile(const std::string& fileName, bool hex, bool append)
{
    std::string text = Text(hex);
    FILE* f = std::fopen(fileName.c_str(), append ? "ab" : "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    int err = errno;
    if (f && std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        int code = err == ENOENT ? 2 : err == ENOTDIR ? 3 : err == EACCES ? 5 : 101;
        throw EInOutError(code, ErrorText(code) + ": " + fileName);
    }
}

} // namespace korval
