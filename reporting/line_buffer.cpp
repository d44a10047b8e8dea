#include "reporting/line_buffer.h"

#include <algorithm>
#include <cmath>

namespace korval {

void TLineBuffer::MoveTo(double x, double y)
{
    penX_ = x;
    penY_ = y;
}

bool TLineBuffer::LineTo(double x, double y, const TPenData& pen)
{
    bool taken = false;
    if (enabled_) {
        if (y == penY_) {
            add(horizontal_, penX_, x, y, pen);
            taken = true;
        } else if (x == penX_) {
            add(vertical_, penY_, y, x, pen);
            taken = true;
        }
    }
    penX_ = x;
    penY_ = y;
    return taken;
}

void TLineBuffer::add(std::vector<TBufferedLine>& list, double a, double b, double fixed, const TPenData& pen)
{
    const double start = std::min(a, b), end = std::max(a, b);
    for (TBufferedLine& line : list) {
        if (std::fabs(line.Fixed - fixed) <= kTolerance && line.Pen.Color == pen.Color &&
            line.Pen.Mode == pen.Mode && line.Pen.Style == pen.Style && line.Pen.Width == pen.Width &&
            start <= line.End + kTolerance && end >= line.Start - kTolerance) {
            line.Start = std::min(line.Start, start);
            line.End = std::max(line.End, end);
            return;
        }
    }
    TBufferedLine line;
    line.Start = start;
    line.End = end;
    line.Fixed = fixed;
    line.Pen = {pen.Color, pen.Style, pen.Width, pen.Mode};
    list.push_back(line);
}

void TLineBuffer::Clear()
{
    horizontal_.clear();
    vertical_.clear();
}

} // namespace korval
