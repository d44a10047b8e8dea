#include "comms/apd_trace.h"

#include "comms/apd_errors.h"

namespace korval {

namespace {
constexpr std::size_t kLineWidth = 79;

std::string RunHeading(char type)
{
    if (type == 'T')
        return "Transmit: ";
    if (type == 'R')
        return "Receive: ";
    return std::string("Special-") + type + ": ";
}
} // namespace

int TApdTrace::Allocate(std::uint32_t size)
{
    if (size == 0 || size > kMaxTraceSize)
        return ecBadArgument;
    if (ring_.size() != std::size_t(size) * 2)
        ring_.assign(std::size_t(size) * 2, 0);
    Empty();
    return 0;
}

void TApdTrace::Empty()
{
    head_ = 0;
    wrapped_ = false;
}

void TApdTrace::Release()
{
    ring_.clear();
    Empty();
}

void TApdTrace::Add(char type, const std::uint8_t* bytes, std::size_t count)
{
    if (!MayRecord())
        return;
    std::lock_guard<std::mutex> g(lock_);
    if (!Recording() || ring_.empty())
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

std::string TApdTrace::Text(bool hex) const
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

} // namespace korval
