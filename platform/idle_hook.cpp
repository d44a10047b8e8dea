#include "platform/idle_hook.h"

#include <QAbstractEventDispatcher>
#include <QThread>

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
    // Copy: the handler may remove itself.
    THandler h = handler_;
    try {
        h();
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
}

} // namespace korval
