#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/stop_signals.h"

namespace corvane {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler only writes a byte into a pipe that the program's loop watches.
int g_signal_pipe_write = -1;

extern "C" void on_stop_signal(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_signal_pipe_write >= 0) [[maybe_unused]]
    auto n = ::write(g_signal_pipe_write, &byte, 1);
  errno = saved;
}

}  // namespace

struct StopSignals::Impl {
  int fds[2] = {-1, -1};
  struct sigaction old_actions[3]{};
  sigset_t old_mask{};
};

StopSignals::StopSignals() : impl_(std::make_unique<Impl>()) {
  if (::pipe2(impl_->fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    impl_->fds[0] = impl_->fds[1] = -1;
    return;
  }
  g_signal_pipe_write = impl_->fds[1];
  struct sigaction sa {};
  sa.sa_handler = on_stop_signal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigset_t stops;
  sigemptyset(&stops);
  for (int i = 0; i < 3; ++i) {
    ::sigaction(kStopSignals[i], &sa, &impl_->old_actions[i]);
    sigaddset(&stops, kStopSignals[i]);
  }
  // A stop that arrived while the signals were blocked (say, by a parent before starting us) is
  // delivered now, to the handler, instead of being lost or ending us without the final save.
  ::pthread_sigmask(SIG_UNBLOCK, &stops, &impl_->old_mask);
}

StopSignals::~StopSignals() {
  if (impl_->fds[0] < 0) return;
  ::pthread_sigmask(SIG_SETMASK, &impl_->old_mask, nullptr);
  for (int i = 0; i < 3; ++i)
    ::sigaction(kStopSignals[i], &impl_->old_actions[i], nullptr);
  g_signal_pipe_write = -1;
  ::close(impl_->fds[0]);
  ::close(impl_->fds[1]);
}

int StopSignals::descriptor() const {
  return impl_->fds[0];
}

bool StopSignals::take_requests() {
  char buffer[16];
  bool any = false;
  while (impl_->fds[0] >= 0 && ::read(impl_->fds[0], buffer, sizeof buffer) > 0)
    any = true;
  return any;
}

void* StopSignals::native_event() const {
  return nullptr;
}

}  // namespace corvane
