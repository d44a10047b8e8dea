#pragma once
// The numeric field's engine: numbers entered calculator-style. Typed digits collect in a work
// buffer shown at the right end of the field, with sign, decimal point, separators and currency
// placed by the mask. Values transfer, validate and step as in the picture field.
#include "entry/ovc_picture_engine.h"

namespace korval {

enum TNumericDataType : uint8_t {
    nftLongInt, nftWord, nftInteger, nftByte, nftShortInt, nftReal, nftExtended, nftDouble, nftSingle, nftComp
};

class TOvcNumericFieldEngine : public TOvcPictureFieldEngine {
public:
    explicit TOvcNumericFieldEngine(TOvcFieldHost* host = nullptr);

    TNumericDataType GetNumericDataType() const { return static_cast<TNumericDataType>(DataType() - fsubLongInt); }
    void SetNumericDataType(int value);
    void SetNumericPictureMask(const std::string& value);

    const std::string& WorkBuffer() const { return work_; }
    bool Negative() const { return negative_; }
    int TotalDigits() const { return totalDigits_; }
    int Decimals() const { return decimals_; }
    int IntegerDigits() const { return intDigits_; }

    void efCaretToEnd() override;
    void efCaretToStart() override;
    void efEdit(uint16_t cmd, const TOvcEditMsg& msg) override;
    std::string efGetDisplayString() const override;
    int efTransfer(void* data, int direction) override;
    void efSetCaretPos(int) override {}
    int efMinLength() const override { return 1; }
    void HideSemiLiterals() override;
    void FocusGained(bool keptError) override;
    void FocusLost(bool outsideForm = false) override;

private:
    // maskText_ has changed: length, digit counts and an empty number from it.
    void TakeMask();
    void ComputeDigits();
    void LoadWorkBuffer();
    void ShowWork();
    void ClearNumber();
    // The acceptance rules of a typed character; true when the work buffer changed or took it.
    bool AcceptIntoWork(char ch);
    int MaskMaxLength(const std::string& mask) const;

    std::string work_;
    bool negative_ = false;
    int totalDigits_ = 0;
    int decimals_ = 0;
    int intDigits_ = 0;
};

} // namespace korval
