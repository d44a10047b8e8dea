#pragma once
// The controller every form of entry fields, grids and notebooks carries: the key-to-command
// tables, entry options, date epoch, insert mode, error state and a timer pool the controls
// share, and the deferred notifications between them.
#include "entry/windows/ovc_base.h"
#include "entry/ovc_command_processor.h"
#include "entry/ovc_set.h"
#include "entry/ovc_timer_pool.h"

#include <functional>
#include <memory>
#include <string>

namespace korval {

enum TOvcBaseEFOption {
    efoAutoAdvanceChar,
    efoAutoAdvanceLeftRight,
    efoAutoAdvanceUpDown,
    efoAutoSelect,
    efoBeepOnError,
    efoInsertPushes,
};
using TOvcBaseEFOptions = TOvcSet<TOvcBaseEFOption>;

using TDataErrorEvent = std::function<void(QObject* sender, uint16_t errorCode, const std::string& errorMsg)>;
using TGetEpochEvent = std::function<void(QObject* sender, int& epoch)>;
using TDelayNotifyEvent = std::function<void(QObject* sender, uint16_t notifyCode)>;
using TIsSpecialControlEvent = std::function<void(QObject* sender, QWidget* control, bool& special)>;
using TPostEditEvent = std::function<void(QObject* sender, QWidget* gainingControl)>;
using TPreEditEvent = std::function<void(QObject* sender, QWidget* losingControl)>;

class TOvcController : public TOvcComponent {
    Q_OBJECT
public:
    // The owner is the form; controls of the form that have no controller adopt this one.
    // A clock and timer driver may be given for the timer pool (tests).
    explicit TOvcController(QObject* owner = nullptr, TOvcTickSource* clock = nullptr,
                            TOvcTimerDriver* driver = nullptr);
    ~TOvcController() override;

    TOvcCommandProcessor& EntryCommands() { return *entryCommands_; }
    const TOvcCommandProcessor& EntryCommands() const { return *entryCommands_; }
    TOvcTimerPool& TimerPool() { return *timerPool_; }

    TOvcBaseEFOptions EntryOptions{efoAutoSelect, efoBeepOnError, efoInsertPushes};
    bool ErrorPending = false;
    bool InsertMode = true;
    // The text of the last reported error; a form's own validation code (32768 or more) puts
    // its message here.
    std::string ErrorText;

    // The stored epoch, which OnGetEpoch may change.
    int Epoch() const;
    // Accepted for 1600..3999 only.
    void SetEpoch(int value);

    TDataErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TDelayNotifyEvent OnDelayNotify;
    TIsSpecialControlEvent OnIsSpecialControl;
    TPostEditEvent OnPostEdit;
    TPreEditEvent OnPreEdit;
    TTriggerEvent OnTimerTrigger;

    // OnError when assigned, else a modal error box with the message and an OK button.
    void DoOnError(QObject* sender, uint16_t errorCode, const std::string& errorMsg);
    // Post the pre-edit / post-edit notifications (fired after the current event).
    void DoOnPreEdit(QWidget* losing, QWidget* gaining);
    void DoOnPostEdit(QWidget* gaining, QWidget* losing);
    // Posts OnDelayNotify(sender, code).
    void DelayNotify(QObject* sender, uint16_t notifyCode);
    // Posts: show the control and focus it when it can take the focus.
    void PostSetFocus(QWidget* control);
    bool IsSpecialControl(QWidget* control);

    void OvcMessage(const TOvcMessage& msg) override;

private:
    std::unique_ptr<TOvcCommandProcessor> entryCommands_;
    std::unique_ptr<TOvcTimerPool> timerPool_;
    int epoch_;
};

} // namespace korval
