#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/readiness_wait.h"
#include "platform/stop_signals.h"

namespace corvane {

struct ReadinessWait::Impl {
  StopSignals stops;
  std::vector<pollfd> polled;  // reused by every wait
};

ReadinessWait::ReadinessWait() : impl_(std::make_unique<Impl>()) {}

ReadinessWait::~ReadinessWait() = default;

Result<ReadinessWait::Outcome> ReadinessWait::wait(std::span<const int> descriptors,
                                                   std::optional<std::int64_t> timeout_ms) {
  const int timeout = timeout_ms ? static_cast<int>(std::clamp<std::int64_t>(*timeout_ms, 0, INT_MAX)) : -1;
  const int stop_fd = impl_->stops.descriptor();
  auto& polled = impl_->polled;
  polled.clear();
  if (stop_fd >= 0) polled.push_back({stop_fd, POLLIN, 0});
  for (int fd : descriptors)
    polled.push_back({fd, POLLIN, 0});

  Outcome outcome;
  const int ready = ::poll(polled.data(), polled.size(), timeout);
  if (ready < 0) {
    if (errno != EINTR) return fail(std::string("poll failed: ") + std::strerror(errno));
    return outcome;
  }
  for (const pollfd& p : polled) {
    if (p.revents == 0) continue;
    if (p.fd == stop_fd) {
      outcome.stop_requested = impl_->stops.take_requests();
    } else {
      outcome.readable.push_back(p.fd);
    }
  }
  return outcome;
}

}  // namespace corvane
