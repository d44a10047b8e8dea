#include "logbook/base/stream.h"

#include <algorithm>
#include <cstring>

namespace korval {

void TStream::ReadBuffer(void* buffer, std::int32_t count)
{
    if (count < 0 || Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count)
{
    if (count < 0 || Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

TMemoryStream::TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count)
{
    if (count <= 0 || pos_ >= data_.size())
        return 0;
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<std::int32_t>(n);
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0)
        return 0;
    std::size_t n = static_cast<std::size_t>(count);
    if (pos_ + n > data_.size())
        data_.resize(pos_ + n);
    std::memcpy(data_.data() + pos_, buffer, n);
    pos_ += n;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, int origin)
{
    std::int64_t target;
    switch (origin) {
    case soFromBeginning: target = offset; break;
    case soFromCurrent: target = static_cast<std::int64_t>(pos_) + offset; break;
    case soFromEnd: target = GetSize() - offset; break;
    default: throw EStreamError("Seek error: unknown origin");
    }
    if (target < 0)
        throw EStreamError("Seek error");
    pos_ = static_cast<std::size_t>(target);
    return target;
}

} // namespace korval
