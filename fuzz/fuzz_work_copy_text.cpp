// The text imports of the QSL-manager, IOTA and manager-address editors: any bytes, and the
// export of what was read must read back to the same entries.
#include "reference/qsl_manager_text.h"
#include "reference/work_copy_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace korval;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<TQslMgrEntry> managers;
    ImportQslManagers(managers, text, false);
    std::vector<TIotaEntry> iota;
    ImportIota(iota, text, false);
    std::vector<TAddressEntry> addresses;
    ImportAddresses(addresses, text, false);
    for (const auto& e : addresses)
        if (e.Call.empty() || e.Call.size() > 12 || e.Text.size() > AddressTextMax)
            std::abort();
    std::vector<TAddressEntry> again;
    const TImportSummary s = ImportAddresses(again, ExportAddresses(addresses), false);
    if (s.Added != static_cast<int>(addresses.size()) && s.Errors == 0 && s.Skipped == 0)
        std::abort();
    return 0;
}
