#pragma once
// The ADIF record reader of the import: tags, the header, one record into the import context.
#include <string>

#include "exchange/import_context.h"

namespace korval {

// Reads the next tag; an empty name means the end of the file.
void ReadADIFTag(TImportContext& ctx, std::string& value, std::string& name);
bool SkipADIFHeader(TImportContext& ctx);
// True when there is no record (the file ended before "EOR").
bool ImportADIFRecord(TImportContext& ctx);

} // namespace korval
