#include "station/windows/radio_fields.h"

#include "entry/windows/ovc_numeric_field.h"

namespace korval {

TOvcNumericField* NumberField(QWidget* parent, const char* name, std::uint8_t type, const char* mask, const char* lo,
                              const char* hi)
{
    auto* f = new TOvcNumericField(parent);
    f->setObjectName(name);
    f->SetDataType(type);
    f->SetPictureMask(mask);
    f->SetRangeLo(lo);
    f->SetRangeHi(hi);
    return f;
}

TOvcNumericField* FrequencyField(QWidget* parent, const char* name)
{
    return NumberField(parent, name, nftDouble, "#######.###", "0", "9999999");
}

} // namespace korval
