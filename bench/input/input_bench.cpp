// Costs on the report path: every report of every mouse passes here on the GUI thread.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/notifier.h"
#include "engine/engine.h"
#include "input/activity_counters.h"
#include "input/event_queue.h"
#include "platform/system_clock.h"
#include "replay/timer_queue.h"
#include "support/silent_notifier.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::SilentNotifier;
using testing::TempFolder;

// An engine on the real clock over a throw-away data folder.
struct BenchEngine {
  BenchEngine() {
    engine = std::make_unique<Engine>(EngineConfig{folder.path(), 500}, clock, timers, notifier);
    engine->start();
  }
  // The folder is thrown away: a failed final save does not matter here.
  ~BenchEngine() { static_cast<void>(engine->shutdown()); }
  TempFolder folder;  // declared first: outlives the engine
  SystemClock clock;
  TimerQueue timers{clock};
  SilentNotifier notifier;
  std::unique_ptr<Engine> engine;
};

MouseReport report(const char* name, std::uint16_t flags, int dx, int dy) {
  MouseReport r;
  r.device_name = name;
  r.button_flags = flags;
  r.dx = dx;
  r.dy = dy;
  r.cursor_x = 640;
  r.cursor_y = 400;
  return r;
}

constexpr const char* kForeign =
    R"(\\?\HID#VID_046D&PID_C077#7&1a2b3c4d&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91e6bf6})";
constexpr const char* kSensor =
    R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91e6bf6})";

// A report of another mouse: only the name check runs.
void BM_ForeignMouseReport(benchmark::State& state) {
  BenchEngine b;
  const MouseReport r = report(kForeign, button_flags::kLeftDown, 3, -2);
  for (auto _ : state)
    b.engine->on_mouse_report(r);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ForeignMouseReport);

// The sensor mouse moving and clicking: name check, minute check, decoding, travel; every 64th report
// the drain counts the queued presses (as the 800 ms tick would).
void BM_SensorMouseReportDecodedAndCounted(benchmark::State& state) {
  BenchEngine b;
  const MouseReport reports[] = {
      report(kSensor, 0, 3, -2),
      report(kSensor, button_flags::kLeftDown, 0, 0),
      report(kSensor, 0, -1, 4),
      report(kSensor, button_flags::kLeftUp, 0, 0),
  };
  std::size_t i = 0;
  for (auto _ : state) {
    b.engine->on_mouse_report(reports[i & 3]);
    if ((++i & 63) == 0) b.engine->drain_events();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SensorMouseReportDecodedAndCounted);

// The drain itself: a batch of queued presses and releases, taken under the lock and counted.
void BM_DrainEvents(benchmark::State& state) {
  const auto batch = static_cast<std::size_t>(state.range(0));
  EventQueue queue;
  ActivityCounters counters(500);
  std::vector<ButtonEvent> drained;
  std::vector<ButtonEvent> events(batch);
  for (std::size_t i = 0; i < batch; ++i) {
    ButtonEvent& e = events[i];
    e.changed = static_cast<std::uint8_t>(1u << (i / 2 % 5));
    e.state = (i % 2 == 0) ? e.changed : 0;
    e.ms_since_previous = 120;
    e.x = static_cast<std::int32_t>(i % 7);
  }
  for (auto _ : state) {
    state.PauseTiming();
    for (const ButtonEvent& e : events)
      queue.append(e);
    state.ResumeTiming();
    queue.take_all(drained);
    counters.count_events(drained, 10);
    benchmark::DoNotOptimize(counters.record().clicks[0][10]);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * batch));
}
BENCHMARK(BM_DrainEvents)->Arg(64)->Arg(4096);

}  // namespace
}  // namespace corvane
