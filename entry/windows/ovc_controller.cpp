#include "entry/windows/ovc_controller.h"

#include "entry/ovc_date.h"
#include "entry/windows/ovc_qt_timer_driver.h"
#include "platform/message_dlg.h"

namespace korval {

TOvcController::TOvcController(QObject* owner, TOvcTickSource* clock, TOvcTimerDriver* driver)
    : TOvcComponent(owner),
      entryCommands_(std::make_unique<TOvcCommandProcessor>()),
      timerPool_(driver ? std::make_unique<TOvcTimerPool>(clock, driver)
                        : std::make_unique<TOvcTimerPool>(clock, CreateQtTimerDriver())),
      // Two-digit years follow the logbook's own rule (see KorvalDateEpoch), not the century
      // of today: "95" must stay 1995.
      epoch_(KorvalDateEpoch)
{
    timerPool_->OnAllTriggers = [this](TOvcTimerPool* sender, int handle, uint32_t interval, int elapsed) {
        if (TTriggerEvent ev = OnTimerTrigger)
            ev(sender, handle, interval, elapsed);
    };
    // Controls already on the form that have no controller adopt this one.
    if (auto* form = qobject_cast<QWidget*>(owner))
        for (auto* c : form->findChildren<TOvcCustomControlEx*>())
            if (!c->Controller() && FindController(GetImmediateParentForm(c)) == this)
                c->SetController(this);
}

TOvcController::~TOvcController() = default;

int TOvcController::Epoch() const
{
    int e = epoch_;
    if (OnGetEpoch)
        OnGetEpoch(const_cast<TOvcController*>(this), e);
    return e;
}

void TOvcController::SetEpoch(int value)
{
    if (value >= MinYear && value <= MaxYear && value != epoch_)
        epoch_ = value;
}

void TOvcController::DoOnError(QObject* sender, uint16_t errorCode, const std::string& errorMsg)
{
    if (TDataErrorEvent ev = OnError)
        ev(sender, errorCode, errorMsg);
    else
        MessageDlg(errorMsg, TMsgDlgType::mtError, mbOK);
}

void TOvcController::DoOnPreEdit(QWidget* losing, QWidget* gaining)
{
    PostOvcMessage(this, {om_PreEdit, 0, gaining, losing});
}

void TOvcController::DoOnPostEdit(QWidget* gaining, QWidget* losing)
{
    PostOvcMessage(this, {om_PostEdit, 0, losing, gaining});
}

void TOvcController::DelayNotify(QObject* sender, uint16_t notifyCode)
{
    PostOvcMessage(this, {om_DelayNotify, notifyCode, sender, nullptr});
}

void TOvcController::PostSetFocus(QWidget* control)
{
    PostOvcMessage(this, {om_SetFocus, 0, control, nullptr});
}

bool TOvcController::IsSpecialControl(QWidget* control)
{
    bool special = false;
    if (TIsSpecialControlEvent ev = OnIsSpecialControl)
        ev(this, control, special);
    return special;
}

void TOvcController::OvcMessage(const TOvcMessage& msg)
{
    switch (msg.Msg) {
    case om_SetFocus:
        if (auto* w = qobject_cast<QWidget*>(msg.Control.data())) {
            w->show();
            if (w->isEnabled() && w->isVisible() && w->focusPolicy() != Qt::NoFocus)
                w->setFocus(Qt::OtherFocusReason);
        }
        break;
    case om_PreEdit:
        if (TPreEditEvent ev = OnPreEdit)
            ev(msg.Control.data(), qobject_cast<QWidget*>(msg.Other.data()));
        break;
    case om_PostEdit:
        if (TPostEditEvent ev = OnPostEdit)
            ev(msg.Control.data(), qobject_cast<QWidget*>(msg.Other.data()));
        break;
    case om_DelayNotify:
        if (TDelayNotifyEvent ev = OnDelayNotify)
            ev(msg.Control.data(), uint16_t(msg.WParam & 0xFFFF));
        break;
    default:
        break;
    }
}

} // namespace korval
