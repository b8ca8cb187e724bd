#include "engine/realtime_loop.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <sstream>

#include "engine_fixture.h"
#include "replay/replay_clock.h"
#include "replay/timer_queue.h"

namespace corvane::testing {
namespace {

// A device layer over a pipe: every byte written to it is one motion report (3, 4) of the sensor
// mouse. After `stop_after` reports it asks the process to stop, as Ctrl-C would.
class PipeMonitor final : public DeviceMonitor {
 public:
  PipeMonitor(ReportSink& sink, int stop_after) : sink_(sink), stop_after_(stop_after) {}
  ~PipeMonitor() override {
    for (int fd : fds_)
      if (fd >= 0) ::close(fd);
  }
  Result<void> start() override {
    if (fds_[0] >= 0) return {};  // the test opened it early to feed it
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
    if (on_descriptor_added) on_descriptor_added(fds_[0]);
    return {};
  }
  std::vector<int> descriptors() const override { return {fds_[0]}; }
  void on_readable(int fd) override {
    char bytes[16];
    const ssize_t n = ::read(fd, bytes, sizeof bytes);
    for (ssize_t i = 0; i < n; ++i) {
      MouseReport r;
      r.device_name = kSensorMouse;
      r.dx = 3;
      r.dy = 4;
      sink_.on_mouse_report(r);
      if (++delivered == stop_after_) ::raise(SIGTERM);
    }
  }
  void feed(int reports) {
    for (int i = 0; i < reports; ++i)
      ASSERT_EQ(::write(fds_[1], "r", 1), 1);
  }
  int delivered = 0;

 private:
  ReportSink& sink_;
  int stop_after_;
  int fds_[2] = {-1, -1};
};

// Ends a loop that missed its stop: after 2 s it sends SIGINT (never blocked here) and notes it.
struct Watchdog final : EngineComponent {
  explicit Watchdog(Scheduler& scheduler) : scheduler(scheduler) {}
  void on_start() override { scheduler.start_timer(TimerId::HideOnceShown, 2000); }
  bool on_timer(TimerId id) override {
    if (id != TimerId::HideOnceShown) return false;
    fired = true;
    ::raise(SIGINT);
    return true;
  }
  Scheduler& scheduler;
  bool fired = false;
};

class RealTimeLoop : public ::testing::Test {
 protected:
  TempFolder data;
  ReplayClock clock{LocalDateTime{2026, 12, 8, 10, 0, 0, 0, 2}, ReplayClock::Mode::RealTime};
  TimerQueue timers{clock};
  RecordingNotifier notifier;
  Engine engine{EngineConfig{data.path(), 500}, clock, timers, notifier};
  std::ostringstream err;

  std::uint32_t saved_travel() {
    const auto text = read_whole_file(data / "20261208.txt");
    if (!text) return 0;
    return parse_day(*text).record.move_counts[10];
  }
};

TEST_F(RealTimeLoop, device_reports_flow_until_the_stop_signal_then_the_final_save_runs) {
  PipeMonitor monitor(engine, 3);
  // Reports already waiting when the loop starts are read at its first poll.
  ASSERT_TRUE(monitor.start());
  monitor.feed(3);
  const Result<void> result = run_realtime_loop(engine, timers, clock, &monitor, nullptr, {}, err);
  EXPECT_TRUE(result) << result.error().message;
  EXPECT_EQ(monitor.delivered, 3);
  EXPECT_TRUE(engine.shut_down());
  EXPECT_EQ(saved_travel(), 15u);
}

TEST_F(RealTimeLoop, stop_pending_while_blocked_is_not_lost) {
  // A parent may start us with SIGTERM blocked; a stop sent before the loop listens still ends it
  // through the exit path instead of hanging or killing the process unsaved.
  sigset_t term, old;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &term, &old), 0);
  ::raise(SIGTERM);
  PipeMonitor monitor(engine, 1000);
  const Watchdog& watchdog = engine.add_component(std::make_unique<Watchdog>(timers));
  const Result<void> result = run_realtime_loop(engine, timers, clock, &monitor, nullptr, {}, err);
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  EXPECT_FALSE(watchdog.fired) << "the pending stop was lost";
  EXPECT_TRUE(result);
  EXPECT_TRUE(engine.shut_down());
  EXPECT_TRUE(std::filesystem::exists(data / "20261208.txt"));
}

TEST_F(RealTimeLoop, replay_in_real_time_delivers_every_report_then_exits) {
  const Result<std::vector<CaptureEntry>> capture = parse_capture(
      "corvane-capture 1\n"
      "0 mouse 0x0000 rel 3 4 0 0 vid_0c45&pid_7e11\n"
      "5 mouse 0x0001 rel 0 0 0 0 vid_0c45&pid_7e11\n"
      "20 mouse 0x0000 rel 6 8 0 0 vid_0c45&pid_7e11\n",
      "rt");
  ASSERT_TRUE(capture) << capture.error().message;
  const Result<void> result = run_realtime_loop(engine, timers, clock, nullptr, nullptr, *capture, err);
  EXPECT_TRUE(result) << result.error().message;
  const auto saved = parse_day(read_whole_file(data / "20261208.txt").value_or("")).record;
  EXPECT_EQ(saved.move_counts[10], 15u);
  EXPECT_EQ(saved.clicks[0][10], 1u);  // still queued at the end: counted by the exit path
  EXPECT_GE(clock.process_ms(), 20);
}

}  // namespace
}  // namespace corvane::testing
