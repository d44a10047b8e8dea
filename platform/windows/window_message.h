#pragma once
// Window messages between the program's windows and threads: a message number (WM_USER + n) with
// two parameters, posted to a receiver object and handled in its event() when the main thread gets
// to it. Posting is safe from any thread.
#include <QEvent>
#include <QObject>
#include <cstdint>

namespace korval {

inline constexpr unsigned WM_USER = 1024;

class TWindowMessageEvent : public QEvent {
public:
    TWindowMessageEvent(unsigned msg, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(EventType()), msg_(msg), wParam_(wParam), lParam_(lParam) {}
    // The one event type all window messages share.
    static QEvent::Type EventType();
    unsigned msg() const { return msg_; }
    std::intptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }

private:
    unsigned msg_;
    std::intptr_t wParam_;
    std::intptr_t lParam_;
};

// Queues a message for the receiver; returns false when there is no receiver.
bool PostWindowMessage(QObject* receiver, unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
// Delivers a message at once, on the calling (main) thread; returns whether it was handled.
bool SendWindowMessage(QObject* receiver, unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);

} // namespace korval
