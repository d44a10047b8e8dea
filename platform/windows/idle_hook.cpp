#include "platform/windows/idle_hook.h"

#include <QAbstractEventDispatcher>
#include <QThread>

#include "platform/windows/korval_application.h"

namespace korval {

TIdleHook::TIdleHook(QObject* parent) : QObject(parent) {}

TIdleHook::~TIdleHook()
{
    QObject::disconnect(conn_);
}

void TIdleHook::Install(THandler handler)
{
    QObject::disconnect(conn_);
    handler_ = std::move(handler);
    if (!handler_)
        return;
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance(thread()))
        conn_ = connect(d, &QAbstractEventDispatcher::aboutToBlock, this, &TIdleHook::RunIdle, Qt::DirectConnection);
}

void TIdleHook::RunIdle()
{
    if (running_ || !handler_)
        return;
    running_ = true;
    // Copy: the handler may remove itself. The idle handler runs outside any event, where an
    // escaping exception would end the program: it is shown like any other and the loop goes on.
    THandler h = handler_;
    RunShowingExceptions(h);
    running_ = false;
}

} // namespace korval
