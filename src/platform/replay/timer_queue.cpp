#include "replay/timer_queue.h"

#include <algorithm>

namespace corvane {

void TimerQueue::start_timer(TimerId id, std::uint32_t period_ms) {
  stop_timer(id);
  // A zero period would fire forever at one instant; window timers treat it as the shortest period.
  const std::uint32_t period = std::max<std::uint32_t>(period_ms, 1);
  timers_.push_back({id, period, clock_.process_ms() + period, next_order_++});
}

void TimerQueue::stop_timer(TimerId id) {
  std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
}

bool TimerQueue::running(TimerId id) const {
  return std::any_of(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
}

std::optional<std::int64_t> TimerQueue::next_due() const {
  std::optional<std::int64_t> earliest;
  for (const Timer& t : timers_)
    if (!earliest || t.due_ms < *earliest) earliest = t.due_ms;
  return earliest;
}

std::optional<TimerQueue::Due> TimerQueue::pop_due(std::int64_t up_to_ms, Missed missed) {
  Timer* first = nullptr;
  for (Timer& t : timers_) {
    if (t.due_ms > up_to_ms) continue;
    if (!first || t.due_ms < first->due_ms || (t.due_ms == first->due_ms && t.order < first->order))
      first = &t;
  }
  if (!first) return std::nullopt;
  const Due due{first->id, first->due_ms};
  first->due_ms += first->period_ms;
  if (missed == Missed::Skip && first->due_ms <= up_to_ms) {
    // Like a window timer after a stall: one tick now, then on with the period from here.
    const std::int64_t behind = up_to_ms - first->due_ms;
    first->due_ms += (behind / first->period_ms + 1) * first->period_ms;
  }
  return due;
}

}  // namespace corvane
