#include "reporting/stream_reader.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "reporting/report_basics.h"

namespace korval {

namespace {

// The width and height of a BMP file's picture, 0 when the bytes are no BMP.
void bitmapSize(std::string_view data, int& width, int& height)
{
    width = height = 0;
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M')
        return;
    auto i32 = [&](size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | std::uint8_t(data[at + size_t(i)]);
        return std::int32_t(v);
    };
    width = std::abs(i32(18));
    height = std::abs(i32(22));
}

} // namespace

void TStreamReader::Damaged()
{
    RaiseReportText(kUnexpectedCode);
}

void TStreamReader::need(std::int64_t count) const
{
    if (count < 0 || count > std::int64_t(bytes_.size() - pos_))
        Damaged();
}

void TStreamReader::Seek(std::int64_t at)
{
    if (at < 0 || at > std::int64_t(bytes_.size()))
        Damaged();
    pos_ = size_t(at);
}

std::uint8_t TStreamReader::Byte()
{
    need(1);
    return std::uint8_t(bytes_[pos_++]);
}

std::uint8_t TStreamReader::ByteUpTo(std::uint8_t last)
{
    const std::uint8_t v = Byte();
    if (v > last)
        Damaged();
    return v;
}

std::uint16_t TStreamReader::Word()
{
    need(2);
    const auto v = std::uint16_t(std::uint8_t(bytes_[pos_]) | (std::uint8_t(bytes_[pos_ + 1]) << 8));
    pos_ += 2;
    return v;
}

std::int32_t TStreamReader::Integer()
{
    need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | std::uint8_t(bytes_[pos_ + size_t(i)]);
    pos_ += 4;
    return std::int32_t(v);
}

double TStreamReader::Float()
{
    const float v = std::bit_cast<float>(std::uint32_t(Integer()));
    if (!std::isfinite(v) || std::fabs(v) > kLargestFloat)
        Damaged();
    return v;
}

std::string TStreamReader::String()
{
    size_t length = Byte();
    if (length >= 192 && version_ >= 2016)
        length = ((length << 8) | Byte()) - 0xC000;
    return std::string(Bytes(std::int64_t(length)));
}

std::string_view TStreamReader::Bytes(std::int64_t count)
{
    need(count);
    const std::string_view out = bytes_.substr(pos_, size_t(count));
    pos_ += size_t(count);
    return out;
}

TReportGraphic TStreamReader::Graphic()
{
    const std::uint8_t kind = Byte();
    TReportGraphic graphic;
    graphic.Kind = TGraphicKind(kind & 0x7F);
    if (graphic.Kind < gkBitmap || graphic.Kind > gkOther)
        Damaged();
    if (kind >= 128) {
        // The data of an earlier graphic: its size field lies before this reference.
        const std::int32_t at = Integer();
        const std::int64_t back = Position();
        if (at < 0 || at >= back - 5)
            Damaged();
        Seek(at);
        graphic.Data = std::string(Bytes(Integer()));
        Seek(back);
    } else {
        graphic.Data = std::string(Bytes(Integer()));
    }
    if (graphic.Kind == gkBitmap)
        bitmapSize(graphic.Data, graphic.Width, graphic.Height);
    return graphic;
}

void TStreamReader::Expect(std::uint8_t code)
{
    if (Byte() != code)
        Damaged();
}

} // namespace korval
