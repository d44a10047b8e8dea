#pragma once
// Text export and import of the QSL-manager work copy: one line per entry,
// "STATION,dd/mm/yyyy,MANAGER" (the date empty when the entry has none), ending CR LF.
#include "logbook/base/day_number.h"

#include <string>
#include <string_view>
#include <vector>

namespace korval {

struct TQslMgrEntry {
    std::string Station;          // the key, 12 characters at most
    TDayNumber Date = NoDate;
    std::string Manager;
};

struct TImportSummary {
    int Deleted = 0, Added = 0, Replaced = 0, Skipped = 0, Errors = 0;
    // The summary box text; withSkipped false leaves the "Skipped : " line out.
    std::string Text(bool withSkipped = true) const;
};

std::string ExportQslManagers(const std::vector<TQslMgrEntry>& entries);
// Merges the lines into the work copy (kept sorted by station). A new station is added, an
// existing one with another manager gets it (its date kept), the same manager is skipped; a line
// without its two commas or with a date that is not a real "dd/mm/yyyy" day counts as an error.
TImportSummary ImportQslManagers(std::vector<TQslMgrEntry>& work, std::string_view text, bool deleteFirst);

} // namespace korval
