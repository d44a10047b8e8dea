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
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    pos_ = 0;
    high_ = 0;
    if (out_)
        out_->seekp(0);
}

void TStreamWriter::Detach()
{
    Flush();
    out_ = nullptr;
}

void TStreamWriter::put(const char* data, size_t size)
{
    if (buffer_.size() + size > kBufferSize)
        Flush();
    if (size > kBufferSize) {
        out_->write(data, std::streamsize(size));
        pos_ += std::int64_t(size);
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
    if (!out_ || buffer_.empty())
        return;
    out_->write(buffer_.data(), std::streamsize(buffer_.size()));
    pos_ += std::int64_t(buffer_.size());
    buffer_.clear();
    high_ = std::max(high_, pos_);
}

void TStreamWriter::Patch(std::int64_t at, std::string_view bytes)
{
    Flush();
    out_->seekp(at);
    out_->write(bytes.data(), std::streamsize(bytes.size()));
    high_ = std::max(high_, at + std::int64_t(bytes.size()));
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
    out_->seekp(at);
}

} // namespace korval
