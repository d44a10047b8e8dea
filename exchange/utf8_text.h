#pragma once
// Text of other programs in UTF-8, brought into this program's 8-bit character set
// (Windows-1252) where it can be.
#include <string>
#include <string_view>

namespace korval {

enum class TUtf8Result {
    Plain,            // nothing above 127: the text stands as it is
    Converted,        // valid UTF-8, every character in Windows-1252: out holds the converted text
    Unrepresentable,  // valid UTF-8 with characters Windows-1252 lacks: the bytes are to be kept
    NotUtf8,          // not UTF-8 (already 8-bit text): the bytes are to be kept
};
TUtf8Result Utf8ToWin1252(std::string_view in, std::string& out);

} // namespace korval
