#include "entry/windows/ovc_simple_field.h"

namespace korval {

TOvcSimpleField::TOvcSimpleField(QWidget* parent)
    : TOvcBaseEntryField(std::make_unique<TOvcSimpleFieldEngine>(), parent)
{
}

void TOvcSimpleField::SetDataType(int value)
{
    SimpleEngine().SetDataType(value);
    update();
}

void TOvcSimpleField::SetPictureMask(char mask)
{
    SimpleEngine().SetPictureMask(mask);
    update();
}

void TOvcSimpleField::SetDecimalPlaces(int v)
{
    engine_->SetDecimalPlaces(v);
    update();
}

void TOvcSimpleField::Assign(const TOvcSimpleField& o)
{
    AssignBase(o);
    SetDecimalPlaces(o.DecimalPlaces());
    SetMaxLength(o.MaxLength());
    update();
}

} // namespace korval
