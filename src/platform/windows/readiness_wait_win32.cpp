#include <windows.h>

#include <algorithm>

#include "platform/readiness_wait.h"
#include "platform/stop_signals.h"

namespace corvane {

struct ReadinessWait::Impl {
  StopSignals stops;
};

ReadinessWait::ReadinessWait() : impl_(std::make_unique<Impl>()) {}

ReadinessWait::~ReadinessWait() = default;

// Windows delivers device input as window messages, not through descriptors: only the timeout and
// the stop request end this wait.
Result<ReadinessWait::Outcome> ReadinessWait::wait(std::span<const int> /*descriptors*/,
                                                   std::optional<std::int64_t> timeout_ms) {
  const DWORD timeout =
      timeout_ms ? static_cast<DWORD>(std::clamp<std::int64_t>(*timeout_ms, 0, INFINITE - 1)) : INFINITE;
  Outcome outcome;
  ::WaitForSingleObject(static_cast<HANDLE>(impl_->stops.native_event()), timeout);
  outcome.stop_requested = impl_->stops.take_requests();
  return outcome;
}

}  // namespace corvane
