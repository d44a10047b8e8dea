#include "logbook/swl_record.h"

#include "logbook/base/record_bytes.h"

namespace korval {

void PutSwlRecord(std::uint8_t* b, const TSwlRecord& r)
{
    PutShortStr(b, 0, 12, r.Call.view());
    PutU16(b, 13, r.Date);
    PutI32(b, 15, r.Time);
    PutU8(b, 19, r.Band);
    PutU8(b, 20, r.Mode);
    PutU8(b, 21, r.Group);
    PutU8(b, 22, r.Printed);
}

void GetSwlRecord(const std::uint8_t* b, TSwlRecord& r)
{
    r.Call.assign(GetShortStr(b, 0, 12));
    r.Date = GetU16(b, 13);
    r.Time = GetI32(b, 15);
    r.Band = GetU8(b, 19);
    r.Mode = GetU8(b, 20);
    r.Group = GetU8(b, 21);
    r.Printed = GetU8(b, 22);
}

TQsoSelection TQsoSelection::AllQsos()
{
    TQsoSelection s;
    s.Name.assign("All QSOs");
    return s;
}

void PutQsoSelection(std::uint8_t* b, const TQsoSelection& s)
{
    PutShortStr(b, 0, 25, s.Name.view());
    PutU8(b, 26, s.DateRange);
    PutU16(b, 27, s.FromDate);
    PutU16(b, 29, s.ToDate);
    PutU8(b, 31, s.GroupFlag);
    for (int i = 0; i < 32; ++i)
        PutU8(b, 32 + i, s.Groups[i]);
}

void GetQsoSelection(const std::uint8_t* b, TQsoSelection& s)
{
    s.Name.assign(GetShortStr(b, 0, 25));
    s.DateRange = GetU8(b, 26);
    s.FromDate = GetU16(b, 27);
    s.ToDate = GetU16(b, 29);
    s.GroupFlag = GetU8(b, 31);
    for (int i = 0; i < 32; ++i)
        s.Groups[i] = GetU8(b, 32 + i);
}

} // namespace korval
