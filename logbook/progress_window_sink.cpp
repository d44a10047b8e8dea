// The progress display of the engines shown in the shared progress window (when it exists).
#include "logbook/progress.h"
#include "logbook/progress_bar.h"
#include "platform/win1252.h"

namespace korval {

namespace {
class TProgressWindowSink : public TProgressSink {
public:
    void Start(const std::string& caption, int maximum) override
    {
        if (TProgressbar* w = ProgressWindow())
            w->SetUp(FromWin1252(caption), maximum);
    }
    void Step() override
    {
        if (TProgressbar* w = ProgressWindow())
            w->ShowProgress();
    }
    void Finish() override
    {
        if (TProgressbar* w = ProgressWindow())
            w->Finished();
    }
};
} // namespace

TProgressSink& ProgressWindowSink()
{
    static TProgressWindowSink sink;
    return sink;
}

} // namespace korval
