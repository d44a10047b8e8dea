#pragma once
// Expansion of the function-key texts of the terminals: "%" escapes for station and QSO data,
// the clock, other keys and text files of the save folder.
#include <array>
#include <cstddef>
#include <string>

namespace korval {

// What the escapes read from the QSO window and the main window. Without a QSO window the
// defaults give nothing.
class TMacroContext {
public:
    virtual ~TMacroContext() = default;
    virtual bool HasQsoWindow() const { return false; }
    virtual std::string CallField() const { return {}; }
    virtual std::string RstSentField() const { return {}; }
    virtual std::string RstRcvdField() const { return {}; }
    virtual std::string ExchangeText() const { return {}; }  // TQSOForm.MacroExchangeText
    virtual std::string Name() const { return {}; }          // TQSOForm.MacroName
    // The serial number panel's number; false while the panel is hidden.
    virtual bool SerialNumber(unsigned& number) const { (void)number; return false; }
    virtual bool RealTimeEntry() const { return false; }
    virtual void LogWithExchange() {}
};

using TFunctionKeys = std::array<std::string, 16>;

// The longest text an expansion gives. Keys hold at most 75 characters each and are inserted
// once, so only "%f" files that include other files can grow a text without end; 64 KiB is more
// than any terminal sends from one key (an hour of RTTY is about 20 KB).
inline constexpr std::size_t MaxExpandedMacroSize = 65536;
inline constexpr const char* MacroTooLongMessage = "Text to send too long: more than 65536 characters";

// The text of a key: the part after its first "|", or all of it.
std::string KeyText(const std::string& key);

// Expands key keyNumber (1..16) of keys. lowerCase puts the callsigns of "%~" and "%@" in
// lower case. Files of "%f" are read from the save folder; a name that leads outside it is
// refused like a missing file, and a file that includes itself ends the expansion.
std::string ExpandMacros(int keyNumber, const TFunctionKeys& keys, bool lowerCase, TMacroContext& context);

} // namespace korval
