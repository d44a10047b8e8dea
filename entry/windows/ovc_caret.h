#pragma once
// Caret descriptions and the holders that show a caret in a control, colour pairs and borders
// of the entry fields and tables. Qt has no system caret: the holder keeps the caret's cell,
// blinks it with a timer and the control paints it with PaintCaret.
#include <QColor>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <climits>
#include <functional>
#include <memory>

class QPainter;
class QWidget;

namespace korval {

enum TOvcCaretShape { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };
enum TOvcCaretAlign { caLeft, caTop, caRight, caBottom, caCenter };

// One caret description; holders share it (std::shared_ptr). The holder that links it hears
// of changes through OnChange.
class TOvcCaret {
public:
    TOvcCaretShape Shape() const { return shape_; }
    // Also sets the alignment (and a size) that fit the shape.
    void SetShape(TOvcCaretShape v);
    TOvcCaretAlign Align() const { return align_; }
    void SetAlign(TOvcCaretAlign v);
    uint16_t BlinkTime() const { return blinkTime_; }  // ms, 0 = the system's
    void SetBlinkTime(uint16_t v);
    int CaretHeight() const { return height_; }
    void SetCaretHeight(int v);
    int CaretWidth() const { return width_; }
    void SetCaretWidth(int v);
    bool IsGray() const { return gray_; }
    void SetIsGray(bool v);
    const QPixmap& Bitmap() const { return bitmap_; }
    void SetBitmap(const QPixmap& v);
    int BitmapHotSpotX() const { return hotX_; }
    int BitmapHotSpotY() const { return hotY_; }
    void SetBitmapHotSpot(int x, int y);

    std::function<void()> OnChange;

private:
    void changed();
    TOvcCaretShape shape_ = csVertLine;
    TOvcCaretAlign align_ = caLeft;
    uint16_t blinkTime_ = 0;
    int height_ = 10;
    int width_ = 2;
    bool gray_ = false;
    QPixmap bitmap_;
    int hotX_ = 0, hotY_ = 0;
};

// Size and offset of a caret inside a cell of the given line height and character width.
struct TOvcCaretLayout {
    int Width = 0, Height = 0, OffsetX = 0, OffsetY = 0;
};
TOvcCaretLayout LayoutCaret(const TOvcCaret& caret, int lineHeight, int charWidth);

// Shows one caret description in a control.
class TOvcSingleCaret : public QObject {
    Q_OBJECT
public:
    static constexpr int Unknown = INT_MAX;  // a position not yet known

    explicit TOvcSingleCaret(QWidget* owner);
    ~TOvcSingleCaret() override;

    std::shared_ptr<TOvcCaret> Caret() const { return caret_; }
    void SetCaret(std::shared_ptr<TOvcCaret> caret);

    bool Linked() const { return linked_; }
    void SetLinked(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // Cell position; a negative coordinate is unknown.
    void SetPosition(int x, int y);
    int CellHeight() const { return cellH_; }
    void SetCellHeight(int v);  // values below 1 ignored
    int CellWidth() const { return cellW_; }
    void SetCellWidth(int v);

    const TOvcCaretLayout& Layout() const { return layout_; }
    // The caret's rectangle in the owner; empty when not shown or the position is unknown.
    QRect CaretRect() const;
    // True while the caret is on (linked, visible and in the bright phase of its blink).
    bool Showing() const { return linked_ && visible_ && blinkOn_; }
    // Draws the caret (inverting what is under it); controls call it at the end of paintEvent.
    void PaintCaret(QPainter& painter) const;
    int BlinkInterval() const;

protected:
    void relayout();
    void refresh();

private:
    void attach();
    QPointer<QWidget> owner_;
    std::shared_ptr<TOvcCaret> caret_;
    QTimer blink_;
    TOvcCaretLayout layout_;
    int cellH_ = 10, cellW_ = 10;
    int x_ = Unknown, y_ = Unknown;
    bool linked_ = false, visible_ = false, blinkOn_ = true;
    QRect lastRect_;
};

// Insert and overwrite carets; InsertMode chooses which one is shown.
class TOvcCaretPair : public TOvcSingleCaret {
    Q_OBJECT
public:
    explicit TOvcCaretPair(QWidget* owner);
    bool InsertMode() const { return insertMode_; }
    void SetInsertMode(bool v);
    std::shared_ptr<TOvcCaret> CaretIns() const { return ins_; }
    std::shared_ptr<TOvcCaret> CaretOvr() const { return ovr_; }
    void SetCaretIns(std::shared_ptr<TOvcCaret> c);
    void SetCaretOvr(std::shared_ptr<TOvcCaret> c);

private:
    std::shared_ptr<TOvcCaret> ins_, ovr_;
    bool insertMode_ = true;
};

// A text and background colour pair with defaults.
class TOvcColors {
public:
    TOvcColors(QColor defaultText, QColor defaultBack);
    QColor BackColor() const { return back_; }
    QColor TextColor() const { return text_; }
    bool UseDefault() const { return useDefault_; }
    void SetBackColor(QColor c);
    void SetTextColor(QColor c);
    void SetUseDefault(bool v);
    void Assign(const TOvcColors& o);
    std::function<void()> OnChange;

private:
    void changed();
    QColor defText_, defBack_, text_, back_;
    bool useDefault_ = true;
};

class TOvcEfColors {
public:
    TOvcEfColors();
    TOvcColors Disabled;   // grey text on the window colour
    TOvcColors Error;      // black on red
    TOvcColors Highlight;  // the highlight colours
    void Assign(const TOvcEfColors& o);
    // Sets one change handler for the three pairs.
    void SetOnChange(const std::function<void()>& f);
};

enum TOvcBorderStyle { bpsSolid };

class TOvcBorder {
public:
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    TOvcBorderStyle BorderStyle() const { return bpsSolid; }
    QColor PenColor() const { return color_; }
    void SetPenColor(QColor v);
    Qt::PenStyle PenStyle() const { return style_; }
    void SetPenStyle(Qt::PenStyle v);
    int PenWidth() const { return width_; }
    void SetPenWidth(int v);  // below 1 ignored
    void Assign(const TOvcBorder& o);
    std::function<void()> OnChange;

private:
    void changed();
    bool enabled_ = false;
    QColor color_ = Qt::black;
    Qt::PenStyle style_ = Qt::SolidLine;
    int width_ = 2;
};

struct TOvcBorders {
    TOvcBorder LeftBorder, RightBorder, TopBorder, BottomBorder;
    void SetOnChange(const std::function<void()>& f);
    bool AnyEnabled() const;
};

} // namespace korval
