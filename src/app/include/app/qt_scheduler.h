#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

#include "base/scheduler.h"

namespace corvane {

// The Scheduler of the desktop program: one QTimer per timer id on the GUI thread. Starting a running
// timer restarts it with the new period, as window timers do; every expiry calls the dispatcher.
class QtScheduler final : public QObject, public Scheduler {
  Q_OBJECT
 public:
  explicit QtScheduler(std::function<void(TimerId)> dispatch, QObject* parent = nullptr);

  void start_timer(TimerId id, std::uint32_t period_ms) override;
  void stop_timer(TimerId id) override;

  bool running(TimerId id) const;
  //! The period a running timer was started with; 0 when it is not running.
  int period_ms(TimerId id) const;

  //! Replaces the dispatcher (the engine is built after the scheduler it is given).
  void set_dispatch(std::function<void(TimerId)> dispatch) { dispatch_ = std::move(dispatch); }

 private:
  std::function<void(TimerId)> dispatch_;
  std::map<TimerId, QTimer*> timers_;
};

}  // namespace corvane
