#pragma once

#include "base/clock.h"

namespace corvane {

// The real clocks of this machine.
class SystemClock final : public Clock {
 public:
  SystemClock();
  std::uint32_t tick_ms() const override;
  std::int64_t process_ms() const override;
  LocalDateTime local_now() const override;
  std::int64_t epoch_seconds() const override;

 private:
  std::int64_t start_ms_;
};

}  // namespace corvane
