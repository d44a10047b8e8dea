#include "platform/key_line.h"

namespace korval {

void TRecordingKeyLine::Set(bool key, bool ptt)
{
    const std::int64_t now = clock_ ? clock_() : 0;
    std::lock_guard lock(mu_);
    events_.push_back({now, key, hasPtt_ && ptt});
}

std::vector<TKeyLineEvent> TRecordingKeyLine::Events() const
{
    std::lock_guard lock(mu_);
    return events_;
}

TKeyLineEvent TRecordingKeyLine::Last() const
{
    std::lock_guard lock(mu_);
    return events_.empty() ? TKeyLineEvent{0, false, false} : events_.back();
}

void TRecordingKeyLine::Clear()
{
    std::lock_guard lock(mu_);
    events_.clear();
}

} // namespace korval
