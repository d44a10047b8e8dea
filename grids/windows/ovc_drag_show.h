#pragma once
// TOvcDragShow: the floating image of a row or column being moved, drawn over the table by its
// paint; Qt's double buffering does what the saved backgrounds and masks did on the screen.
#include <QPixmap>
#include <QPoint>
#include <QRect>

class QPainter;

namespace korval {

class TOvcDragShow {
public:
    // The image of the moved row or column (taken from the table) and where the mouse is.
    TOvcDragShow(const QPixmap& image, const QRect& from, const QPoint& mouse);
    // The image follows the mouse; returns the area to repaint (old and new places).
    QRect DragMove(const QPoint& mouse);
    void HideDragImage() { shown_ = false; }
    void ShowDragImage() { shown_ = true; }
    QRect Rect() const { return rect_; }
    void Paint(QPainter& p) const;

private:
    QPixmap image_;
    QRect rect_;
    QPoint grip_;  // the mouse position inside the image
    bool shown_ = true;
};

} // namespace korval
