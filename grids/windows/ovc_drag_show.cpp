#include "grids/windows/ovc_drag_show.h"

#include <QPainter>

namespace korval {

TOvcDragShow::TOvcDragShow(const QPixmap& image, const QRect& from, const QPoint& mouse)
    : image_(image), rect_(from), grip_(mouse - from.topLeft())
{
}

QRect TOvcDragShow::DragMove(const QPoint& mouse)
{
    const QRect old = rect_;
    rect_.moveTopLeft(mouse - grip_);
    return old.united(rect_);
}

void TOvcDragShow::Paint(QPainter& p) const
{
    if (!shown_)
        return;
    p.save();
    p.setOpacity(0.6);
    p.drawPixmap(rect_.topLeft(), image_);
    p.restore();
}

} // namespace korval
