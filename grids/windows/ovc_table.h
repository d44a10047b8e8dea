#pragma once
// TOvcTable: the owner-data table control. The model (TOvcTableModel) keeps shape, position,
// selection and rules; this control paints the cells through their cell objects, turns keys
// (through the controller's "Grid" command table) and mouse actions into moves, selections and
// in-place editing, and drives the scroll bars, which count rows directly so that the thumb
// reaches the last row of any table.
#include <QAbstractScrollArea>
#include <QPointer>
#include <functional>
#include <memory>

#include "entry/windows/ovc_controller.h"
#include "grids/ovc_table_model.h"
#include "grids/windows/ovc_base_table_cell.h"
#include "grids/windows/ovc_drag_show.h"

class QKeyEvent;

namespace korval {

class TOvcCommandProcessor;

using TCellAttrNotifyEvent = std::function<void(int rowNum, int colNum, TOvcCellAttributes& cellAttr)>;
using TSizeCellEditorNotifyEvent =
    std::function<void(int rowNum, int colNum, QRect& cellRect, TOvcTblEditorStyle& cellStyle)>;

class TOvcTable : public QAbstractScrollArea, public TOvcTableModel {
    Q_OBJECT
public:
    explicit TOvcTable(QWidget* parent = nullptr);
    ~TOvcTable() override;

    // Keys go through this controller's "Grid" table (the form's controller when unset).
    TOvcController* Controller() const;
    void SetController(TOvcController* controller) { controller_ = controller; }

    TOvcScrollBars ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TOvcScrollBars value);

    TCellAttrNotifyEvent OnGetCellAttributes;
    TSizeCellEditorNotifyEvent OnSizeCellEditor;

    TOvcBaseTableCell* GetCell(int rowNum, int colNum) const;
    TOvcBaseTableCell* EditingCell() const { return editingCell_; }
    // The cell's rectangle on the viewport (empty when not on screen); the editor's lies inside
    // the grid lines.
    QRect CellRectOf(int rowNum, int colNum) const;
    QRect EditorRectOf(int rowNum, int colNum) const;

    // 0, 1 or 2: whether the table wants a key that reached a cell editor.
    int GetKeyNeeds(uint8_t key, uint8_t shift) const;
    // A key-down for the table, handled after the current event.
    void PostKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text = QString());
    // The table's part of a cell's attributes, then the window's event.
    void ResolveCellAttributes(int rowNum, int colNum, TOvcCellAttributes& cellAttr);

    bool StartEditingState();
    bool StopEditingState(bool saveValue) override;

    void DoColumnsChanged(int colNum1, int colNum2, TOvcTblActions action) override;
    void DoSizeCellEditor(int rowNum, int colNum, QRect& cellRect, TOvcTblEditorStyle& cellStyle);

    // Completes the set-up now (it otherwise happens when the table is first shown).
    void CreateWnd();

protected:
    bool HandleAllocated() const override { return created_; }
    void PaintInvalidCells(const TOvcCellArray& cells) override;
    void ScrollBarsChanged() override;
    void PostStartEditing() override;
    void HideEditorForLock() override;
    void ShowEditorAfterLock() override;
    void EditorCellMoved() override;
    void CellGone(TOvcTableCellAncestor* cell) override;

    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    TOvcCommandProcessor& Processor() const;
    void TableKeyDown(QKeyEvent* e);
    void PaintCell(QPainter& p, int rowNum, int colNum, const QRect& r);
    void PaintGridLines(QPainter& p, const QRect& r, bool locked);
    void PaintActiveFrame(QPainter& p);
    void PaintDropLine(QPainter& p);
    bool StartMove(int rowNum, int colNum, const QPoint& at);
    void FinishMove();
    void PassKeyToEditor(const QKeyEvent* e);
    void PassClickToEditor(const QMouseEvent* e);
    void SyncClientSize();
    QWidget* Editor() const;

    QPointer<TOvcController> controller_;
    mutable std::unique_ptr<TOvcCommandProcessor> ownProcessor_;
    TOvcBaseTableCell* editingCell_ = nullptr;
    TOvcScrollBars scrollBars_ = ssBoth;
    bool created_ = false;
    bool syncingBars_ = false;
    bool editorHadFocus_ = false;
    // Resizing a row or column: which one, and where the sizing line is.
    int resizeRow_ = -1, resizeCol_ = -1, sizingPos_ = 0;
    // Moving a row or column: which one, its floating image and where it would drop.
    std::unique_ptr<TOvcDragShow> drag_;
    int moveRow_ = -1, moveCol_ = -1, dropAt_ = -1;
};

} // namespace korval
