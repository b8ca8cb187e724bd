#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "base/scheduler.h"
#include "replay/timer_queue.h"
#include "support/fake_clock.h"

namespace corvane::testing {

// Time that only the test moves: a hand-moved clock and the program's own timer queue running on it.
// Moving `clock` directly lets due timers wait (a test that fires them by hand); advance_ms() instead
// fires every timer that comes due on the way, in order, into `on_timer`, which may start and stop
// timers as the real handlers do.
class VirtualTime final : public Scheduler {
 public:
  explicit VirtualTime(const LocalDateTime& start = FakeClock::kDefaultStart) : clock(start) {}

  void start_timer(TimerId id, std::uint32_t period_ms) override {
    queue_.start_timer(id, period_ms);
    periods_[id] = period_ms;
    ++starts_[id];
  }
  void stop_timer(TimerId id) override {
    queue_.stop_timer(id);
    periods_.erase(id);
  }

  bool running(TimerId id) const { return queue_.running(id); }
  //! The period the timer was last started with; 0 while it is stopped.
  std::uint32_t period_ms(TimerId id) const { return running(id) ? periods_.at(id) : 0; }
  //! How often the timer was started (or restarted) so far.
  int starts(TimerId id) const { return starts_.count(id) != 0 ? starts_.at(id) : 0; }

  void advance_ms(std::int64_t ms) {
    const std::int64_t end = clock.process_ms() + ms;
    while (const auto due = queue_.pop_due(end)) {
      // A timer left overdue by a direct move of the clock fires late, never in the past.
      if (due->due_ms > clock.process_ms()) clock.advance_ms(due->due_ms - clock.process_ms());
      if (on_timer) on_timer(due->id);
    }
    clock.advance_ms(end - clock.process_ms());
  }

  FakeClock clock;
  std::function<void(TimerId)> on_timer;

 private:
  TimerQueue queue_{clock};
  std::map<TimerId, std::uint32_t> periods_;
  std::map<TimerId, int> starts_;
};

}  // namespace corvane::testing
