#include "grids/windows/ovc_tc_string.h"

#include <QKeyEvent>

#include "grids/windows/ovc_table.h"
#include "platform/windows/win1252.h"

namespace korval {

TOvcTCStringEdit::TOvcTCStringEdit(TOvcTCString* cell, QWidget* parent) : QLineEdit(parent), cell_(cell)
{
    setFocusPolicy(Qt::ClickFocus);
}

void TOvcTCStringEdit::keyPressEvent(QKeyEvent* e)
{
    const int need = cell_->FilterTableKey(e);
    const int key = e->key();
    if (need == 2) {
        cell_->PostKeyToTable(key, e->modifiers());
        e->accept();
        return;
    }
    if (need == 1) {
        bool post = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down;
        if (cell_->AutoAdvanceLeftRight && !hasSelectedText()) {
            if (key == Qt::Key_Left && cursorPosition() == 0)
                post = true;
            if (key == Qt::Key_Right && cursorPosition() == text().size())
                post = true;
        }
        if (post) {
            cell_->PostKeyToTable(key, e->modifiers());
            e->accept();
            return;
        }
    }
    // Enter and Escape are the table's; they never become text.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab) {
        e->accept();
        return;
    }
    const qsizetype before = text().size();
    QLineEdit::keyPressEvent(e);
    if (cell_->AutoAdvanceChar && !e->text().isEmpty() && text().size() > before &&
        text().size() >= cell_->MaxLength())
        cell_->PostKeyToTable(Qt::Key_Right);
    e->accept();
}

TOvcTCString::~TOvcTCString()
{
    // Leave the table first, so that it forgets the edit before the editor goes.
    TOvcTableCellAncestor::SetTable(nullptr);
    delete editor_.data();
}

void TOvcTCString::EditHide()
{
    if (editor_)
        editor_->hide();
}

void TOvcTCString::EditMove(const QRect& cellRect)
{
    if (!editor_)
        return;
    editor_->setGeometry(cellRect);
    editor_->show();
    editor_->update();
}

std::string TOvcTCString::SavedText() const
{
    std::string s = editor_ ? ToWin1252(editor_->text()) : std::string();
    const size_t limit = UseASCIIZStrings() ? size_t(maxLength_) : std::min<size_t>(maxLength_, 255);
    if (s.size() > limit)
        s.resize(limit);
    return s;
}

void TOvcTCString::SaveEditedData(const TOvcCellData& data)
{
    if (std::string* s = data.AsString())
        *s = SavedText();
}

void TOvcTCString::StartEditing(int rowNum, int colNum, const QRect& cellRect, const TOvcCellAttributes& a,
                                TOvcTblEditorStyle cellStyle, const TOvcCellData& data)
{
    TOvcTCBaseString::StartEditing(rowNum, colNum, cellRect, a, cellStyle, data);
    TOvcTable* t = OwnerTable();
    delete editor_.data();
    editor_ = new TOvcTCStringEdit(this, t ? t->viewport() : nullptr);
    const std::string* s = data.AsString();
    editor_->setMaxLength(maxLength_);
    editor_->setText(s ? FromWin1252(*s) : QString());
    editor_->selectAll();
    editor_->setFont(a.Font);
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Base, ScreenQColor(a.Color));
    pal.setColor(QPalette::Text, ScreenQColor(a.TextColor));
    editor_->setPalette(pal);
    editor_->setFrame(cellStyle != tesNormal);
    editor_->setToolTip(FromWin1252(Hint));
    if (OnChange)
        QObject::connect(editor_.data(), &QLineEdit::textEdited, this, [this] { if (OnChange) OnChange(this); });
    editor_->setGeometry(cellRect);
    editor_->show();
}

void TOvcTCString::StopEditing(bool saveValue, const TOvcCellData& data)
{
    if (saveValue)
        SaveEditedData(data);
    if (editor_) {
        editor_->hide();
        editor_->deleteLater();
        editor_ = nullptr;
    }
}

} // namespace korval
