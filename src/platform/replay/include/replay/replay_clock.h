#pragma once

#include <chrono>
#include <cstdint>

#include "base/clock.h"
#include "base/local_time.h"

namespace corvane {

// The clock of a replay: the tick count and the process clock are the milliseconds since the replay
// started, and the wall clock is the start reading plus those milliseconds. In virtual time the runner
// sets the milliseconds; in real time they follow the steady clock.
class ReplayClock final : public Clock {
 public:
  enum class Mode { Virtual, RealTime };

  ReplayClock(const LocalDateTime& start, Mode mode);

  std::uint32_t tick_ms() const override { return static_cast<std::uint32_t>(elapsed_ms()); }
  std::int64_t process_ms() const override { return elapsed_ms(); }
  LocalDateTime local_now() const override;
  std::int64_t epoch_seconds() const override;

  //! Virtual time only: moves the clock to `t_ms` since the start (never backwards).
  void set_elapsed_ms(std::int64_t t_ms);
  std::int64_t elapsed_ms() const;

 private:
  const LocalTimestamp start_local_;
  const std::int64_t start_epoch_;  // the start reading in seconds since the epoch (UTC)
  const Mode mode_;
  const std::chrono::steady_clock::time_point steady_start_;
  std::int64_t virtual_ms_ = 0;
};

//! Seconds since the epoch of a local wall-clock reading, in this process's time zone.
std::int64_t local_to_epoch_seconds(const LocalDateTime& t);

}  // namespace corvane
