#pragma once

#include <cstdint>
#include <map>

#include "base/scheduler.h"

namespace corvane::testing {

// Remembers which timers run with which period; the test fires them by hand.
class FakeScheduler final : public Scheduler {
 public:
  void start_timer(TimerId id, std::uint32_t period_ms) override {
    running[id] = period_ms;
    ++starts[id];
  }
  void stop_timer(TimerId id) override { running.erase(id); }
  bool is_running(TimerId id) const { return running.count(id) != 0; }

  std::map<TimerId, std::uint32_t> running;
  std::map<TimerId, int> starts;
};

}  // namespace corvane::testing
