#pragma once
// TOvcNumericField: the number box, entered calculator-style with the digits at the right end.
#include "entry/windows/ovc_base_field.h"
#include "entry/ovc_numeric_engine.h"

namespace korval {

class TOvcNumericField : public TOvcBaseEntryField {
    Q_OBJECT
public:
    explicit TOvcNumericField(QWidget* parent = nullptr);

    TOvcNumericFieldEngine& NumericEngine() { return static_cast<TOvcNumericFieldEngine&>(*engine_); }
    const TOvcNumericFieldEngine& NumericEngine() const { return static_cast<const TOvcNumericFieldEngine&>(*engine_); }

    TNumericDataType DataType() const { return NumericEngine().GetNumericDataType(); }
    // Resets DecimalPlaces and sets the type's default mask; above nftComp raises EOvcException.
    void SetDataType(int value);
    std::string PictureMask() const { return NumericEngine().PictureMaskText(); }
    // The value is kept; MaxLength follows the mask ("p" and "g" take no place).
    void SetPictureMask(const std::string& mask);
    // Copies the published settings of another field (not its data type nor its mask).
    void Assign(const TOvcNumericField& o);
};

using TOvcCustomNumericField = TOvcNumericField;

} // namespace korval
