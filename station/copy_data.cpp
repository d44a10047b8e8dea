#include "station/copy_data.h"

namespace korval {

namespace {
void PutU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t GetU32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)])) << (8 * i);
    return v;
}
} // namespace

std::string EncodeCopyData(std::uint32_t tag, std::string_view data)
{
    std::string out;
    PutU32(out, tag);
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    out.append(data);
    return out;
}

bool TCopyDataReader::Feed(std::string_view bytes, std::vector<TCopyData>& out)
{
    buffer_.append(bytes);
    std::size_t at = 0;
    while (buffer_.size() - at >= 8) {
        const std::uint32_t length = GetU32(buffer_, at + 4);
        if (length > MaxCopyData) {
            buffer_.clear();
            return false;
        }
        if (buffer_.size() - at - 8 < length)
            break;
        out.push_back({GetU32(buffer_, at), buffer_.substr(at + 8, length)});
        at += 8 + length;
    }
    buffer_.erase(0, at);
    return true;
}

std::vector<std::string> TCopyDataLines::Take(std::string_view data)
{
    std::vector<std::string> lines;
    for (char c : data) {
        if (c == '\r') {
            lines.push_back(line_);
            line_.clear();
        } else if (c != '\0' && c != '\n' && line_.size() < MaxCopyData) {
            line_ += c;
        }
    }
    return lines;
}

} // namespace korval
