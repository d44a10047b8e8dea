#pragma once
// The picture-mask engine: classifies each position of a mask as literal, editable or
// semi-literal (floating currency sign, number separator), builds an edit buffer from a plain
// value (merge) and the plain value from an edit buffer (strip), and provides the display,
// decimal-point alignment and currency/separator hiding that the picture and numeric fields'
// editors use. Plain C++.
#include <cstdint>
#include <string>
#include <vector>

#include "entry/ovc_char_rules.h"

namespace korval {

enum TOvcPositionFlag : uint8_t { pflagLiteral = 0, pflagEditable = 1, pflagSemiLiteral = 2 };

// Characters that make a mask position editable.
bool IsEditableMaskChar(char m);

class TOvcPictureMask {
public:
    TOvcPictureMask() = default;
    // maxLength 0 takes the mask's length.
    explicit TOvcPictureMask(const std::string& mask, int maxLength = 0);

    void SetMask(const std::string& mask, int maxLength = 0);
    void SetMaxLength(int maxLength);
    const std::string& Mask() const { return mask_; }
    int MaxLength() const { return maxLength_; }

    // What decides how values merge.
    bool RightJustify = false;  // efoRightJustify
    bool RealType = false;      // Real, Extended, Double, Single, Comp
    bool NumericClass = false;  // a numeric field
    const TOvcFieldIntl* Intl = nullptr;  // null: FieldIntl()
    const TOvcFieldIntl& intl() const { return Intl ? *Intl : FieldIntl(); }

    void BuildPositionFlags();
    const std::vector<uint8_t>& Flags() const { return flags_; }
    uint8_t Flag(int pos) const;
    bool IsLiteralPosition(int pos) const { return Flag(pos) == pflagLiteral; }
    bool IsSemiLiteralPosition(int pos) const { return Flag(pos) == pflagSemiLiteral; }
    bool NoLiterals() const { return noLiterals_; }
    int SemiLiteralCount() const { return semiCount_; }
    bool IsHex() const { return HasMaskChar('K'); }
    bool IsOctal() const { return HasMaskChar('O'); }
    bool IsBinary() const { return HasMaskChar('b'); }
    TOvcNumberBase Base() const;
    bool HasMaskChar(char m) const { return mask_.find(m) != std::string::npos; }

    // The mask character at pos; the mask's last character at or past its end.
    char MaskCharAt(int pos) const;
    int LastEditablePosition() const;
    int FirstEditablePos() const;
    // One past the last non-blank, non-literal position of buf (0 when none).
    int EndOfInput(const std::string& buf) const;
    // Position of the mask's decimal point within the edit positions; -1 when none.
    int DecimalPos() const;
    bool MergesNumerically() const;

    std::string MergeValueIntoMask(const std::string& value) const;
    std::string StripMaskLiterals(const std::string& buf) const;
    // The display form of an edit buffer under PadChar and password mode; numericPad pads on the
    // left of each group (numeric fields), otherwise on the right.
    std::string DisplayString(const std::string& buf, bool numericPad, char padChar, bool password,
                              char passwordChar) const;

    // While editing, the currency string and separators are taken out of the buffer.
    bool SemiLiteralsHidden = false;
    // Returns true when the buffer changed.
    bool HideSemiLiterals(std::string& buf);
    bool ShowSemiLiterals(std::string& buf);
    // Right-aligns the integer digits against the point and left-aligns the fraction digits.
    void AlignAroundDecimalPoint(std::string& buf, int decimalPos, int firstPos, bool alignLeft,
                                 bool alignRight, int lastPos) const;

private:
    std::string CurrencyForRun() const;

    std::string mask_ = "X";
    int maxLength_ = 1;
    std::vector<uint8_t> flags_{pflagEditable};
    bool noLiterals_ = true;
    int semiCount_ = 0;
};

} // namespace korval
