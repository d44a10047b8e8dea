#pragma once
// Text export and import of the IOTA and manager-address work copies, beside the QSL managers':
// one line per entry, fields separated by commas, texts in double quotes, ending CR LF.
#include <string>
#include <string_view>
#include <vector>

#include "reference/qsl_manager_text.h"

namespace korval {

struct TIotaEntry {
    std::string Reference;  // the key, "!!999"
    std::string Name;       // 51 characters at most
    double Longitude = 0;   // the table's third column
    double Latitude = 0;    // the table's fourth column
};

struct TAddressEntry {
    std::string Call;       // the key, 12 characters at most
    std::string Text;       // 245 characters at most; lines separated by the byte 255
};

inline constexpr char AddressLineSeparator = '\xFF';
inline constexpr std::size_t AddressTextMax = 245;

// The fields of a line split at the commas outside double quotes, each trimmed and unquoted
// ("" inside quotes is one quote), so a name with a comma stays one field.
std::vector<std::string> SplitQuotedFields(std::string_view line);

// reference,"name",latitude,longitude (the fourth column first, each 6 wide with 3 decimals).
std::string ExportIota(const std::vector<TIotaEntry>& entries);
// A new reference is added, an existing one replaced; a line without a reference, name and two
// numbers in range counts as an error.
TImportSummary ImportIota(std::vector<TIotaEntry>& work, std::string_view text, bool deleteFirst);

// "CALL","line 1","line 2",...
std::string ExportAddresses(const std::vector<TAddressEntry>& entries);
// A new call is added, an existing one replaced; a call without any address line is skipped and
// a line without a call counts as an error. Texts are cut to 245 characters.
TImportSummary ImportAddresses(std::vector<TAddressEntry>& work, std::string_view text, bool deleteFirst);

} // namespace korval
