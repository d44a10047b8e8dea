#pragma once
// The fixed-field record reader of the import: one record of the filter's layout into the import
// context.
#include "exchange/import_context.h"

namespace korval {

// Fixed-field reader: false when only blank lines were left (no record).
bool ImportFixedRecord(TImportContext& ctx);

} // namespace korval
