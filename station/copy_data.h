#pragma once
// Text exchanged with another program through a local socket, in place of window messages:
// each message is a 32-bit tag and a 32-bit length (little-endian) followed by the data, and is
// answered with one byte (1 taken, 2 not understood).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

inline constexpr std::uint32_t CopyDataTag = 100;
inline constexpr std::size_t MaxCopyData = 65536;
inline constexpr char CopyDataTaken = 1;
inline constexpr char CopyDataNotUnderstood = 2;

struct TCopyData {
    std::uint32_t tag = 0;
    std::string data;
};

std::string EncodeCopyData(std::uint32_t tag, std::string_view data);

// Collects messages from a byte stream that may arrive in pieces.
class TCopyDataReader {
public:
    // Appends the bytes and moves every whole message to out. False when a message announces
    // more than MaxCopyData bytes: the stream is damaged and must be dropped.
    bool Feed(std::string_view bytes, std::vector<TCopyData>& out);

private:
    std::string buffer_;
};

// Text that another program sent: NUL, LF and CR are dropped, and each CR ends a line.
class TCopyDataLines {
public:
    std::vector<std::string> Take(std::string_view data);

private:
    std::string line_;
};

} // namespace korval
