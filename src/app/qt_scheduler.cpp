#include "app/qt_scheduler.h"

namespace corvane {

QtScheduler::QtScheduler(std::function<void(TimerId)> dispatch, QObject* parent)
    : QObject(parent), dispatch_(std::move(dispatch)) {}

void QtScheduler::start_timer(TimerId id, std::uint32_t period_ms) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (dispatch_) dispatch_(id);
    });
  }
  timer->start(static_cast<int>(period_ms));
}

void QtScheduler::stop_timer(TimerId id) {
  const auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

bool QtScheduler::running(TimerId id) const {
  const auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

int QtScheduler::period_ms(TimerId id) const {
  return running(id) ? timers_.at(id)->interval() : 0;
}

}  // namespace corvane
