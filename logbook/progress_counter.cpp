#include "logbook/progress_counter.h"

namespace korval {

void TProgressCounter::SetUp(std::int32_t maximum)
{
    maximum_ = maximum < 1 ? 1 : maximum;
    counter_ = 0;
    mask_ = maximum_ >= 10000 ? 1023 : 127;
    percent_ = 0;
}

bool TProgressCounter::step(std::int64_t position)
{
    ++counter_;
    if ((counter_ & mask_) != mask_)
        return false;
    int p = static_cast<int>(position * 100 / maximum_);
    if (p == percent_)
        return false;
    percent_ = p;
    return true;
}

bool TProgressCounter::ShowProgress()
{
    return step(static_cast<std::int64_t>(counter_) + 1);
}

bool TProgressCounter::NewProgress(std::int32_t position)
{
    return step(position);
}

} // namespace korval
