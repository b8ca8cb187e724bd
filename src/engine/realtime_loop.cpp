#include "engine/realtime_loop.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/headless.h"
#include "platform/readiness_wait.h"

namespace corvane {

Result<void> run_realtime_loop(Engine& engine, TimerQueue& timers, const Clock& clock, DeviceMonitor* monitor,
                               InstanceGuard* guard, std::span<const CaptureEntry> replay,
                               std::ostream& err) {
  ReadinessWait waiter;
  // Descriptors that changed during one round of wait results: their results are stale.
  std::vector<int> changed_fds;
  if (monitor) {
    monitor->on_descriptor_added = [&changed_fds](int fd) { changed_fds.push_back(fd); };
    monitor->on_descriptor_removing = [&changed_fds](int fd) { changed_fds.push_back(fd); };
    if (const Result<void> started = monitor->start(); !started) {
      err << "corvane: the devices cannot be watched: " << started.error().message << '\n';
    }
  }

  engine.start();
  std::size_t next_report = 0;
  std::vector<int> watched;
  for (;;) {
    const std::int64_t now = clock.process_ms();
    while (const auto due = timers.pop_due(now, TimerQueue::Missed::Skip))
      engine.on_timer(due->id);
    while (next_report < replay.size() && replay[next_report].t_ms <= now)
      deliver(replay[next_report++], engine);
    if (!monitor && next_report == replay.size()) break;  // the capture is over

    std::optional<std::int64_t> wake = timers.next_due();
    if (next_report < replay.size())
      wake = std::min(wake.value_or(replay[next_report].t_ms), replay[next_report].t_ms);
    const std::optional<std::int64_t> timeout =
        wake ? std::optional<std::int64_t>(*wake - now) : std::nullopt;

    watched.clear();
    if (monitor) watched = monitor->descriptors();
    if (guard) watched.push_back(guard->listen_fd());
    const Result<ReadinessWait::Outcome> woke = waiter.wait(watched, timeout);
    if (!woke) {
      err << "corvane: " << woke.error().message << '\n';
      break;
    }
    if (woke->stop_requested) break;
    changed_fds.clear();
    bool close_requested = false;
    for (int fd : woke->readable) {
      if (guard && fd == guard->listen_fd()) {
        close_requested = guard->on_readable() || close_requested;
        continue;
      }
      if (std::find(changed_fds.begin(), changed_fds.end(), fd) != changed_fds.end()) continue;
      // A device that went away reports an error or hang-up: the layer reads, sees it gone and closes it.
      monitor->on_readable(fd);
    }
    if (close_requested) break;
  }
  return engine.shutdown();
}

}  // namespace corvane
