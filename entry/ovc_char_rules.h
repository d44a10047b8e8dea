#pragma once
// Character rules of the entry fields: which characters a picture-mask character accepts and how
// it converts their case, the data types of the fields with their value sizes and default ranges,
// and the conversion of range texts. Plain C++: the fields' windows fill TOvcFieldIntl from the
// international settings; the engines and their tests use it directly.
#include <array>
#include <bitset>
#include <cstdint>
#include <string>

namespace korval {

// What the fields need of the international settings and of the user-data object.
struct TOvcFieldIntl {
    char DecimalChar = '.';
    char ThousandsChar = ',';  // 0: no separator
    std::string CurrencyLeft = "$";
    std::string CurrencyRight = "$";
    char TrueChar = 'T';
    char FalseChar = 'F';
    char YesChar = 'Y';
    char NoChar = 'N';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    // User mask characters "1".."8": accepted characters and case rule (1 upper, 2 lower, 3 mixed).
    std::array<std::bitset<256>, 8> UserCharSets;
    std::array<uint8_t, 8> UserCharCase{};
    // Substitution characters 241..248: what is shown in their place.
    std::array<char, 8> Substitutes{};
    // Characters 128..255 that count as letters (Windows-1252).
    std::bitset<256> HighLetters;

    TOvcFieldIntl();
    char SubstituteChar(char ch) const;  // 0 outside 241..248
};

// The settings every field uses unless it is given its own; windows update it from the
// international settings at start-up.
TOvcFieldIntl& FieldIntl();

// Windows-1252 case mapping of one character.
char FieldCharUpper(char ch);
char FieldCharLower(char ch);
bool IsFieldLetter(char ch, const TOvcFieldIntl& intl);

// Data-type codes of the fields (low 6 bits of the type byte) and the field classes (upper bits).
enum TOvcDataType : uint8_t {
    fsubString = 0, fsubChar, fsubBoolean, fsubYesNo, fsubLongInt, fsubWord, fsubInteger, fsubByte,
    fsubShortInt, fsubReal, fsubExtended, fsubDouble, fsubSingle, fsubComp, fsubDate, fsubTime
};
enum TOvcFieldClass : uint8_t { fcSimple = 0, fcPicture = 64, fcNumeric = 128 };

inline bool IsIntegerType(int t) { return t >= fsubLongInt && t <= fsubShortInt; }
inline bool IsRealType(int t) { return t >= fsubReal && t <= fsubComp; }
inline bool IsNumberType(int t) { return t >= fsubLongInt && t <= fsubComp; }

// Size in bytes of a value of the type (a String is MaxLength + 1: a short string).
int DataTypeSize(int dataType, int maxLength);

// A range value: ten bytes interpreted by the data type (integers little-endian in their own
// width, Real/Double/Comp 8 bytes, Single 4, Extended the 10-byte extended format, Date and
// Time 32-bit).
using TOvcRangeSlot = std::array<uint8_t, 10>;

long double SlotToFloat(int dataType, const TOvcRangeSlot& slot);
int64_t SlotToInt(int dataType, const TOvcRangeSlot& slot);
void FloatToSlot(int dataType, long double value, TOvcRangeSlot& slot);
void IntToSlot(int dataType, int64_t value, TOvcRangeSlot& slot);

// The type's own limits (the default range).
void DefaultRange(int dataType, TOvcRangeSlot& lo, TOvcRangeSlot& hi);

// Reads a 10-byte extended real from / writes it to memory.
long double ReadExtended(const void* p);
void WriteExtended(void* p, long double v);

// IsValidChar: whether the mask character accepts Ch; with convertCase Ch is first converted to
// the case the mask character asks for. prev is the character before the caret (mixed case).
bool IsValidChar(char maskChar, char& ch, bool convertCase, char prev, const TOvcFieldIntl& intl);
// The case conversion alone (upper, lower, mixed as asked).
char ConvertCaseFor(char maskChar, char ch, char prev, const TOvcFieldIntl& intl, bool applyMixed);

// Decimal integer text (blanks trimmed; empty reads as 0) within the type's own limits.
bool TextToInteger(const std::string& text, int dataType, int64_t& value);
// Decimal real text (blanks trimmed; empty reads as 0) within the type's limits.
bool TextToReal(const std::string& text, int dataType, long double& value);

// Integers shown through "K", "O" and "b" masks: hexadecimal, octal or binary digits cut to the
// width of the data type; base 10 otherwise.
enum class TOvcNumberBase { Decimal, Hex, Octal, Binary };
std::string IntegerToText(int64_t value, int dataType, TOvcNumberBase base);
bool TextToIntegerBase(const std::string& text, int dataType, TOvcNumberBase base, int64_t& value);

// The text of a real value as the fields' range texts show it.
std::string RealToText(long double value);

} // namespace korval
