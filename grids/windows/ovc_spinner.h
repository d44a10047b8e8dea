#pragma once
// TOvcSpinner: a small button control with arrow parts that steps the value of an attached
// entry field or text box while it is held, faster the longer it is held, and reports every
// step through OnClick. The hold runs on a timer: the event loop keeps going meanwhile.
#include <QColor>
#include <QPointer>
#include <functional>
#include <memory>

#include "entry/windows/ovc_base.h"
#include "entry/windows/ovc_controller.h" // ovc_base.h needs the complete controller type
#include "entry/ovc_timer_pool.h"
#include "grids/spin_engine.h"
#include "grids/spin_regions.h"

class QLineEdit;
class QPainter;

namespace korval {

class TOvcBaseEntryField;

// Sender, the part stepped, the step and whether the field wraps.
using TSpinClickEvent = std::function<void(QObject* sender, TOvcSpinState state, double delta, bool wrap)>;

class TOvcSpinner : public TOvcCustomControl {
    Q_OBJECT
public:
    // A clock and timer may be given (tests); the spinner does not own them.
    explicit TOvcSpinner(QWidget* parent = nullptr, TOvcTickSource* clock = nullptr,
                         TOvcTimerDriver* timer = nullptr);
    ~TOvcSpinner() override;

    int Acceleration() const { return engine_.Acceleration(); }
    // 0..10; other values leave the old one.
    void SetAcceleration(int value) { engine_.SetAcceleration(value); }
    bool AutoRepeat() const { return engine_.AutoRepeat; }
    void SetAutoRepeat(bool value) { engine_.AutoRepeat = value; }
    int DelayTime() const { return engine_.DelayTime; }
    void SetDelayTime(int value) { engine_.DelayTime = value; }
    double Delta() const { return engine_.Delta; }
    void SetDelta(double value) { engine_.Delta = value; }
    bool WrapMode() const { return engine_.WrapMode; }
    void SetWrapMode(bool value) { engine_.WrapMode = value; }
    bool ShowArrows() const { return showArrows_; }
    void SetShowArrows(bool value);
    TOvcSpinnerStyle Style() const { return regions_.Style(); }
    void SetStyle(TOvcSpinnerStyle value);
    // The control that is stepped: an entry field or a text box; cleared when it goes.
    QWidget* FocusedControl() const { return focusedControl_; }
    void SetFocusedControl(QWidget* control) { focusedControl_ = control; }

    TSpinClickEvent OnClick;

    TOvcSpinState State() const { return engine_.State(); }
    const TOvcSpinRegions& Regions() const { return regions_; }
    const TOvcSpinEngine& Engine() const { return engine_; }
    // The state under a point of the control.
    TOvcSpinState StateAt(QPoint p) const { return regions_.StateAt(p.x(), p.y()); }
    QSize sizeHint() const override { return {16, 25}; }

protected:
    // The colours the parts are painted in.
    struct TSpinColors {
        QColor Face;
        QColor Arrow;
        QColor Highlight;
        QColor Shadow;
        QColor Frame;
    };
    virtual TSpinColors Colors() const;
    virtual void MouseDown(QPoint pos);
    virtual void MouseUp();
    virtual void PaintParts(QPainter& p);
    void DoOnClick(TOvcSpinState state);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    TOvcBaseEntryField* entryField() const;
    QLineEdit* textEdit() const;
    bool hasTarget() const;
    void step();
    void repeatPass();
    void stopRepeat();
    void endHold();
    void paintPart(QPainter& p, TOvcSpinState part, const TSpinColors& c);

    std::unique_ptr<TOvcTickSource> ownClock_;
    std::unique_ptr<TOvcTimerDriver> ownTimer_;
    TOvcTimerDriver* timer_;
    TOvcSpinEngine engine_;
    TOvcSpinRegions regions_;
    QPointer<QWidget> focusedControl_;
    bool showArrows_ = true;
    bool tracking_ = false;
};

} // namespace korval
