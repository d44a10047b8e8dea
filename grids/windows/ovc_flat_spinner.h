#pragma once
// TOvcFlatSpinner: the spinner in colours of its own instead of the system's button colours.
#include "grids/windows/ovc_spinner.h"

namespace korval {

class TOvcFlatSpinner : public TOvcSpinner {
    Q_OBJECT
public:
    explicit TOvcFlatSpinner(QWidget* parent = nullptr, TOvcTickSource* clock = nullptr,
                             TOvcTimerDriver* timer = nullptr);

    QColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(const QColor& value);
    QColor FaceColor() const { return faceColor_; }
    void SetFaceColor(const QColor& value);
    QColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(const QColor& value);
    QColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(const QColor& value);

protected:
    TSpinColors Colors() const override;

private:
    void setColor(QColor& slot, const QColor& value);

    QColor arrowColor_{0, 0, 0};
    QColor faceColor_{192, 192, 192};
    QColor highlightColor_{255, 255, 255};
    QColor shadowColor_{128, 128, 128};
};

} // namespace korval
