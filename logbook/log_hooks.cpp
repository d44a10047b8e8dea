#include "logbook/log_hooks.h"

#include "logbook/progress.h"

namespace korval {

namespace {
TLogWindowHooks silentHooks;
TLogWindowHooks* currentHooks = &silentHooks;

TProgressSink* currentProgress = nullptr;
} // namespace

TLogWindowHooks& LogHooks() { return *currentHooks; }

TLogWindowHooks* SetLogHooks(TLogWindowHooks* hooks)
{
    TLogWindowHooks* old = currentHooks == &silentHooks ? nullptr : currentHooks;
    currentHooks = hooks ? hooks : &silentHooks;
    return old;
}

TProgressSink& Progress() { return currentProgress ? *currentProgress : ProgressWindowSink(); }

TProgressSink* SetProgressSink(TProgressSink* sink)
{
    TProgressSink* old = currentProgress;
    currentProgress = sink;
    return old;
}

} // namespace korval
