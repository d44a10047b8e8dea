#include "logbook/log_hooks.h"

#include "logbook/progress.h"

namespace korval {

namespace {
TLogWindowHooks silentHooks;
TLogWindowHooks* currentHooks = &silentHooks;

class TSilentProgress : public TProgressSink {
public:
    void Start(const std::string&, int) override {}
    void Step() override {}
    void Finish() override {}
};
TSilentProgress silentProgress;
TProgressSink* currentProgress = &silentProgress;
} // namespace

TLogWindowHooks& LogHooks() { return *currentHooks; }

TLogWindowHooks* SetLogHooks(TLogWindowHooks* hooks)
{
    TLogWindowHooks* old = currentHooks == &silentHooks ? nullptr : currentHooks;
    currentHooks = hooks ? hooks : &silentHooks;
    return old;
}

TProgressSink& Progress() { return *currentProgress; }

TProgressSink* SetProgressSink(TProgressSink* sink)
{
    TProgressSink* old = currentProgress == &silentProgress ? nullptr : currentProgress;
    currentProgress = sink ? sink : &silentProgress;
    return old;
}

} // namespace korval
