#pragma once
// The entry-field cells: a simple, picture or numeric field edits the cell in place, and a
// second, hidden field of the same kind formats values for painting. The window's value is a
// typed reference (string, integer, float, date or time) that the field takes and gives back.
#include <QKeyEvent>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "entry/windows/ovc_base_field.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_base_table_cell.h"

namespace korval {

class TOvcTCBaseEntryField : public TOvcTCBaseString {
    Q_OBJECT
public:
    ~TOvcTCBaseEntryField() override;

    // The field that edits (hidden between edits) and the one that formats for painting.
    TOvcBaseEntryField* EditField() const { return edit_; }
    TOvcBaseEntryField* PaintField() const { return paint_.get(); }
    // Applies a setting to both fields (options, ranges, lengths, pad characters...).
    void ForBoth(const std::function<void(TOvcBaseEntryField&)>& change);

    TNotifyEvent OnChange;
    TValidationErrorEvent OnError;
    TUserCommandEvent OnUserCommand;
    TUserValidationEvent OnUserValidation;

    QWidget* CellEditor() const override { return edit_; }
    void EditHide() override;
    void EditMove(const QRect& cellRect) override;
    bool CanSaveEditedData(bool saveValue) override;
    void SaveEditedData(const TOvcCellData& data) override;
    void StartEditing(int rowNum, int colNum, const QRect& cellRect, const TOvcCellAttributes& cellAttr,
                      TOvcTblEditorStyle cellStyle, const TOvcCellData& data) override;
    void StopEditing(bool saveValue, const TOvcCellData& data) override;
    void tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum, const TOvcCellAttributes& cellAttr,
                 const TOvcCellData& data) override;

    // The editor's key filter: true when the key went to the table.
    bool EditorKey(TOvcBaseEntryField& editor, QKeyEvent* e);
    // The field asks to advance (auto-advance): the table moves right or left.
    void EditorAdvance(bool forward) const;

protected:
    TOvcTCBaseEntryField(QObject* owner, TOvcBaseEntryField* edit, std::unique_ptr<TOvcBaseEntryField> paint);

private:
    static void PutValue(TOvcBaseEntryField& field, const TOvcCellData& data);
    static void TakeValue(TOvcBaseEntryField& field, const TOvcCellData& data);

    QPointer<TOvcBaseEntryField> edit_;
    std::unique_ptr<TOvcBaseEntryField> paint_;
};

// The editor of an entry-field cell: the field itself, with the table's keys taken out first.
template <class TField>
class TOvcTCFieldEdit : public TField {
public:
    explicit TOvcTCFieldEdit(TOvcTCBaseEntryField* cell) : cell_(cell)
    {
        this->setFocusPolicy(Qt::ClickFocus);
        this->hide();
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!cell_->EditorKey(*this, e))
            TField::keyPressEvent(e);
        e->accept();  // never on to the table a second time
    }
    void AdvanceFocus(bool forward) override { cell_->EditorAdvance(forward); }

private:
    TOvcTCBaseEntryField* cell_;
};

using TOvcTCSimpleFieldEdit = TOvcTCFieldEdit<TOvcSimpleField>;
using TOvcTCPictureFieldEdit = TOvcTCFieldEdit<TOvcPictureField>;
using TOvcTCNumericFieldEdit = TOvcTCFieldEdit<TOvcNumericField>;

class TOvcTCSimpleField : public TOvcTCBaseEntryField {
    Q_OBJECT
public:
    explicit TOvcTCSimpleField(QObject* owner = nullptr);
    TOvcSimpleField& Editing() const { return static_cast<TOvcSimpleField&>(*EditField()); }
    void SetDataType(int value);
    void SetPictureMask(char mask);
};

class TOvcTCPictureField : public TOvcTCBaseEntryField {
    Q_OBJECT
public:
    explicit TOvcTCPictureField(QObject* owner = nullptr);
    TOvcPictureField& Editing() const { return static_cast<TOvcPictureField&>(*EditField()); }
    void SetDataType(int value);
    void SetPictureMask(const std::string& mask);
    void SetEpoch(int epoch);
};

class TOvcTCNumericField : public TOvcTCBaseEntryField {
    Q_OBJECT
public:
    explicit TOvcTCNumericField(QObject* owner = nullptr);
    TOvcNumericField& Editing() const { return static_cast<TOvcNumericField&>(*EditField()); }
    void SetDataType(int value);
    void SetPictureMask(const std::string& mask);
};

} // namespace korval
