#pragma once
// The progress display of long log operations (reading and writing log files). The progress
// window implements it; engines call the current one, which does nothing until one is set.
#include <string>

namespace korval {

class TProgressSink {
public:
    virtual ~TProgressSink() = default;
    virtual void Start(const std::string& caption, int maximum) = 0;
    virtual void Step() = 0;
    virtual void Finish() = 0;
};

// The current progress display; never null (a silent one until SetProgressSink).
TProgressSink& Progress();
// Installs a progress display (null restores the silent one); returns the previous one.
TProgressSink* SetProgressSink(TProgressSink* sink);

} // namespace korval
