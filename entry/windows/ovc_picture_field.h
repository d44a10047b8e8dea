#pragma once
// TOvcPictureField: the entry field edited through a full picture mask, with sixteen value
// types, dates and times among them.
#include "entry/windows/ovc_base_field.h"
#include "entry/ovc_picture_engine.h"

namespace korval {

class TOvcPictureField : public TOvcBaseEntryField {
    Q_OBJECT
public:
    explicit TOvcPictureField(QWidget* parent = nullptr);

    TOvcPictureFieldEngine& PictureEngine() { return static_cast<TOvcPictureFieldEngine&>(*engine_); }
    const TOvcPictureFieldEngine& PictureEngine() const { return static_cast<const TOvcPictureFieldEngine&>(*engine_); }

    TPictureDataType DataType() const { return PictureEngine().GetDataType(); }
    // A value above pftTime raises EOvcException ("Parameter value is invalid").
    void SetDataType(int value);
    std::string PictureMask() const { return PictureEngine().PictureMask(); }
    void SetPictureMask(const std::string& mask);
    void SetDecimalPlaces(int v);
    // The century window of two-digit years; 0 takes the controller's.
    int Epoch() const;
    void SetEpoch(int epoch);
    bool InitDateTime() const { return PictureEngine().InitDateTime(); }
    void SetInitDateTime(bool v);
    // Copies the published settings of another field (not its data type nor its mask).
    void Assign(const TOvcPictureField& o);
};

using TOvcCustomPictureField = TOvcPictureField;

} // namespace korval
