#include "platform/windows/window_message.h"

#include <QCoreApplication>

namespace korval {

QEvent::Type TWindowMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool PostWindowMessage(QObject* receiver, unsigned msg, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!receiver)
        return false;
    QCoreApplication::postEvent(receiver, new TWindowMessageEvent(msg, wParam, lParam));
    return true;
}

bool SendWindowMessage(QObject* receiver, unsigned msg, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!receiver)
        return false;
    TWindowMessageEvent ev(msg, wParam, lParam);
    return QCoreApplication::sendEvent(receiver, &ev);
}

} // namespace korval
