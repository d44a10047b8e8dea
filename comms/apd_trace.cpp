#include "comms/apd_trace.h"

#include "comms/apd_errors.h"

#include <cerrno>
#include <cstdio>

namespace korval {

namespace {
constexpr std::size_t kLineWidth = 79;

std::string Item(std::uint8_t b, bool hex)
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

std::string RunHeading(char type)
{
    if (type == 'T')
        return "Transmit: ";
    if (type == 'R')
        return "Receive: ";
    return std::string("Special-") + type + ": ";
}
} // namespace

int TApdTrace::Start(std::uint32_t size)
{
    if (size == 0 || size > kMaxTraceSize)
        return ecBadArgument;
    if (ring_.size() != std::size_t(size) * 2)
        ring_.assign(std::size_t(size) * 2, 0);
    head_ = 0;
    wrapped_ = false;
    return 0;
}

int TApdTrace::SetState(TTraceLogState state, std::uint32_t size, const std::string& fileName, bool hex)
{
    std::lock_guard<std::mutex> g(lock_);
    switch (state) {
    case tlOn:
        if (state_ == tlPause) {
            state_ = tlOn;
            return 0;
        }
        if (int rc = Start(size); rc < 0)
            return rc;
        state_ = tlOn;
        return 0;
    case tlOff:
        ring_.clear();
        head_ = 0;
        wrapped_ = false;
        state_ = tlOff;
        return 0;
    case tlPause:
        if (state_ == tlOn)
            state_ = tlPause;
        return 0;
    case tlClear:
        head_ = 0;
        wrapped_ = false;
        return 0;
    case tlDump:
    case tlAppend:
        if (state_ != tlOff && (head_ != 0 || wrapped_))
            WriteFile(fileName, hex, state == tlAppend);
        ring_.clear();
        head_ = 0;
        wrapped_ = false;
        state_ = tlOff;
        return 0;
    }
    return 0;
}

TTraceLogState TApdTrace::State() const
{
    std::lock_guard<std::mutex> g(lock_);
    return state_;
}

void TApdTrace::Add(char type, const std::uint8_t* bytes, std::size_t count)
{
    std::lock_guard<std::mutex> g(lock_);
    if (state_ != tlOn || ring_.empty())
        return;
    for (std::size_t i = 0; i < count; ++i) {
        ring_[head_] = static_cast<std::uint8_t>(type);
        ring_[head_ + 1] = bytes[i];
        head_ += 2;
        if (head_ == ring_.size()) {
            head_ = 0;
            wrapped_ = true;
        }
    }
}

std::string TApdTrace::DumpText(bool hex) const
{
    std::string out;
    const std::size_t entries = wrapped_ ? ring_.size() / 2 : head_ / 2;
    const std::size_t first = wrapped_ ? head_ : 0;
    char runType = 0;
    std::size_t column = 0;
    for (std::size_t n = 0; n < entries; ++n) {
        std::size_t at = (first + n * 2) % ring_.size();
        char type = static_cast<char>(ring_[at]);
        if (n == 0 || type != runType) {
            if (n != 0)
                out += column ? "\n\n" : "\n";
            out += RunHeading(type);
            out += '\n';
            runType = type;
            column = 0;
        }
        std::string item = Item(ring_[at + 1], hex);
        if (column + item.size() > kLineWidth) {
            out += '\n';
            column = 0;
        }
        out += item;
        column += item.size();
    }
    if (column)
        out += '\n';
    return out;
}

void TApdTrace::WriteFile(const std::string& fileName, bool hex, bool append)
{
    std::string text = DumpText(hex);
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
