#include "entry/windows/ovc_picture_field.h"

namespace korval {

TOvcPictureField::TOvcPictureField(QWidget* parent)
    : TOvcBaseEntryField(std::make_unique<TOvcPictureFieldEngine>(), parent)
{
}

void TOvcPictureField::SetDataType(int value)
{
    PictureEngine().SetDataType(value);
    update();
}

void TOvcPictureField::SetPictureMask(const std::string& mask)
{
    PictureEngine().SetPictureMask(mask);
    update();
}

void TOvcPictureField::SetDecimalPlaces(int v)
{
    engine_->SetDecimalPlaces(v);
    update();
}

int TOvcPictureField::Epoch() const
{
    return PictureEngine().FieldEpoch != 0 ? PictureEngine().FieldEpoch : ControllerEpoch();
}

void TOvcPictureField::SetEpoch(int epoch)
{
    PictureEngine().FieldEpoch = epoch;
}

void TOvcPictureField::SetInitDateTime(bool v)
{
    PictureEngine().SetInitDateTime(v);
    update();
}

void TOvcPictureField::Assign(const TOvcPictureField& o)
{
    AssignBase(o);
    SetDecimalPlaces(o.DecimalPlaces());
    SetMaxLength(o.MaxLength());
    SetEpoch(o.PictureEngine().FieldEpoch);
    PictureEngine().SetInitDateTime(o.InitDateTime());
    update();
}

} // namespace korval
