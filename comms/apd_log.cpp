#include "comms/apd_log.h"

#include "comms/apd_errors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/utsname.h>

namespace korval {

namespace {
constexpr int kTypeTexts = 15001;
constexpr int kSubTypeTexts = 15100;
constexpr int kHeadingTexts = 15501;
constexpr int kOptionTexts = 15700;

std::string TableOr(int id, const std::string& otherwise)
{
    const char* text = MessageTableText(id);
    return text ? text : otherwise;
}

// Seconds with three decimals: 1234 ms is "0001.234".
std::string TimeText(std::uint32_t ms)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04u.%03u", ms / 1000, ms % 1000);
    return buf;
}

std::string CompilerName()
{
    char buf[64];
#if defined(__clang__)
    std::snprintf(buf, sizeof buf, "Clang %d.%d.%d", __clang_major__, __clang_minor__, __clang_patchlevel__);
#elif defined(__GNUC__)
    std::snprintf(buf, sizeof buf, "GCC %d.%d.%d", __GNUC__, __GNUC_MINOR__, __GNUC_PATCHLEVEL__);
#else
    std::snprintf(buf, sizeof buf, "C++ %ld", static_cast<long>(__cplusplus));
#endif
    return buf;
}

// The system's name, its version as major.minor, and the machine: "Linux 6.8 x86_64".
std::string OperatingSystem()
{
    utsname u {};
    if (uname(&u) != 0)
        return "Unknown";
    unsigned major = 0, minor = 0;
    std::sscanf(u.release, "%u.%u", &major, &minor);
    return std::string(u.sysname) + " " + std::to_string(major) + "." + std::to_string(minor) + " " + u.machine;
}

// What follows the data value when no bytes are attached.
std::string Remark(std::uint8_t type, std::uint8_t subType, std::uint32_t data)
{
    if (type == dtTelnet && subType >= dstWillSent && subType <= dstDontRecv)
        return TableOr(kOptionTexts + static_cast<int>(data), "Option " + std::to_string(data));
    if (type == dtTrigger && subType == dstStatus) {
        static const char* const kinds[] = {"(Not active)",         "(Modem status)",       "(Line status)",
                                            "(Output buffer free)", "(Output buffer used)", "(Output sent)"};
        if ((data & 7) < std::size(kinds))
            return kinds[data & 7];
    }
    return "";
}
} // namespace

void TApdLog::SetOrigin(std::chrono::steady_clock::time_point origin)
{
    std::lock_guard<std::mutex> g(lock_);
    origin_ = origin;
}

int TApdLog::Allocate(std::uint32_t size)
{
    if (size == 0 || size > kMaxLogSize)
        return ecBadArgument;
    if (ring_.size() != size)
        ring_.assign(size, 0);
    Empty();
    return 0;
}

void TApdLog::Empty()
{
    oldest_ = 0;
    used_ = 0;
}

void TApdLog::Release()
{
    ring_.clear();
    Empty();
}

void TApdLog::Put(const void* bytes, std::size_t count, std::size_t& at)
{
    auto* p = static_cast<const std::uint8_t*>(bytes);
    std::size_t first = std::min(count, ring_.size() - at);
    std::memcpy(ring_.data() + at, p, first);
    std::memcpy(ring_.data(), p + first, count - first);
    at = (at + count) % ring_.size();
}

void TApdLog::Get(void* bytes, std::size_t count, std::size_t& at) const
{
    auto* p = static_cast<std::uint8_t*>(bytes);
    std::size_t first = std::min(count, ring_.size() - at);
    std::memcpy(p, ring_.data() + at, first);
    std::memcpy(p + first, ring_.data(), count - first);
    at = (at + count) % ring_.size();
}

void TApdLog::DropOldest()
{
    std::size_t at = (oldest_ + 10) % ring_.size();
    std::uint32_t count;
    Get(&count, sizeof count, at);
    std::size_t size = kHeaderSize + count;
    oldest_ = (oldest_ + size) % ring_.size();
    used_ -= size;
}

void TApdLog::Add(TDispatchType type, TDispatchSubType subType, std::uint32_t data, const std::uint8_t* bytes,
                  std::size_t count)
{
    if (!MayRecord())
        return;
    std::uint32_t ms;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (!Recording())
            return;
        auto elapsed = std::chrono::steady_clock::now() - origin_;
        ms = static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    AddAt(ms, type, subType, data, bytes, count);
}

void TApdLog::AddAt(std::uint32_t ms, TDispatchType type, TDispatchSubType subType, std::uint32_t data,
                    const std::uint8_t* bytes, std::size_t count)
{
    std::lock_guard<std::mutex> g(lock_);
    const std::size_t size = kHeaderSize + count;
    // An entry larger than the whole ring is not kept.
    if (!Recording() || size > ring_.size())
        return;
    while (ring_.size() - used_ < size)
        DropOldest();
    std::size_t at = (oldest_ + used_) % ring_.size();
    const std::uint8_t kinds[2] = {type, subType};
    const auto length = static_cast<std::uint32_t>(count);
    Put(kinds, 2, at);
    Put(&ms, 4, at);
    Put(&data, 4, at);
    Put(&length, 4, at);
    if (count)
        Put(bytes, count, at);
    used_ += size;
}

std::string TApdLog::Banner()
{
    return "QRVX v2.58\nCompiler : " + CompilerName() + "\nOperating System : " + OperatingSystem() + "\n" +
           TableOr(kHeadingTexts, "") + "\n" + TableOr(kHeadingTexts + 1, "") + "\n";
}

std::string TApdLog::Text(bool hex) const
{
    std::string out = Banner();
    std::vector<std::uint8_t> attached;
    std::size_t at = oldest_;
    for (std::size_t done = 0; done < used_;) {
        std::uint8_t kinds[2];
        std::uint32_t ms, data, count;
        Get(kinds, 2, at);
        Get(&ms, 4, at);
        Get(&data, 4, at);
        Get(&count, 4, at);
        attached.resize(count);
        if (count)
            Get(attached.data(), count, at);
        done += kHeaderSize + count;

        char line[96];
        std::snprintf(line, sizeof line, "%8s  %-8s  %-12s  %08x  ", TimeText(ms).c_str(),
                      TableOr(kTypeTexts + kinds[0], "").c_str(), TableOr(kSubTypeTexts + kinds[1], "").c_str(),
                      data);
        out += line;
        if (count)
            for (std::uint8_t b : attached)
                out += Item(b, hex);
        else
            out += Remark(kinds[0], kinds[1], data);
        out += '\n';
    }
    return out;
}

} // namespace korval
