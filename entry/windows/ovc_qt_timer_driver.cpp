// The pool's default periodic timer: one QTimer in the thread that made the pool.
#include "entry/windows/ovc_qt_timer_driver.h"

#include <QTimer>

namespace korval {

namespace {

class QtTimerDriver : public TOvcTimerDriver {
public:
    bool Start(uint32_t periodMs, std::function<void()> tick) override
    {
        timer_.stop();
        QObject::disconnect(&timer_, nullptr, nullptr, nullptr);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(tick));
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.start(int(periodMs));
        return timer_.isActive();
    }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<TOvcTimerDriver> CreateQtTimerDriver()
{
    return std::make_unique<QtTimerDriver>();
}

} // namespace korval
