#include "entry/windows/ovc_caret.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

using namespace korval;

TEST(OvcCaret, ShapeSetsAlignmentAndSize)
{
    TOvcCaret c;
    EXPECT_EQ(c.Shape(), csVertLine);
    EXPECT_EQ(c.Align(), caLeft);
    EXPECT_EQ(c.CaretHeight(), 10);
    EXPECT_EQ(c.CaretWidth(), 2);
    c.SetCaretWidth(5);
    c.SetShape(csHorzLine);
    EXPECT_EQ(c.Align(), caBottom);
    EXPECT_EQ(c.CaretHeight(), 2);
    c.SetShape(csVertLine);
    EXPECT_EQ(c.Align(), caLeft);
    EXPECT_EQ(c.CaretWidth(), 2);
    c.SetShape(csHalfBlock);
    EXPECT_EQ(c.Align(), caBottom);
    QPixmap bmp(7, 9);
    c.SetBitmap(bmp);
    c.SetShape(csBitmap);
    EXPECT_EQ(c.CaretWidth(), 7);
    EXPECT_EQ(c.CaretHeight(), 9);
}

TEST(OvcCaret, LayoutInACell)
{
    struct Case {
        TOvcCaretShape shape;
        TOvcCaretAlign align;
        int H, W;
        TOvcCaretLayout want;
    };
    // Caret 10 x 2 unless the shape sizes it; halves round toward zero.
    for (const Case& c : {Case{csHalfBlock, caBottom, 15, 8, {8, 7, 0, 8}},
                          Case{csBlock, caLeft, 15, 8, {8, 15, 0, 0}},
                          Case{csVertLine, caLeft, 15, 8, {2, 15, 0, 0}},
                          Case{csHorzLine, caBottom, 15, 8, {8, 2, 0, 13}},
                          Case{csCustom, caCenter, 15, 8, {2, 10, 3, 2}},
                          Case{csCustom, caRight, 15, 8, {2, 10, 6, 2}},
                          Case{csCustom, caTop, 15, 9, {2, 10, 3, 0}}}) {
        TOvcCaret caret;
        caret.SetShape(c.shape);
        caret.SetAlign(c.align);
        TOvcCaretLayout l = LayoutCaret(caret, c.H, c.W);
        EXPECT_EQ(l.Width, c.want.Width) << c.shape << "/" << c.align;
        EXPECT_EQ(l.Height, c.want.Height) << c.shape << "/" << c.align;
        EXPECT_EQ(l.OffsetX, c.want.OffsetX) << c.shape << "/" << c.align;
        EXPECT_EQ(l.OffsetY, c.want.OffsetY) << c.shape << "/" << c.align;
    }
    TOvcCaret bmp;
    bmp.SetBitmap(QPixmap(4, 6));
    bmp.SetShape(csBitmap);
    bmp.SetAlign(caLeft);
    bmp.SetBitmapHotSpot(1, 2);
    TOvcCaretLayout l = LayoutCaret(bmp, 10, 8);
    EXPECT_EQ(l.OffsetX, -1);
    EXPECT_EQ(l.OffsetY, 0);
}

TEST(OvcCaret, HolderPlacesPaintsAndFollowsItsDescription)
{
    QWidget w;
    w.resize(100, 40);
    TOvcCaretPair pair(&w);
    EXPECT_TRUE(pair.InsertMode());
    EXPECT_EQ(pair.CaretOvr()->Shape(), csBlock);
    EXPECT_EQ(pair.Caret(), pair.CaretIns());
    pair.SetCellHeight(15);
    pair.SetCellWidth(8);
    pair.SetCellHeight(0);  // ignored
    EXPECT_EQ(pair.CellHeight(), 15);
    EXPECT_TRUE(pair.CaretRect().isEmpty());  // position unknown
    pair.SetPosition(20, 5);
    EXPECT_EQ(pair.CaretRect(), QRect(20, 5, 2, 15));
    pair.SetInsertMode(false);
    EXPECT_EQ(pair.CaretRect(), QRect(20, 5, 8, 15));
    // A change of the linked description re-lays it out.
    pair.SetLinked(true);
    pair.SetVisible(true);
    pair.CaretOvr()->SetShape(csHalfBlock);
    EXPECT_EQ(pair.CaretRect(), QRect(20, 13, 8, 7));  // 7 high, at the bottom of 15
    EXPECT_TRUE(pair.Linked());
    // Painting inverts the caret's cells and nothing else.
    QImage img(100, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        pair.PaintCaret(p);
    }
    EXPECT_EQ(img.pixelColor(20, 13), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(27, 19), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(20, 12), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(28, 13), QColor(Qt::white));
    pair.SetVisible(false);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        pair.PaintCaret(p);
    }
    EXPECT_EQ(img.pixelColor(20, 13), QColor(Qt::white));
    // A shared description outlives a holder that lets it go.
    auto shared = std::make_shared<TOvcCaret>();
    {
        TOvcSingleCaret other(&w);
        other.SetCaret(shared);
        pair.SetCaretIns(shared);
    }
    shared->SetCaretWidth(3);  // no holder left listening: nothing to crash
    EXPECT_EQ(pair.CaretIns(), shared);
}

TEST(OvcColors, UseDefaultFollowsTheColours)
{
    TOvcColors c(Qt::black, Qt::white);
    EXPECT_TRUE(c.UseDefault());
    int changes = 0;
    c.OnChange = [&] { ++changes; };
    c.SetBackColor(Qt::yellow);
    EXPECT_FALSE(c.UseDefault());
    c.SetBackColor(Qt::white);  // back to the default: UseDefault stays off
    EXPECT_FALSE(c.UseDefault());
    c.SetTextColor(Qt::red);
    c.SetUseDefault(true);
    EXPECT_EQ(c.TextColor(), QColor(Qt::black));
    EXPECT_EQ(c.BackColor(), QColor(Qt::white));
    EXPECT_EQ(changes, 4);
    TOvcEfColors ef;
    EXPECT_EQ(ef.Error.TextColor(), QColor(Qt::black));
    EXPECT_EQ(ef.Error.BackColor(), QColor(Qt::red));
    TOvcEfColors other;
    other.Error.SetBackColor(Qt::blue);
    ef.Assign(other);
    EXPECT_EQ(ef.Error.BackColor(), QColor(Qt::blue));
}

TEST(OvcBorder, SettersFireOnlyOnChange)
{
    TOvcBorder b;
    EXPECT_FALSE(b.Enabled());
    EXPECT_EQ(b.PenWidth(), 2);
    EXPECT_EQ(b.PenColor(), QColor(Qt::black));
    EXPECT_EQ(b.BorderStyle(), bpsSolid);
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    b.SetPenWidth(0);  // ignored
    EXPECT_EQ(b.PenWidth(), 2);
    b.SetPenWidth(2);
    EXPECT_EQ(changes, 0);
    b.SetPenWidth(3);
    b.SetEnabled(true);
    b.SetPenStyle(Qt::DashLine);
    b.SetPenColor(Qt::blue);
    b.SetPenColor(Qt::blue);
    EXPECT_EQ(changes, 4);
    TOvcBorders all;
    EXPECT_FALSE(all.AnyEnabled());
    all.TopBorder.Assign(b);
    EXPECT_TRUE(all.AnyEnabled());
    EXPECT_EQ(all.TopBorder.PenWidth(), 3);
    EXPECT_EQ(all.TopBorder.PenStyle(), Qt::DashLine);
}
