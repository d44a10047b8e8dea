#include "station/radio_definition.h"

#include "logbook/base/string_utils.h"

#include <cctype>

namespace korval {

namespace {

constexpr const char* CommandNames[RadioCommandCount] = {
    "No Command", "Clear Clarifier", "File Read", "File Write", "Init", "Read Clarifier", "Read ID",
    "Read Mode", "Read S meter", "Read Status", "Read VFO A", "Read VFO A Xtra", "Read VFO B",
    "Select VFO A", "Select VFO B", "Set Mode", "Set Split off", "Set Split on", "Set VFO A",
    "Set VFO B", "VFO A -> B"};
constexpr const char* FieldNames[RadioFieldCount] = {
    "Clarifier", "Current VFO", "Current VFO is A", "Current VFO is B", "ID", "Mode", "RIT",
    "S meter", "Sign Clarifier", "Split mode", "VFO A", "VFO B", "Write ID", "Write Mode",
    "Write VFO A", "Write VFO B", "XIT"};
constexpr const char* FormatNames[RadioFormatCount] = {"BCD", "BCD-R", "Binary", "Binary-R",
                                                       "Byte-M", "Flag", "String", "String-R"};
constexpr const char* LocationNames[RadioLocationCount] = {"VFO A&B", "VFO B", "Status", "Other"};

template <std::size_t N>
const char* NameAt(const char* const (&names)[N], int i)
{
    return i >= 0 && static_cast<std::size_t>(i) < N ? names[i] : "";
}

template <std::size_t N>
int IndexOfName(const char* const (&names)[N], const std::string& name)
{
    const std::string key = UpperAscii(name);
    for (std::size_t i = 0; i < N; ++i)
        if (UpperAscii(names[i]) == key)
            return static_cast<int>(i);
    return 0;
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// A run of leading digits as a code; none gives 255, and so does a number too large for a byte.
std::uint8_t TakeCode(const std::string& text, std::size_t& at)
{
    std::size_t start = at;
    unsigned value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        if (value <= 255)
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
        ++at;
    }
    if (at == start || value > 255)
        return NoModeCode;
    return static_cast<std::uint8_t>(value);
}

// The separator after a code: ',' or ';' is taken; the end of the text counts as ';'. Any other
// character is left for what follows (so "1;Y" keeps its prefer flag).
char TakeSeparator(const std::string& text, std::size_t& at)
{
    if (at < text.size() && (text[at] == ',' || text[at] == ';'))
        return text[at++];
    return ';';
}

} // namespace

const char* RadioCommandName(int c) { return NameAt(CommandNames, c); }
const char* RadioFieldName(int f) { return NameAt(FieldNames, f); }
const char* RadioFormatName(int f) { return NameAt(FormatNames, f); }
const char* RadioLocationName(int l) { return NameAt(LocationNames, l); }
int RadioCommandFromName(const std::string& name) { return IndexOfName(CommandNames, name); }
int RadioFieldFromName(const std::string& name) { return IndexOfName(FieldNames, name); }
int RadioFormatFromName(const std::string& name) { return IndexOfName(FormatNames, name); }
int RadioLocationFromName(const std::string& name) { return IndexOfName(LocationNames, name); }

std::string ModeEntryText(const TRadioModeEntry& e)
{
    std::string s;
    auto put = [&s](char separator, std::uint8_t code) {
        if (separator != '\0')
            s += separator;
        s += std::to_string(code);
    };
    if (e.read1 != NoModeCode)
        put('\0', e.read1);
    if (e.read2 != e.read1 && e.read2 != NoModeCode)
        put(',', e.read2);
    if (e.write1 != NoModeCode)
        put(';', e.write1);
    if (e.write2 != e.write1 && e.write2 != NoModeCode)
        put(',', e.write2);
    if (!s.empty())
        s += e.prefer ? ";Y" : ";N";
    return s;
}

TRadioModeEntry ModeEntryFromText(const std::string& text)
{
    TRadioModeEntry e;
    std::size_t at = 0;
    e.read1 = TakeCode(text, at);
    if (TakeSeparator(text, at) == ',') {
        e.read2 = TakeCode(text, at);
        TakeSeparator(text, at);
    }
    e.write1 = TakeCode(text, at);
    if (TakeSeparator(text, at) == ',') {
        e.write2 = TakeCode(text, at);
        TakeSeparator(text, at);
    }
    e.prefer = text.substr(at) == "Y";
    return e;
}

std::string CommandTextProblem(std::uint8_t commandFormat, const std::string& text)
{
    if (commandFormat != 0)
        return "";
    for (char c : text)
        if (!IsHexDigit(c))
            return "not a hexadecimal digit: '" + std::string(1, c) + "'";
    if (text.size() % 2 != 0)
        return "odd number of hexadecimal digits";
    return "";
}

std::string ConvertCommand(std::uint8_t commandFormat, const std::string& text)
{
    std::string bytes;
    if (commandFormat == 0) {
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            if (!IsHexDigit(text[i]) || !IsHexDigit(text[i + 1]))
                break;
            bytes += static_cast<char>(HexDigitValue(static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])))) * 16 +
                                       HexDigitValue(static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])))));
        }
        return bytes;
    }
    bytes = text;
    for (char& c : bytes)
        if (c == '|')
            c = '\r';
    return bytes;
}

} // namespace korval
