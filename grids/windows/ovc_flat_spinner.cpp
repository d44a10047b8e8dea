#include "grids/windows/ovc_flat_spinner.h"

namespace korval {

TOvcFlatSpinner::TOvcFlatSpinner(QWidget* parent, TOvcTickSource* clock, TOvcTimerDriver* timer)
    : TOvcSpinner(parent, clock, timer)
{
}

void TOvcFlatSpinner::setColor(QColor& slot, const QColor& value)
{
    slot = value;
    update();
}

void TOvcFlatSpinner::SetArrowColor(const QColor& value) { setColor(arrowColor_, value); }
void TOvcFlatSpinner::SetFaceColor(const QColor& value) { setColor(faceColor_, value); }
void TOvcFlatSpinner::SetHighlightColor(const QColor& value) { setColor(highlightColor_, value); }
void TOvcFlatSpinner::SetShadowColor(const QColor& value) { setColor(shadowColor_, value); }

TOvcSpinner::TSpinColors TOvcFlatSpinner::Colors() const
{
    // Flat: the frame is drawn in the shadow colour too.
    return {faceColor_, arrowColor_, highlightColor_, shadowColor_, shadowColor_};
}

} // namespace korval
