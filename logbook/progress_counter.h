#pragma once
// The stepping arithmetic of the progress window: long operations step once per record, and the
// meter is touched only every 128th step (every 1024th from 10000 records on) and only when the
// percentage moved, so that stepping costs nearly nothing.
#include <cstdint>

namespace korval {

class TProgressCounter {
public:
    // Starts over at 0 % with the given maximum (at least 1).
    void SetUp(std::int32_t maximum);
    // One step; true when the percentage to show changed (then percent() holds it).
    bool ShowProgress();
    // One step at an absolute position; the percentage follows the position.
    bool NewProgress(std::int32_t position);
    // The end: 100 %.
    void Finished() { percent_ = 100; }

    int percent() const { return percent_; }
    std::int32_t maximum() const { return maximum_; }
    std::int32_t counter() const { return counter_; }
    std::int32_t mask() const { return mask_; }

private:
    bool step(std::int64_t position);

    std::int32_t maximum_ = 1;
    std::int32_t counter_ = 0;
    std::int32_t mask_ = 127;
    int percent_ = 0;
};

} // namespace korval
