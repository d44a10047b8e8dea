#include "grids/windows/ovc_tc_entry_fields.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <vector>

#include "entry/windows/ovc_controller.h"
#include "grids/windows/ovc_table.h"
#include "platform/windows/win1252.h"

namespace korval {

TOvcTCBaseEntryField::TOvcTCBaseEntryField(QObject* owner, TOvcBaseEntryField* edit,
                                           std::unique_ptr<TOvcBaseEntryField> paint)
    : TOvcTCBaseString(owner), edit_(edit), paint_(std::move(paint))
{
    // Until a table lends its controller, the fields work with one of the cell's own, so that a
    // field without a form never lacks one.
    auto* own = new TOvcController(this);
    edit_->SetController(own);
    paint_->SetController(own);
    paint_->hide();
}

TOvcTCBaseEntryField::~TOvcTCBaseEntryField()
{
    // Leave the table first, so that it forgets the edit before the editor goes.
    TOvcTableCellAncestor::SetTable(nullptr);
    delete edit_.data();
}

void TOvcTCBaseEntryField::ForBoth(const std::function<void(TOvcBaseEntryField&)>& change)
{
    if (edit_)
        change(*edit_);
    change(*paint_);
    Changed();
}

void TOvcTCBaseEntryField::PutValue(TOvcBaseEntryField& f, const TOvcCellData& data)
{
    switch (data.Kind()) {
    case TOvcCellData::cdString: f.SetAsString(*data.AsString()); break;
    case TOvcCellData::cdInteger: f.SetAsInteger(*data.AsInteger()); break;
    case TOvcCellData::cdFloat: f.SetAsFloat(*data.AsFloat()); break;
    case TOvcCellData::cdDate: f.SetAsStDate(*data.AsInteger()); break;
    case TOvcCellData::cdTime: f.SetAsStTime(*data.AsInteger()); break;
    case TOvcCellData::cdNone: {
        // No value: the field starts from a zero-filled buffer.
        std::vector<char> zero(static_cast<size_t>(std::max(f.GetDataSize(), 1)) + 16, 0);
        f.SetValue(zero.data());
        break;
    }
    }
}

void TOvcTCBaseEntryField::TakeValue(TOvcBaseEntryField& f, const TOvcCellData& data)
{
    switch (data.Kind()) {
    case TOvcCellData::cdString: *data.AsString() = f.GetAsString(); break;
    case TOvcCellData::cdInteger: *data.AsInteger() = f.GetAsInteger(); break;
    case TOvcCellData::cdFloat: *data.AsFloat() = f.GetAsFloat(); break;
    case TOvcCellData::cdDate: *data.AsInteger() = f.GetAsStDate(); break;
    case TOvcCellData::cdTime: *data.AsInteger() = f.GetAsStTime(); break;
    case TOvcCellData::cdNone: break;
    }
}

void TOvcTCBaseEntryField::EditHide()
{
    if (edit_)
        edit_->hide();
}

void TOvcTCBaseEntryField::EditMove(const QRect& cellRect)
{
    if (!edit_)
        return;
    edit_->setGeometry(cellRect);
    edit_->show();
    edit_->update();
}

bool TOvcTCBaseEntryField::CanSaveEditedData(bool saveValue)
{
    if (!edit_)
        return true;
    if (!saveValue) {
        edit_->Engine().Restore();
        return true;
    }
    // An error being shown already: the operator is told once.
    if (TOvcController* c = edit_->Controller(); c && c->ErrorPending)
        return false;
    return edit_->IsValid();
}

void TOvcTCBaseEntryField::SaveEditedData(const TOvcCellData& data)
{
    if (edit_)
        TakeValue(*edit_, data);
}

void TOvcTCBaseEntryField::StartEditing(int rowNum, int colNum, const QRect& cellRect, const TOvcCellAttributes& a,
                                        TOvcTblEditorStyle cellStyle, const TOvcCellData& data)
{
    TOvcTCBaseString::StartEditing(rowNum, colNum, cellRect, a, cellStyle, data);
    TOvcTable* t = OwnerTable();
    TOvcController* c = t ? t->Controller() : nullptr;
    if (!c)
        throw ETableError(ETableError::teNoController, "NIL in StartEditing");
    if (!edit_)
        return;
    if (edit_->parentWidget() != t->viewport())
        edit_->setParent(t->viewport());
    edit_->SetController(c);
    edit_->setFont(a.Font);
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, ScreenQColor(a.Color));
    pal.setColor(QPalette::Text, ScreenQColor(a.TextColor));
    edit_->setPalette(pal);
    edit_->SetAutoSize(false);
    edit_->setToolTip(FromWin1252(Hint));
    edit_->OnChange = OnChange;
    edit_->OnError = OnError;
    edit_->OnUserCommand = OnUserCommand;
    edit_->OnUserValidation = OnUserValidation;
    static_cast<TOvcCustomControlEx*>(edit_.data())->CreateWnd();
    PutValue(*edit_, data);
    edit_->setGeometry(cellRect);
    edit_->show();
}

