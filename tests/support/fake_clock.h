#pragma once

#include <cstdint>

#include "base/clock.h"
#include "base/local_time.h"

namespace corvane::testing {

// A clock the test moves by hand: the tick count, the process clock and the wall clock advance together.
class FakeClock final : public Clock {
 public:
  // Tuesday 8 December 2026, 10:00.
  static constexpr LocalDateTime kDefaultStart{2026, 12, 8, 10, 0, 0, 0, 2};

  explicit FakeClock(const LocalDateTime& start = kDefaultStart) : wall_(to_local_timestamp(start)) {}

  std::uint32_t tick_ms() const override { return static_cast<std::uint32_t>(tick_base_ + elapsed_ms_); }
  std::int64_t process_ms() const override { return elapsed_ms_; }
  LocalDateTime local_now() const override {
    LocalDateTime t = from_local_timestamp(wall_ + elapsed_ms_ / 1000);
    t.millisecond = static_cast<int>(elapsed_ms_ % 1000);
    return t;
  }
  std::int64_t epoch_seconds() const override { return wall_ + elapsed_ms_ / 1000 - 9 * 3600; }

  void advance_ms(std::int64_t ms) { elapsed_ms_ += ms; }
  // Jumps the wall clock to a local time without moving the tick count (a clock change or a resume).
  void set_wall(const LocalDateTime& t) { wall_ = to_local_timestamp(t) - elapsed_ms_ / 1000; }
  void set_tick_base(std::uint32_t base) { tick_base_ = base; }

 private:
  std::int64_t wall_;
  std::int64_t elapsed_ms_ = 0;
  std::uint32_t tick_base_ = 1000;
};

}  // namespace corvane::testing
