#pragma once
// TOvcSimpleField: the plain entry field; one mask character governs every position.
#include "entry/windows/ovc_base_field.h"
#include "entry/ovc_simple_engine.h"

namespace korval {

class TOvcSimpleField : public TOvcBaseEntryField {
    Q_OBJECT
public:
    explicit TOvcSimpleField(QWidget* parent = nullptr);

    TOvcSimpleFieldEngine& SimpleEngine() { return static_cast<TOvcSimpleFieldEngine&>(*engine_); }
    const TOvcSimpleFieldEngine& SimpleEngine() const { return static_cast<const TOvcSimpleFieldEngine&>(*engine_); }

    TSimpleDataType DataType() const { return SimpleEngine().GetDataType(); }
    // Sets MaxLength and PictureMask to the type's defaults; above sftComp raises EOvcException.
    void SetDataType(int value);
    char PictureMask() const { return SimpleEngine().PictureMask(); }
    // A character outside the allowed set raises EInvalidPictureMask.
    void SetPictureMask(char mask);
    void SetDecimalPlaces(int v);
    // Copies the published settings of another field (not its data type nor its mask).
    void Assign(const TOvcSimpleField& o);
};

using TOvcCustomSimpleField = TOvcSimpleField;

} // namespace korval
