#include "reporting/report_stream.h"

#include <bit>
#include <cstring>

#include "reporting/report_basics.h"

namespace korval {

std::string TStreamWriter::WordBytes(std::uint16_t v)
{
    return {char(v & 0xFF), char(v >> 8)};
}

std::string TStreamWriter::IntegerBytes(std::int32_t v)
{
    const auto u = std::uint32_t(v);
    return {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
}

std::string TStreamWriter::FloatBytes(double v)
{
    return IntegerBytes(std::int32_t(std::bit_cast<std::uint32_t>(static_cast<float>(v))));
}

std::string TStreamWriter::StringBytes(std::string_view text)
{
    if (text.size() > kMaxStreamString) {
        ReportTrace("a text of " + std::to_string(text.size()) + " bytes was cut to " +
                    std::to_string(kMaxStreamString) + " bytes for the report stream");
        text = text.substr(0, kMaxStreamString);
    }
    std::string out;
    if (text.size() < 192) {
        out += char(text.size());
    } else {
        const auto length = std::uint16_t(text.size() + 0xC000);
        out += char(length >> 8);
        out += char(length & 0xFF);
    }
    out.append(text);
    return out;
}

void TStreamWriter::Attach(std::ostream* out)
{
    out_ = out;
    memory_ = nullptr;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    pos_ = 0;
    high_ = 0;
    if (out_)
        out_->seekp(0);
}

void TStreamWriter::Attach(std::string* memory)
{
    Attach(static_cast<std::ostream*>(nullptr));
    memory_ = memory;
    memory_->clear();
}

void TStreamWriter::Detach()
{
    Flush();
    out_ = nullptr;
    memory_ = nullptr;
}

void TStreamWriter::store(std::int64_t at, const char* data, size_t size)
{
    if (memory_) {
        const size_t from = size_t(at);
        const size_t inside = from < memory_->size() ? std::min(size, memory_->size() - from) : 0;
        if (from > memory_->size())
            memory_->resize(from);
        memory_->replace(from, inside, data, inside);
        memory_->append(data + inside, size - inside);
    } else if (out_) {
        out_->seekp(at);
        out_->write(data, std::streamsize(size));
    }
}

void TStreamWriter::put(const char* data, size_t size)
{
    if (buffer_.size() + size > kBufferSize)
        Flush();
    if (size > kBufferSize) {
        store(pos_, data, size);
        pos_ += std::int64_t(size);
        high_ = std::max(high_, pos_);
        return;
    }
    buffer_.append(data, size);
}

void TStreamWriter::Word(std::uint16_t v)
{
    const std::string b = WordBytes(v);
    put(b.data(), b.size());
}

void TStreamWriter::Integer(std::int32_t v)
{
    const std::string b = IntegerBytes(v);
    put(b.data(), b.size());
}

void TStreamWriter::Float(double v)
{
    const std::string b = FloatBytes(v);
    put(b.data(), b.size());
}

void TStreamWriter::String(std::string_view text)
{
    const std::string b = StringBytes(text);
    put(b.data(), b.size());
}

std::int64_t TStreamWriter::Graphic(const TReportGraphic& graphic, std::int64_t reference)
{
    if (reference >= 0) {
        Byte(std::uint8_t(graphic.Kind + 128));
        Integer(std::int32_t(reference));
        return reference;
    }
    Byte(graphic.Kind);
    const std::int64_t at = Position();
    Integer(std::int32_t(graphic.Data.size()));
    Bytes(graphic.Data);
    return at;
}

void TStreamWriter::Flush()
{
    if (buffer_.empty())
        return;
    store(pos_, buffer_.data(), buffer_.size());
    pos_ += std::int64_t(buffer_.size());
    buffer_.clear();
    high_ = std::max(high_, pos_);
}

void TStreamWriter::Patch(std::int64_t at, std::string_view bytes)
{
    Flush();
    store(at, bytes.data(), bytes.size());
    high_ = std::max(high_, at + std::int64_t(bytes.size()));
    if (out_)
        out_->seekp(pos_);
}

void TStreamWriter::PatchWord(std::int64_t at, std::uint16_t v)
{
    Patch(at, WordBytes(v));
}

void TStreamWriter::PatchInteger(std::int64_t at, std::int32_t v)
{
    Patch(at, IntegerBytes(v));
}

void TStreamWriter::Rewind(std::int64_t at)
{
    Flush();
    high_ = std::max(high_, pos_);
    pos_ = at;
    if (out_)
        out_->seekp(at);
}

} // namespace korval
