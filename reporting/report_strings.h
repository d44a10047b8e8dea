#pragma once
// Small text helpers of the report engine, on 8-bit (Windows-1252) strings.
#include <string>
#include <string_view>

namespace korval {

// Upper case in the 8-bit character set (accented letters included).
char UpperChar(char c);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);

} // namespace korval
