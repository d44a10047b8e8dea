#include "logbook/log_hooks.h"

#include "logbook/progress.h"

namespace korval {

namespace {
TLogWindowHooks silentHooks;
TLogWindowHooks* currentHooks = &silentHooks;

TProgressSink* currentProgress = nullptr;

// Shows nothing: the engines run without a progress window until one is installed.
class TSilentProgress : public TProgressSink {
public:
    void Start(const std::string&, int) override {}
    void Step() override {}
    void Finish() override {}
};
TSilentProgress silentProgress;
} // namespace

TLogWindowHooks& LogHooks() { return *currentHooks; }

TLogWindowHooks* SetLogHooks(TLogWindowHooks* hooks)
{
    TLogWindowHooks* old = currentHooks == &silentHooks ? nullptr : currentHooks;
    currentHooks = hooks ? hooks : &silentHooks;
    return old;
}

TProgressSink& Progress() { return currentProgress ? *currentProgress : silentProgress; }

TProgressSink* SetProgressSink(TProgressSink* sink)
{
    TProgressSink* old = currentProgress;
    currentProgress = sink;
    return old;
}

} // namespace korval
