#pragma once
// TOvcMeter: a progress bar with a used and an unused part (colours or images) and an
// optional percentage text drawn inverted over the bar.
#include <QPixmap>
#include <QWidget>
#include <functional>

#include "entry/windows/ovc_base.h"
#include "entry/windows/ovc_controller.h" // ovc_base.h needs the complete controller type
#include "grids/windows/grid_types.h"

namespace korval {

enum TMeterOrientation { moHorizontal, moVertical };

class TOvcMeter : public TOvcGraphicControl {
    Q_OBJECT
public:
    explicit TOvcMeter(QWidget* parent = nullptr);

    int Percent() const { return percent_; }
    // Stored as given; the text and the bar use it clamped to 0..100.
    void SetPercent(int value);
    QString PercentText() const { return text_; }

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool InvertPercent() const { return invertPercent_; }
    void SetInvertPercent(bool value);
    TMeterOrientation Orientation() const { return orientation_; }
    // Without a used image the control turns: width and height swap.
    void SetOrientation(TMeterOrientation value);
    bool ShowPercent() const { return showPercent_; }
    void SetShowPercent(bool value);
    QColor UsedColor() const { return usedColor_; }
    void SetUsedColor(const QColor& value);
    QColor UnusedColor() const { return unusedColor_; }
    void SetUnusedColor(const QColor& value);
    const QPixmap& UsedImage() const { return usedImage_; }
    void SetUsedImage(const QPixmap& value);
    const QPixmap& UnusedImage() const { return unusedImage_; }
    void SetUnusedImage(const QPixmap& value);

    // The bar's inside, less the frame.
    QRect InnerRect() const;

    std::function<void(TOvcMeter*)> OnClick;
    std::function<void(TOvcMeter*)> OnDblClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    int percent_ = 33;
    QString text_ = QStringLiteral("33%");
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    bool invertPercent_ = true;
    TMeterOrientation orientation_ = moHorizontal;
    bool showPercent_ = false;
    QColor usedColor_{0, 255, 0};
    QColor unusedColor_;
    QPixmap usedImage_;
    QPixmap unusedImage_;
};

} // namespace korval
