#pragma once
// Keys of the grid, list and notebook controls become editing commands through the key tables
// of the form's controller. A control on a form without a controller uses a processor of its
// own with the standard tables, so it still works as the "Default" table says.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "entry/ovc_command_processor.h"
#include "entry/windows/ovc_controller.h"

class QKeyEvent;

namespace korval {

class TGridKeyTranslator {
public:
    explicit TGridKeyTranslator(QWidget* control) : control_(control) {}

    // The controller: the one set, else the first on the control's form (nullptr when none).
    TOvcController* Controller() const;
    void SetController(TOvcController* controller) { controller_ = controller; }

    // A command code, or ccNotCommand / ccPartial / ccNoPartial.
    uint16_t Translate(const QKeyEvent* e);
    // A control that gains the focus starts with no pending two-key sequence.
    void Reset();
    // True while the controller holds an entry field's unreported error.
    bool ErrorPending() const;

private:
    TOvcCommandProcessor& Processor();
    QWidget* control_;
    QPointer<TOvcController> controller_;
    std::unique_ptr<TOvcCommandProcessor> own_;
};

} // namespace korval
