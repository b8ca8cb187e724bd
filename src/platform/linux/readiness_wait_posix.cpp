#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/readiness_wait.h"

namespace corvane {
namespace {

// SIGINT and SIGTERM reach the waiting loop through a self-pipe, so poll() wakes and the caller's exit
// path runs on its own thread instead of in a signal handler.
int g_signal_pipe_write = -1;

extern "C" void on_stop_signal(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_signal_pipe_write >= 0) [[maybe_unused]]
    auto n = ::write(g_signal_pipe_write, &byte, 1);
  errno = saved;
}

}  // namespace

struct ReadinessWait::Impl {
  int fds[2] = {-1, -1};
  struct sigaction old_int {};
  struct sigaction old_term {};
  sigset_t old_mask{};
  std::vector<pollfd> polled;  // reused by every wait
};

ReadinessWait::ReadinessWait() : impl_(std::make_unique<Impl>()) {
  if (::pipe2(impl_->fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    impl_->fds[0] = impl_->fds[1] = -1;
    return;
  }
  g_signal_pipe_write = impl_->fds[1];
  struct sigaction sa {};
  sa.sa_handler = on_stop_signal;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGINT, &sa, &impl_->old_int);
  ::sigaction(SIGTERM, &sa, &impl_->old_term);
  // A stop that arrived while the signals were blocked (say, by a parent before starting us) is
  // delivered now, to the handler, instead of being lost or ending us without the final save.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  ::pthread_sigmask(SIG_UNBLOCK, &stops, &impl_->old_mask);
}

ReadinessWait::~ReadinessWait() {
  if (impl_->fds[0] < 0) return;
  ::pthread_sigmask(SIG_SETMASK, &impl_->old_mask, nullptr);
  ::sigaction(SIGINT, &impl_->old_int, nullptr);
  ::sigaction(SIGTERM, &impl_->old_term, nullptr);
  g_signal_pipe_write = -1;
  ::close(impl_->fds[0]);
  ::close(impl_->fds[1]);
}

Result<ReadinessWait::Outcome> ReadinessWait::wait(std::span<const int> descriptors,
                                                   std::optional<std::int64_t> timeout_ms) {
  const int timeout = timeout_ms ? static_cast<int>(std::clamp<std::int64_t>(*timeout_ms, 0, INT_MAX)) : -1;
  auto& polled = impl_->polled;
  polled.clear();
  if (impl_->fds[0] >= 0) polled.push_back({impl_->fds[0], POLLIN, 0});
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
    if (p.fd == impl_->fds[0]) {
      outcome.stop_requested = true;
    } else {
      outcome.readable.push_back(p.fd);
    }
  }
  return outcome;
}

}  // namespace corvane
