#pragma once
// The periodic timer of the windows' timer pools: one QTimer in the thread that made it.
#include "entry/ovc_timer_pool.h"

#include <memory>

namespace korval {

std::unique_ptr<TOvcTimerDriver> CreateQtTimerDriver();

} // namespace korval