void TOvcTCBaseEntryField::StopEditing(bool saveValue, const TOvcCellData& data)
{
    if (!edit_)
        return;
    if (saveValue)
        TakeValue(*edit_, data);
    edit_->hide();
}

void TOvcTCBaseEntryField::tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                                   const TOvcCellAttributes& a, const TOvcCellData& data)
{
    if (data.IsNil()) {
        TOvcTCBaseString::tcPaint(p, cellRect, rowNum, colNum, a, data);
        return;
    }
    p.fillRect(cellRect, ScreenQColor(a.Color));
    if (a.Access == otxInvisible)
        return;
    if (TOvcTable* t = OwnerTable())
        if (TOvcController* c = t->Controller())
            paint_->SetController(c);
    std::string s;
    try {
        PutValue(*paint_, data);
        // The field pads its display; the cell shows the value without the padding.
        s = paint_->GetDisplayString();
    } catch (const std::exception&) {
        return;  // a value of another kind than the field's: the cell stays empty, the paint goes on
    }
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) < 33)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) < 33)
        --e;
    PaintString(p, cellRect, a, s.substr(b, e - b));
}

bool TOvcTCBaseEntryField::EditorKey(TOvcBaseEntryField& editor, QKeyEvent* e)
{
    const int need = FilterTableKey(e);
    const int key = e->key();
    if (need == 2) {
        if (key == Qt::Key_Escape)
            editor.Engine().Restore();
        PostKeyToTable(key, e->modifiers());
        return true;
    }
    if (need == 1 && (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down)) {
        // A value that does not validate keeps the cell; the field tells the operator once.
        TOvcController* c = editor.Controller();
        if ((!c || !c->ErrorPending) && editor.IsValid())
            PostKeyToTable(key, e->modifiers());
        return true;
    }
    return false;
}

void TOvcTCBaseEntryField::EditorAdvance(bool forward) const
{
    PostKeyToTable(forward ? Qt::Key_Right : Qt::Key_Left);
}

// ---- the three kinds

TOvcTCSimpleField::TOvcTCSimpleField(QObject* owner)
    : TOvcTCBaseEntryField(owner, new TOvcTCSimpleFieldEdit(this), std::make_unique<TOvcSimpleField>())
{
}

void TOvcTCSimpleField::SetDataType(int value)
{
    ForBoth([value](TOvcBaseEntryField& f) { static_cast<TOvcSimpleField&>(f).SetDataType(value); });
}

void TOvcTCSimpleField::SetPictureMask(char mask)
{
    ForBoth([mask](TOvcBaseEntryField& f) { static_cast<TOvcSimpleField&>(f).SetPictureMask(mask); });
}

TOvcTCPictureField::TOvcTCPictureField(QObject* owner)
    : TOvcTCBaseEntryField(owner, new TOvcTCPictureFieldEdit(this), std::make_unique<TOvcPictureField>())
{
}

void TOvcTCPictureField::SetDataType(int value)
{
    ForBoth([value](TOvcBaseEntryField& f) { static_cast<TOvcPictureField&>(f).SetDataType(value); });
}

void TOvcTCPictureField::SetPictureMask(const std::string& mask)
{
    ForBoth([&mask](TOvcBaseEntryField& f) { static_cast<TOvcPictureField&>(f).SetPictureMask(mask); });
}

void TOvcTCPictureField::SetEpoch(int epoch)
{
    ForBoth([epoch](TOvcBaseEntryField& f) { static_cast<TOvcPictureField&>(f).SetEpoch(epoch); });
}

TOvcTCNumericField::TOvcTCNumericField(QObject* owner)
    : TOvcTCBaseEntryField(owner, new TOvcTCNumericFieldEdit(this), std::make_unique<TOvcNumericField>())
{
}

void TOvcTCNumericField::SetDataType(int value)
{
    ForBoth([value](TOvcBaseEntryField& f) { static_cast<TOvcNumericField&>(f).SetDataType(value); });
}

void TOvcTCNumericField::SetPictureMask(const std::string& mask)
{
    ForBoth([&mask](TOvcBaseEntryField& f) { static_cast<TOvcNumericField&>(f).SetPictureMask(mask); });
}

} // namespace korval
