#pragma once
// The simple field's engine: one mask character governs every position, no literals, free
// length up to MaxLength, fourteen value types. Also the shared value conversions and stepping
// of the Char, Boolean, YesNo and number types that the picture field reuses.
#include "entry/ovc_field_engine.h"

namespace korval {

enum TSimpleDataType : uint8_t {
    sftString, sftChar, sftBoolean, sftYesNo, sftLongInt, sftWord, sftInteger, sftByte, sftShortInt,
    sftReal, sftExtended, sftDouble, sftSingle, sftComp
};

// The text of a real value put into a field: fixed with `decimals` places, or in exponent form
// when the mask is "E" or the fixed text is longer than maxLength.
std::string FormatRealForField(long double v, int decimals, int maxLength, bool exponentMask);

class TOvcSimpleFieldEngine : public TOvcFieldEngine {
public:
    explicit TOvcSimpleFieldEngine(TOvcFieldHost* host = nullptr);

    TSimpleDataType GetDataType() const { return static_cast<TSimpleDataType>(DataType()); }
    void SetDataType(int value);
    char PictureMask() const { return mask_; }
    void SetPictureMask(char value);

    void efEdit(uint16_t cmd, const TOvcEditMsg& msg) override;
    std::string efGetDisplayString() const override;
    int efTransfer(void* data, int direction) override;
    uint16_t efValidateField() override;
    void efIncDecValue(bool wrap, double delta) override;
    void efAdjustOptions() override;

protected:
    // Checks and converts a typed character against the mask character m.
    bool AcceptChar(char m, char& ch, int pos) const;
    bool OneCharAccept(char& ch, int pos) const override;
    void OneCharStore(char ch, int pos) override;
    void OneCharErase() override;
    void TextEdit(uint16_t cmd, const TOvcEditMsg& msg);
    bool InsertTyped(char ch, bool quiet);
    void DeleteSelection();

    char mask_ = 'X';
};

} // namespace korval
