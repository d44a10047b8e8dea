#pragma once
// Engines of the fields edited through a picture mask: the picture base (mask, caret over
// literals, currency and separators hidden while editing) and the picture field with its mask
// editor, value transfer, validation and stepping of dates and times.
#include "entry/ovc_field_engine.h"
#include "entry/ovc_picture_mask.h"

namespace korval {

enum TPictureDataType : uint8_t {
    pftString, pftChar, pftBoolean, pftYesNo, pftLongInt, pftWord, pftInteger, pftByte, pftShortInt,
    pftReal, pftExtended, pftDouble, pftSingle, pftComp, pftDate, pftTime
};

class TOvcPictureBaseEngine : public TOvcFieldEngine {
public:
    TOvcPictureBaseEngine(TOvcFieldHost* host, uint8_t fieldClass);

    const std::string& PictureMaskText() const { return maskText_; }
    TOvcPictureMask& Mask() { return pm_; }
    const TOvcPictureMask& Mask() const { return pm_; }

    // The edit buffer from a plain value, and the plain value of the edit buffer.
    void SetEditText(const std::string& s);
    std::string GetStrippedText() const { return pm_.StripMaskLiterals(buf_); }
    void BuildPositionFlags();

    void efCaretToEnd() override;
    void efCaretToStart() override;
    int efFirstEditablePos() const override { return pm_.FirstEditablePos(); }
    bool efFieldIsEmpty() const override;
    std::string efGetDisplayString() const override;
    void efAdjustOptions() override;
    void efSetCaretPos(int pos) override;
    int efMinLength() const override { return static_cast<int>(maskText_.size()); }
    void MaxLengthChanged() override;
    bool efCanClose(bool doValidation) override;
    void FocusGained(bool keptError) override;
    void FocusLost(bool outsideForm = false) override;
    virtual void HideSemiLiterals();
    void ShowSemiLiterals();
    void AlignAroundDecimalPoint(bool alignLeft, bool alignRight);

protected:
    // Replaces the mask; the value is read before and written back after.
    void ChangeMask(const std::string& mask, bool setMaxLength);
    void SyncMask();
    // The current value when it validates (no events), for keeping it across a change.
    bool ReadValueQuietly(void* data);
    bool IsNumericPicture() const { return FieldClass() == fcNumeric; }

    std::string maskText_ = "XXXXXXXXXXXXXXX";
    TOvcPictureMask pm_;
};

class TOvcPictureFieldEngine : public TOvcPictureBaseEngine {
public:
    explicit TOvcPictureFieldEngine(TOvcFieldHost* host = nullptr);

    TPictureDataType GetDataType() const { return static_cast<TPictureDataType>(DataType()); }
    void SetDataType(int value);
    const std::string& PictureMask() const { return maskText_; }
    void SetPictureMask(const std::string& value);
    int FieldEpoch = 0;  // 0: the controller's epoch
    bool InitDateTime() const { return initDateTime_; }
    void SetInitDateTime(bool value);

    void efEdit(uint16_t cmd, const TOvcEditMsg& msg) override;
    int efTransfer(void* data, int direction) override;
    uint16_t efValidateField() override;
    void efSetFromString(const std::string& s) override;
    void efIncDecValue(bool wrap, double delta) override;

protected:
    int DateEpoch() const { return FieldEpoch != 0 ? FieldEpoch : Epoch(); }
    bool AcceptChar(char& ch, int pos) const;
    void MaskEdit(uint16_t cmd, const TOvcEditMsg& msg);
    bool OneCharAccept(char& ch, int pos) const override;
    bool TypeChar(char ch, bool quiet);
    void DeleteSelection();
    void DeleteAt(int pos);
    bool InsertAt(int pos, char ch, bool quiet);
    int GroupStart(int pos) const;
    int GroupEnd(int pos) const;
    int NextEditable(int pos) const;  // first editable position at or after pos, -1 when none
    int PrevEditable(int pos) const;  // last editable position at or before pos, -1 when none
    bool IsEditable(int pos) const { return pos >= 0 && pos < maxLength_ && pm_.Flag(pos) != pflagLiteral; }
    void CompleteDateTime(bool date);
    void StepDate(bool wrap, int delta);
    void StepTime(bool wrap, int delta);
    char ComponentAtCaret() const;

    bool initDateTime_ = false;
};

} // namespace korval
