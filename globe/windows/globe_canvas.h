#pragma once
// The globe's drawing surface over QPainter: an off-screen 32-bit image the control copies to
// the screen, or any paint device (the control itself for animated layers, a printer).
#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "globe/globe_surface.h"

namespace korval {

QColor ColorRefToQColor(std::uint32_t colour);
std::uint32_t QColorToColorRef(QColor colour);

// Pictures for point symbols read by Qt's image readers (PNG, BMP, JPEG, ...).
std::shared_ptr<TGlobePicture> GlobePictureFromImage(const QImage& image);
void InstallGlobePictureLoader();

class TGlobeCanvas : public TGlobeSurface {
public:
    TGlobeCanvas();
    ~TGlobeCanvas() override;

    void SetSize(int width, int height);
    const QImage& Image() const { return image_; }
    // Drawing into the image until End.
    void Begin();
    // Drawing through a painter of another device (w x h pixels) until End.
    void BeginOn(QPainter* painter, int width, int height);
    void End();
    bool Active() const { return painter_ != nullptr; }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetPen(const TPenSpec& pen) override;
    void SetBrush(const TBrushSpec& brush) override;
    void SetFont(const TFontSpec& font) override;
    void Polyline(const TScreenPoint* points, int count) override;
    void Polygon(const TScreenPoint* points, int count) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void SetPixel(int x, int y, std::uint32_t color) override;
    std::uint32_t GetPixel(int x, int y) const override;
    void Fill(std::uint32_t color) override;
    void Text(int x, int y, const std::string& text, int align) override;
    void TextExtent(const std::string& text, int& width, int& height) override;
    void StretchPicture(const TGlobePicture& picture, int left, int top, int right, int bottom) override;

private:
    QImage image_;
    std::unique_ptr<QPainter> own_;
    QPainter* painter_ = nullptr;
    bool onImage_ = false;
    int width_ = 150, height_ = 150;
    std::uint32_t textColor_ = 0;
    int fontAngle_ = 0;
};

} // namespace korval
