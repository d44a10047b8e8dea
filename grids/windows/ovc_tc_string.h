#pragma once
// TOvcTCString: the plain text cell, edited with an ordinary edit control made for each edit.
#include <QLineEdit>
#include <QPointer>
#include <functional>

#include "grids/windows/ovc_base_table_cell.h"

namespace korval {

class TOvcTCString;

class TOvcTCStringEdit : public QLineEdit {
    Q_OBJECT
public:
    TOvcTCStringEdit(TOvcTCString* cell, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TOvcTCString* cell_;
};

class TOvcTCString : public TOvcTCBaseString {
    Q_OBJECT
public:
    explicit TOvcTCString(QObject* owner = nullptr) : TOvcTCBaseString(owner) {}
    ~TOvcTCString() override;

    bool AutoAdvanceChar = false;
    bool AutoAdvanceLeftRight = false;
    // The longest text kept; a length-prefixed value holds at most 255 characters.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v) { maxLength_ = v > 0 ? v : 255; }

    std::function<void(QObject* sender)> OnChange;

    QWidget* CellEditor() const override { return editor_; }
    void EditHide() override;
    void EditMove(const QRect& cellRect) override;
    void SaveEditedData(const TOvcCellData& data) override;
    void StartEditing(int rowNum, int colNum, const QRect& cellRect, const TOvcCellAttributes& cellAttr,
                      TOvcTblEditorStyle cellStyle, const TOvcCellData& data) override;
    void StopEditing(bool saveValue, const TOvcCellData& data) override;

private:
    friend class TOvcTCStringEdit;
    // The text as it may be stored.
    std::string SavedText() const;
    QPointer<TOvcTCStringEdit> editor_;
    int maxLength_ = 255;
};

} // namespace korval
