#pragma once
// Small string and number routines shared by the whole program. Texts are 8-bit strings;
// "short string" routines keep to the 255-character limit of the program's stored strings.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace korval {

int CompareWords(std::uint16_t a, std::uint16_t b);   // -1, 0 or 1
int CompareLongs(std::int32_t a, std::int32_t b);     // -1, 0 or 1
std::int32_t MaxLong(std::int32_t a, std::int32_t b);

// The decimal value of the digits of the text, other characters skipped, kept to 16 bits.
std::uint16_t DigitsValue(std::string_view text);
// The lowest `width` decimal digits of a non-negative value, with leading zeros.
std::string ZeroPadNumber(std::uint32_t value, int width);
// The first `width` characters, padded with blanks to `width`.
std::string PadRight(std::string_view text, int width);
// Blanks put in front until the length reaches `width`.
std::string PadLeft(std::string_view text, int width);

// Trimming. The Trim forms cut the characters of `cut` (blanks unless told otherwise) from the
// ends and return a view into the text they were given, so that text must outlive the view;
// TrimSpaces and TrimRightShort return copies. A text that is all cut gives an empty view that
// still points into it.
inline constexpr std::string_view kBlanks = " ";
inline constexpr std::string_view kBlanksAndTabs = " \t";
// What isspace takes in the C locale.
inline constexpr std::string_view kWhitespace = " \t\n\v\f\r";
// The blank and every control character before it (character codes 0 to 32).
inline constexpr std::string_view kBlankAndControls{
    "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f"
    "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x20", 33};
std::string_view Trim(std::string_view text, std::string_view cut = kBlanks);
std::string_view TrimLeft(std::string_view text, std::string_view cut = kBlanks);
std::string_view TrimRight(std::string_view text, std::string_view cut = kBlanks);
// The text without leading and trailing blanks.
std::string TrimSpaces(std::string_view text);
// The text without trailing blanks.
std::string TrimRightShort(std::string_view text);
// ASCII letters upper-cased; other bytes kept.
std::string UpperAscii(std::string text);
// The whole number a field holds (blanks around it allowed); 0 when it holds anything else.
long FieldTextToInt(const std::string& text);
// "No QSO ", "One QSO ", "2 QSOs ".
std::string CountText(long count, std::string_view noun);
// Size in bytes; 0 when the file cannot be opened.
std::int64_t GetFileSize(const std::string& name);
std::string ByteToHex(std::uint8_t value);
// 0..15 for '0'..'9' and 'A'..'F'; 0 for anything else.
int HexDigitValue(char c);
// Field `index` (from 0) of a tab-separated line; empty when the line has fewer fields.
std::string GetTabField(int index, std::string_view line);
// A new list of the texts in order.
std::vector<std::string> MakeStringList(std::initializer_list<const char*> texts);

// A heap copy of a short string (length byte and characters, exactly length + 1 bytes; texts
// longer than 255 are cut), and its release.
std::uint8_t* NewShortStr(std::string_view text);
void DisposeShortStr(std::uint8_t* p);
std::string ShortStrText(const std::uint8_t* p);

// Positions from 1; 0 when the character is not there.
int PosCharShort(char c, std::string_view text);
int LastPosCharShort(char c, std::string_view text);
// Position (from 0) of the first character of the text that is in `set`; -1 when none.
int PosCharSet(std::string_view set, std::string_view text);

// "12.5W" -> -12.5: trimmed, a trailing E/N/S/W (any case) cut, S and W negate; false when the
// rest is not a number (an empty text gives 0 and false).
bool StrToCoord(std::string_view text, double& value);
// Characters 1 and 2 upper case, 5 and 6 lower case, the others unchanged: "jn47ab" -> "JN47ab".
std::string FormatGridLocator(std::string_view grid);

} // namespace korval
