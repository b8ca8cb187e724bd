#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "engine/headless.h"
#include "engine/realtime_loop.h"

namespace corvane {
namespace {

// SIGINT and SIGTERM end the loop through a self-pipe, so poll() wakes and the exit path runs on the
// loop's thread.
int g_signal_pipe_write = -1;

extern "C" void on_stop_signal(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_signal_pipe_write >= 0) [[maybe_unused]]
    auto n = ::write(g_signal_pipe_write, &byte, 1);
  errno = saved;
}

class StopSignals {
 public:
  StopSignals() {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
      fds_[0] = fds_[1] = -1;
      return;
    }
    g_signal_pipe_write = fds_[1];
    struct sigaction sa {};
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, &old_int_);
    ::sigaction(SIGTERM, &sa, &old_term_);
    // A stop that arrived while the signals were blocked (say, by a parent before starting us) is
    // delivered now, to the handler, instead of being lost or ending us without the final save.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    ::pthread_sigmask(SIG_UNBLOCK, &stops, &old_mask_);
  }
  ~StopSignals() {
    if (fds_[0] < 0) return;
    ::pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
    ::sigaction(SIGINT, &old_int_, nullptr);
    ::sigaction(SIGTERM, &old_term_, nullptr);
    g_signal_pipe_write = -1;
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  int read_fd() const { return fds_[0]; }

 private:
  int fds_[2];
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
  sigset_t old_mask_{};
};

}  // namespace

WriteResult run_realtime_loop(Engine& engine, TimerQueue& timers, const Clock& clock, DeviceMonitor* monitor,
                              std::span<const CaptureEntry> replay, std::ostream& err) {
  StopSignals stop;
  // Descriptors that changed during one round of poll() results: their results are stale.
  std::vector<int> changed_fds;
  if (monitor) {
    monitor->on_descriptor_added = [&changed_fds](int fd) { changed_fds.push_back(fd); };
    monitor->on_descriptor_removing = [&changed_fds](int fd) { changed_fds.push_back(fd); };
    if (const auto error = monitor->start()) {
      err << "corvane: the devices cannot be watched: " << *error << '\n';
    }
  }

  engine.start();
  std::size_t next_report = 0;
  std::vector<pollfd> fds;
  bool stopping = false;
  while (!stopping) {
    const std::int64_t now = clock.process_ms();
    while (const auto due = timers.pop_due(now, TimerQueue::Missed::Skip))
      engine.on_timer(due->id);
    while (next_report < replay.size() && replay[next_report].t_ms <= now)
      deliver(replay[next_report++], engine);
    if (!monitor && next_report == replay.size()) break;  // the capture is over

    std::int64_t wake = INT64_MAX;
    if (const auto due = timers.next_due()) wake = std::min(wake, *due);
    if (next_report < replay.size()) wake = std::min(wake, replay[next_report].t_ms);
    const int timeout =
        wake == INT64_MAX ? -1 : static_cast<int>(std::clamp<std::int64_t>(wake - now, 0, INT_MAX));

    fds.clear();
    if (stop.read_fd() >= 0) fds.push_back({stop.read_fd(), POLLIN, 0});
    if (monitor)
      for (int fd : monitor->descriptors())
        fds.push_back({fd, POLLIN, 0});
    const int ready = ::poll(fds.data(), fds.size(), timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      err << "corvane: poll failed: " << std::strerror(errno) << '\n';
      break;
    }
    changed_fds.clear();
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (std::find(changed_fds.begin(), changed_fds.end(), p.fd) != changed_fds.end()) continue;
      if (p.fd == stop.read_fd()) {
        stopping = true;
      } else if (monitor) {
        // A device that went away reports POLLERR/POLLHUP: the layer reads, sees it gone and closes it.
        monitor->on_readable(p.fd);
      }
    }
  }
  return engine.shutdown();
}

}  // namespace corvane
