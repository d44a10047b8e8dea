#pragma once
// Helpers of the entry and grid controls: routines on the fields' null-terminated text buffers
// (at most 255 characters; positions are 0-based and a position beyond the end leaves the
// buffer as it is; the caller provides room for insertions), number texts, Windows-1252 case
// and letters, and the user-defined picture-mask characters.
#include <bitset>
#include <cstdint>
#include <string>

namespace korval {

constexpr int MaxEditLen = 255;

char* BinaryText(char* dest, uint32_t l);   // 32 digits "0"/"1", most significant first
char* FillChars(char* dest, char ch, int len);
char* HexText32(char* dest, uint32_t l);    // 8 upper-case hex digits
char* HexText16(char* dest, uint16_t w);    // 4 upper-case hex digits
char* OctalText32(char* dest, uint32_t l);  // 12 octal digits, zero-padded
char* DeleteCharAt(char* s, int pos);
char* InsertCharAt(char* s, char ch, int pos);
bool FindChar(const char* s, char ch, int& pos);
char* InsertChars(char* s, char ch, int pos, int count);
char* CopySub(char* dest, const char* s, int pos, int count);
char* DeleteSub(char* s, int pos, int count);
char* InsertSub(char* s, const char* sub, int pos);
bool FindSub(const char* s, const char* sub, int& pos);  // false for an empty sub
// Decimal, or hexadecimal after "0x"; trailing blanks and control characters are ignored. On
// a syntax error l is the 0-based position of the bad character; a text over 255 characters
// gives l = -1.
bool TextToLong(const char* s, int32_t& l);
char* TrimBlanks(char* s);
char* TrimTrailingControls(char* s);  // characters below 33
char* TrimExponentZeros(char* s);     // "1.2300E+05" -> "1.23E+05", "1.000E+05" -> "1E+05"
char* TrimFractionZeros(char* s);     // "1.500" -> "1.5"

// Windows-1252 case mapping of one character.
char CharLower(char ch);
char CharUpper(char ch);
// Characters 128..255 that count as letters in Windows-1252 (lower half empty).
const std::bitset<256>& OvcHighLetters();

// The text of a real number made ready for conversion: blanks trimmed, a trailing decimal
// character dropped, the decimal character made ".", missing digits around the point made
// "0", a mantissa before "E" given a point and padded to 12 characters, "" made "0".
std::string NormaliseRealText(const std::string& s, char decimalChar);

inline int MinI(int a, int b) { return a < b ? a : b; }
inline int MaxI(int a, int b) { return a > b ? a : b; }

// The user-defined picture-mask characters "1".."8" and substitution characters 241..248.
class TOvcUserData {
public:
    TOvcUserData();
    // The characters mask character "1".."8" accepts (empty set for other characters).
    std::bitset<256> UserCharSet(char maskChar) const;
    void SetUserCharSet(char maskChar, const std::bitset<256>& set);
    // 0 leave, 1 upper, 2 lower, 3 mixed.
    uint8_t UserCharCase(char maskChar) const;
    void SetUserCharCase(char maskChar, uint8_t rule);
    // What substitution character 241..248 shows; 0 for other characters.
    char SubstituteChar(char ch) const;
    void SetSubstituteChar(char ch, char shown);

private:
    std::bitset<256> sets_[8];
    uint8_t cases_[8] = {};
    char subst_[8];
};

TOvcUserData& OvcUserData();

} // namespace korval
