#pragma once

#include <cstdint>

#include "base/local_time.h"

namespace corvane {

// Every reading of time goes through a Clock so that tests and fast replays drive time themselves.
class Clock {
 public:
  virtual ~Clock() = default;
  //! Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
  virtual std::uint32_t tick_ms() const = 0;
  //! Milliseconds of process time since start-up (the process clock).
  virtual std::int64_t process_ms() const = 0;
  //! The local wall clock, broken down.
  virtual LocalDateTime local_now() const = 0;
  //! Wall-clock seconds since the Unix epoch (UTC), as stored in button events.
  virtual std::int64_t epoch_seconds() const = 0;
};

// The current LocalTimestamp of a clock.
inline LocalTimestamp local_timestamp_now(const Clock& clock) {
  return to_local_timestamp(clock.local_now());
}

}  // namespace corvane
