#pragma once
// The road from the port library's threads to the main thread: a queued call that runs later in
// the main thread, in the order posted. The windows layer installs one over the Qt event loop;
// tests install their own and pump it.
#include <functional>

namespace korval {

class TMainThreadQueue {
public:
    virtual ~TMainThreadQueue() = default;
    // Safe from any thread.
    virtual void Post(std::function<void()> call) = 0;
};

// The queue the ports deliver through; none means no events are raised.
void SetMainThreadQueue(TMainThreadQueue* queue);
TMainThreadQueue* MainThreadQueue();

} // namespace korval
