#pragma once
// The ADIF record reader of the import: tags, the header, one record into the import context.
#include <string>
#include <string_view>

#include "exchange/import_context.h"

namespace korval {

// A tag as read: its name upper-cased and its value (at most 255 characters, line breaks as
// '|'). The value is a view into the file where it stands there as it is, else into text;
// both views hold until the next tag is read into the same TADIFTag.
struct TADIFTag {
    std::string_view name, value;
    char nameText[64];  // no tag name is longer
    std::string text;
};

// Reads the next tag; an empty name means the end of the file.
void ReadADIFTag(TImportContext& ctx, TADIFTag& tag);
bool SkipADIFHeader(TImportContext& ctx);
// True when there is no record (the file ended before "EOR").
bool ImportADIFRecord(TImportContext& ctx);

} // namespace korval
