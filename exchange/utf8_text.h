#pragma once
// Text of other programs in UTF-8, brought into this program's 8-bit character set
// (Windows-1252) where it can be, and this program's text written as UTF-8 again.
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

// The same for each line of a text (lines are parted by '|', as notes join their items): out
// gets every line converted where it can be and as it was where not. True when a line keeps
// UTF-8 bytes because the 8-bit set lacks its characters.
bool Utf8LinesToWin1252(std::string_view in, std::string& out);

// Text of a QSO as UTF-8, as other programs read ADIF files today. A stored text holds
// Windows-1252 characters, or the UTF-8 bytes an import kept because Windows-1252 lacks their
// characters: a well-formed UTF-8 sequence is taken as such and written as it is, every other
// byte above 127 as the UTF-8 of its Windows-1252 character.
std::string Win1252ToUtf8(std::string_view in);

} // namespace korval
