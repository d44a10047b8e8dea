#pragma once
// TOvcBaseTableCell: a non-visual component that paints one cell of a table from the window's
// value and, in the editable kinds, shows, moves, hides and reads back an editor control.
// TOvcCellAttributes is what the table, the cell and the window pass between them.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QRect>
#include <functional>
#include <string>

#include "grids/ovc_table_cell_ancestor.h"
#include "grids/ovc_table_model.h"

class QKeyEvent;
class QPainter;
class QWidget;

namespace korval {

class TOvcTable;

struct TOvcCellAttributes : TOvcCellAttr {
    QFont Font;
};

// A stored colour on the screen: system colours from the application palette.
QColor ScreenQColor(TColor color);

using TCellPaintNotifyEvent = std::function<void(QPainter& tableCanvas, const QRect& cellRect, int rowNum,
                                                 int colNum, const TOvcCellAttributes& cellAttr,
                                                 const TOvcCellData& data, bool& doneIt)>;

class TOvcBaseTableCell : public QObject, public TOvcTableCellAncestor {
    Q_OBJECT
public:
    explicit TOvcBaseTableCell(QObject* owner = nullptr);
    ~TOvcBaseTableCell() override;

    std::string About() const { return "v3.06"; }
    void SetAbout(const std::string&) {}
    // The table the cell serves (nullptr when none).
    TOvcTable* OwnerTable() const;
    void SetTable(TOvcTableModel* table) override;

    TOvcTblAccess Access() const { return access_; }
    void SetAccess(TOvcTblAccess v);
    TOvcTblAdjust Adjust() const { return adjust_; }
    void SetAdjust(TOvcTblAdjust v);
    // With TableColor the table's colour; writing a colour clears TableColor.
    TColor Color() const;
    void SetColor(TColor v);
    bool TableColor() const { return tableColor_; }
    void SetTableColor(bool v);
    QFont Font() const;
    void SetFont(const QFont& f);
    bool TableFont() const { return tableFont_; }
    void SetTableFont(bool v);
    std::string Hint;
    int Margin() const { return margin_; }
    // Negative values are ignored.
    void SetMargin(int v);
    TColor TextHiColor() const { return textHiColor_; }
    void SetTextHiColor(TColor v);
    TOvcTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TOvcTextStyle v);

    TCellPaintNotifyEvent OnOwnerDraw;

    // ---- the cell protocol
    virtual QWidget* CellEditor() const { return nullptr; }
    bool HasEditor() const { return CellEditor() != nullptr; }
    virtual void tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                         const TOvcCellAttributes& cellAttr, const TOvcCellData& data);
    virtual void EditHide() {}
    virtual void EditMove(const QRect&) {}
    virtual bool CanSaveEditedData(bool) { return true; }
    // 0 the editor handles the key, 1 a move the table may take, 2 the table's key.
    virtual int FilterTableKey(const QKeyEvent* e) const;
    virtual void SaveEditedData(const TOvcCellData&) {}
    virtual void StartEditing(int rowNum, int colNum, const QRect& cellRect, const TOvcCellAttributes& cellAttr,
                              TOvcTblEditorStyle cellStyle, const TOvcCellData& data);
    virtual void StopEditing(bool, const TOvcCellData&) {}
    virtual bool DoOwnerDraw(QPainter& p, const QRect& cellRect, int rowNum, int colNum,
                             const TOvcCellAttributes& cellAttr, const TOvcCellData& data);
    virtual void ResolveAttributes(int rowNum, int colNum, TOvcCellAttributes& cellAttr);
    // Owner draw first, else tcPaint.
    void Paint(QPainter& p, const QRect& cellRect, int rowNum, int colNum, const TOvcCellAttributes& cellAttr,
               const TOvcCellData& data);
    // The table's colour or font changed.
    void TableLookChanged();

protected:
    // Posts a key-down to the table (after the current event).
    void PostKeyToTable(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    QRect editRect_;

private:
    TOvcTblAccess access_ = otxDefault;
    TOvcTblAdjust adjust_ = otaDefault;
    TColor color_ = clBtnFace;
    QFont font_;
    bool tableColor_ = true;
    bool tableFont_ = true;
    int margin_ = 4;
    TColor textHiColor_ = clBtnHighlight;
    TOvcTextStyle textStyle_ = tsFlat;
};

// Cells that paint a string: length-prefixed or zero-terminated in the original layout; here the
// value is a string reference, and UseASCIIZStrings only governs how long a saved text may be.
class TOvcTCBaseString : public TOvcBaseTableCell {
    Q_OBJECT
public:
    explicit TOvcTCBaseString(QObject* owner = nullptr) : TOvcBaseTableCell(owner) {}
    bool UseASCIIZStrings() const { return asciiz_; }
    void SetUseASCIIZStrings(bool v) { asciiz_ = v; Changed(); }
    bool UseWordWrap() const { return wordWrap_; }
    void SetUseWordWrap(bool v) { wordWrap_ = v; Changed(); }

    void tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum, const TOvcCellAttributes& cellAttr,
                 const TOvcCellData& data) override;

protected:
    // The text the cell shows for a value (the string itself here).
    virtual std::string TextOf(int rowNum, int colNum, const TOvcCellData& data) const;
    // Paints text in the cell by the attributes; returns the rectangle the text took.
    QRect PaintString(QPainter& p, const QRect& cellRect, const TOvcCellAttributes& cellAttr,
                      const std::string& text) const;

private:
    bool asciiz_ = false;
    bool wordWrap_ = false;
};

} // namespace korval
