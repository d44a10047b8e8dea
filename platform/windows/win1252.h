#pragma once
// The program's 8-bit character set is Windows-1252. Engines keep bytes; windows convert here.
#include <QString>
#include <string>
#include <string_view>

namespace korval {

QString FromWin1252(std::string_view bytes);
// Characters outside Windows-1252 become '?'.
std::string ToWin1252(const QString& text);

} // namespace korval
