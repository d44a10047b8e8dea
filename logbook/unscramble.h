#pragma once
// Some message texts are kept scrambled in the program and revealed only when shown.
// UnscrambleString turns a scrambled text into the readable one (same length); ScrambleString
// is its inverse, used to produce the stored forms.
#include <string>
#include <string_view>

namespace korval {

std::string UnscrambleString(std::string_view scrambled);
std::string ScrambleString(std::string_view plain);

} // namespace korval
