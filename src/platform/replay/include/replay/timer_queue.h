#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/clock.h"
#include "base/scheduler.h"

namespace corvane {

// A Scheduler that keeps its timers' due times on the process clock and lets its owner fire them: a
// virtual replay pops every timer due up to a report's time, a real-time loop sleeps until next_due().
// A timer started at s with period p is due at s + p, s + 2p, ...; timers due at the same moment fire
// in the order they were started.
class TimerQueue final : public Scheduler {
 public:
  explicit TimerQueue(const Clock& clock) : clock_(clock) {}

  void start_timer(TimerId id, std::uint32_t period_ms) override;
  void stop_timer(TimerId id) override;

  struct Due {
    TimerId id;
    std::int64_t due_ms;
  };

  //! The earliest due time of any running timer.
  std::optional<std::int64_t> next_due() const;

  //! What a timer does with periods that passed while nobody popped it: virtual time fires each of
  //! them; a real-time loop that stalled fires once and skips the rest.
  enum class Missed { FireEach, Skip };

  //! Takes the earliest timer due at or before `up_to_ms` and moves it to its next period; the caller
  //! sets its clock to `due_ms` and fires it. Nothing when no timer is due by then.
  std::optional<Due> pop_due(std::int64_t up_to_ms, Missed missed = Missed::FireEach);

  bool running(TimerId id) const;

 private:
  struct Timer {
    TimerId id;
    std::uint32_t period_ms;
    std::int64_t due_ms;
    std::uint64_t order;  // when it was started; breaks ties between equal due times
  };

  const Clock& clock_;
  std::vector<Timer> timers_;
  std::uint64_t next_order_ = 0;
};

}  // namespace corvane
