// Tab lists and cells with their box lines and shading, newspaper columns and line flow, and
// the drawing of the buffered box lines at the end of a page.
#include "reporting/base_report.h"

#include <algorithm>
#include <cmath>


namespace korval {

namespace {

// Rounding slack of line positions summed line by line.
constexpr double kSlack = 1e-9;

} // namespace

void TBaseReport::SetTab(double x, TTextJustify justify, double width, double margin, int lines, int shade)
{
    if (!tabs_) {
        tabs_ = std::make_shared<TTabList>();
        tabsDefined_ = true;
    }
    TTabStopRec stop;
    if (x < 0)
        stop.X = tabs_->empty() ? leftMarginLine_ : tabs_->back().X + tabs_->back().Width;
    else
        stop.X = UnitsToInchesX(x);
    stop.Justify = justify;
    if (width > 0) {
        stop.Width = UnitsToInchesX(width);
        stop.Margin = margin / 100;
        stop.Left = lines & BOXLINELEFT;
        stop.Right = lines & BOXLINERIGHT;
        stop.Top = lines & BOXLINETOP;
        stop.Bottom = lines & BOXLINEBOTTOM;
        stop.Shade = std::uint8_t(std::clamp(shade, 0, 255));
    }
    tabs_->push_back(stop);
}

void TBaseReport::ClearTabs()
{
    tabs_.reset();
    ResetTabCursor();
}

void TBaseReport::ClearAllTabs()
{
    ClearTabs();
    for (auto& saved : savedTabs_)
        saved.reset();
}

bool TBaseReport::PushTabs()
{
    if (!tabs_)
        return false;
    tabStack_.push_back(tabs_);
    return true;
}

bool TBaseReport::PopTabs()
{
    if (tabStack_.empty())
        return false;
    tabs_ = tabStack_.back();
    tabStack_.pop_back();
    ResetTabCursor();
    return true;
}

bool TBaseReport::SaveTabs(int slot)
{
    if (slot < 1 || slot > 10 || !tabs_)
        return false;
    savedTabs_[size_t(slot - 1)] = tabs_;
    return true;
}

bool TBaseReport::RestoreTabs(int slot)
{
    if (slot < 1 || slot > 10 || !savedTabs_[size_t(slot - 1)])
        return false;
    tabs_ = savedTabs_[size_t(slot - 1)];
    ResetTabCursor();
    return true;
}

void TBaseReport::ResetTabCursor()
{
    currentTab_ = -1;
    tabPending_ = false;
    tabsDefined_ = tabs_ != nullptr;
}

const TTabStopRec* TBaseReport::GetTab(int n) const
{
    if (!tabs_)
        return nullptr;
    const int index = n == 0 ? currentTab_ : n - 1;
    if (index < 0 || index >= int(tabs_->size()))
        return nullptr;
    return &(*tabs_)[size_t(index)];
}

double TBaseReport::TabInnerWidth(int n) const
{
    const TTabStopRec* stop = GetTab(n);
    return stop ? InchesToUnitsX(stop->Width - 2 * stop->Margin) : 0;
}

void TBaseReport::drawBoxLine(int width, bool flag, double x1, double y1, double x2, double y2)
{
    if (width == 0 || (width == kNotGiven && !flag))
        return;
    TReportCanvas& canvas = GetCanvas();
    const TPenData saved = canvas.Pen();
    if (width != kNotGiven)
        SetPen(clBlack, psSolid, width, pmCopy);
    MoveTo(InchesToUnitsX(x1), InchesToUnitsY(y1));
    LineTo(InchesToUnitsX(x2), InchesToUnitsY(y2));
    canvas.SetPen(saved);
}

void TBaseReport::Tab(int leftWidth, int rightWidth, int topWidth, int bottomWidth, int shadeOverride)
{
    CheckPrinting();
    if (ShouldSkip())
        return;
    if (currentTab_ < 0) {
        if (tabs_ && tabsDefined_ && !tabs_->empty()) {
            currentTab_ = 0;
            tabsDefined_ = false;
        }
    } else if (++currentTab_ >= int(tabs_->size())) {
        currentTab_ = -1;
    }
    if (currentTab_ < 0) {
        tabPending_ = false;
        return;
    }
    tabPending_ = true;
    const TTabStopRec cell = (*tabs_)[size_t(currentTab_)];
    if (cell.Width <= 0)
        return;
    const double x1 = cell.X + (columnNum_ - 1) * columnPitch_;
    const double x2 = x1 + cell.Width;
    const double bottom = lineBottomInch();
    const double top = bottom - lineHeight_;

    const int shade = shadeOverride != kNotGiven ? shadeOverride
                      : cell.Shade != 0          ? cell.Shade
                      : tabShade_ > 0            ? tabShade_
                                                 : 0;
    if (shade > 0) {
        TReportCanvas& canvas = GetCanvas();
        const TBrushData savedBrush = canvas.Brush();
        const TPenData savedPen = canvas.Pen();
        const int savedMode = canvas.BkMode();
        canvas.SetBrush({ShadeToColor(ShadeColor, shade), bsSolid, nullptr});
        canvas.SetPen({ShadeOutlineColor, psClear, 1, pmMask});
        canvas.SetBkMode(TRANSPARENT);
        TabRectangle(InchesToUnitsX(x1), InchesToUnitsY(top), InchesToUnitsX(x2), InchesToUnitsY(bottom));
        canvas.SetBkMode(savedMode);
        canvas.SetBrush(savedBrush);
        canvas.SetPen(savedPen);
    }
    drawBoxLine(leftWidth, cell.Left, x1, bottom, x1, top);
    drawBoxLine(rightWidth, cell.Right, x2, top, x2, bottom);
    drawBoxLine(topWidth, cell.Top, x1, top, x2, top);
    drawBoxLine(bottomWidth, cell.Bottom, x2, bottom, x1, bottom);
}

// ---- columns and lines

void TBaseReport::SetColumns(int count, double between)
{
    count = std::max(count, 1);
    const double gap = UnitsToInchesX(between);
    columnPitch_ = (sectionRight_ - sectionLeft_ + gap) / count;
    columnGap_ = gap;
    columnCount_ = count;
    SetColumn(1);
    DoNewColumn();
}

void TBaseReport::ResetColumns()
{
    columnPitch_ = sectionRight_ - sectionLeft_;
    columnGap_ = 0;
    columnCount_ = 1;
    columnNum_ = 1;
}

void TBaseReport::SetColumn(int n)
{
    columnNum_ = n;
    cursorX_ = ColumnStartX();
    ResetTabCursor();
}

void TBaseReport::CarriageReturn()
{
    cursorX_ = ColumnStartX();
}

void TBaseReport::LineFeed()
{
    UpdateLineHeight();
    ++lineNum_;
    cursorY_ += lineHeight_;
}

int TBaseReport::LinesLeftInColumn()
{
    const double bottom = lineBottomInch();
    if (bottom >= sectionBottom_ - kSlack || lineHeight_ <= 0)
        return 0;
    return int(std::trunc((sectionBottom_ - bottom) / lineHeight_ + kSlack)) + 1;
}

int TBaseReport::LinesLeft()
{
    const int inColumn = LinesLeftInColumn();
    if (columnNum_ >= columnCount_ || lineHeight_ <= 0)
        return inColumn;
    const int perColumn = int(std::trunc((sectionBottom_ - sectionTop_) / lineHeight_ + kSlack));
    return inColumn + (columnCount_ - columnNum_) * perColumn;
}

void TBaseReport::NewLine()
{
    if (columnNum_ < columnCount_ && LinesLeftInColumn() < 2) {
        SetLine(1);
        SetColumn(columnNum_ + 1);
        DoNewColumn();
    } else {
        CarriageReturn();
        LineFeed();
    }
    ResetTabCursor();
    if (lineBottomInch() >= sectionBottom_ - kSlack)
        DoEndOfSection();
    LineHook();
}

void TBaseReport::GotoFirstLine()
{
    SetColumn(1);
    SetLine(1);
}

void TBaseReport::FlushLineBuffer()
{
    if (lineBuffer_.Horizontal().empty() && lineBuffer_.Vertical().empty())
        return;
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas || !printing_) {
        lineBuffer_.Clear();
        return;
    }
    const TPenData saved = canvas->Pen();
    lineBuffer_.SetEnabled(false);
    const std::vector<TBufferedLine> horizontal = lineBuffer_.Horizontal();
    const std::vector<TBufferedLine> vertical = lineBuffer_.Vertical();
    lineBuffer_.Clear();
    try {
        for (const TBufferedLine& line : horizontal) {
            canvas->SetPen(line.Pen);
            MoveTo(InchesToUnitsX(line.Start - originX_), InchesToUnitsY(line.Fixed - originY_));
            LineTo(InchesToUnitsX(line.End - originX_), InchesToUnitsY(line.Fixed - originY_));
        }
        for (const TBufferedLine& line : vertical) {
            canvas->SetPen(line.Pen);
            MoveTo(InchesToUnitsX(line.Fixed - originX_), InchesToUnitsY(line.Start - originY_));
            LineTo(InchesToUnitsX(line.Fixed - originX_), InchesToUnitsY(line.End - originY_));
        }
    } catch (...) {
        lineBuffer_.SetEnabled(true);
        throw;
    }
    lineBuffer_.SetEnabled(true);
    canvas->SetPen(saved);
}

} // namespace korval
