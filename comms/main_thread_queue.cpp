#include "comms/main_thread_queue.h"

#include <atomic>

namespace korval {

namespace {
std::atomic<TMainThreadQueue*> g_queue{nullptr};
}

void SetMainThreadQueue(TMainThreadQueue* queue)
{
    g_queue.store(queue);
}

TMainThreadQueue* MainThreadQueue()
{
    return g_queue.load();
}

} // namespace korval
