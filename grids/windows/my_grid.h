#pragma once
// TMyGrid: a grid over data that live elsewhere. The form declares its columns (caption, width
// in characters, alignment), tells the grid how many rows there are, and answers OnGetCell for
// the cells that are on screen. Row 0 is the header; data rows are 1..RowCount-1.
#include <QAbstractScrollArea>
#include <QColor>
#include <functional>
#include <string>

#include "grids/my_grid_model.h"

namespace korval {

class TMyGrid : public QAbstractScrollArea, public TMyGridModel {
    Q_OBJECT
public:
    explicit TMyGrid(QWidget* parent = nullptr);

    // Text of a cell (8-bit program text); the grid keeps none of it.
    std::function<void(TMyGrid* sender, int col, int row, std::string& value)> OnGetCell;
    std::function<void(TMyGrid* sender, int col, int row, QColor& fg, QColor& bg)> OnGetColor;
    std::function<void(TMyGrid* sender)> OnClick;
    std::function<void(TMyGrid* sender)> OnDblClick;
    // The current row or column moved (by key or click).
    std::function<void(TMyGrid* sender, int col, int row)> OnSelectCell;

    // Columns from the header: count, widths from the font, row height of "Xj", one fixed row
    // when there are data rows.
    void ApplyHeader();
    void AddColumn(const std::string& caption, int widthChars, int align)
    {
        TMyGridModel::AddColumn(caption, widthChars, align);
    }
    void Clear();
    void SetRows(int count, int current, int top = -1);
    void GotoLastRow() { SetRows(RowCount, INT_MAX); }
    void BeginUpdate();
    void EndUpdate();

    // Column widths in pixels.
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    void SetTopRow(int top);
    // Makes a row the current one (scrolled into view), as a click would.
    void SelectRow(int row);

    bool RowSelect = true;    // the current row is marked across every column
    bool CellFrame = true;    // without row select: the current cell gets a frame
    // Re-lays the columns out (widths and row height) for the current font; runs by itself on
    // a font change. LayoutColumns is the same, callable by name (QMetaObject::invokeMethod).
    void FontChanged();
    Q_INVOKABLE void LayoutColumns() { FontChanged(); }

    // Number of OnGetCell calls so far (to watch what a paint asks for).
    long long CellRequests() const { return cellRequests_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    std::string CellText(int col, int row);
    void SyncScrollBars();
    void Changed();
    // The column whose right edge is under x in the header row, -1 when none.
    int SizingColumnAt(const QPoint& pt) const;
    bool syncing_ = false;
    int sizingCol_ = -1;
    long long cellRequests_ = 0;
};

} // namespace korval
