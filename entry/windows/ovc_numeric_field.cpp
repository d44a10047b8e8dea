#include "entry/windows/ovc_numeric_field.h"

namespace korval {

TOvcNumericField::TOvcNumericField(QWidget* parent)
    : TOvcBaseEntryField(std::make_unique<TOvcNumericFieldEngine>(), parent)
{
}

void TOvcNumericField::SetDataType(int value)
{
    NumericEngine().SetNumericDataType(value);
    update();
}

void TOvcNumericField::SetPictureMask(const std::string& mask)
{
    NumericEngine().SetNumericPictureMask(mask);
    update();
}

void TOvcNumericField::Assign(const TOvcNumericField& o)
{
    AssignBase(o);

    update();
}

} // namespace korval
