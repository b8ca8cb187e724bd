#include "engine/headless.h"

#include <memory>
#include <type_traits>
#include <variant>

#include "engine/composition.h"
#include "engine/realtime_loop.h"
#include "engine/startup.h"
#include "engine/stream_notifier.h"
#include "export/csv_export.h"
#include "heart/heart_rate_list.h"
#include "platform/device_monitor.h"
#include "platform/system_clock.h"

namespace corvane {

void deliver(const CaptureEntry& entry, ReportSink& sink) {
  std::visit(
      [&sink](const auto& report) {
        if constexpr (std::is_same_v<std::decay_t<decltype(report)>, MouseReport>) {
          sink.on_mouse_report(report);
        } else {
          sink.on_hid_report(report);
        }
      },
      entry.report);
}

Result<void> run_virtual_replay(Engine& engine, ReplayClock& clock, TimerQueue& timers,
                                std::span<const CaptureEntry> entries) {
  // Each step finishes the day-file save it may have started, so the files follow virtual time exactly.
  auto fire_timers_up_to = [&](std::int64_t t_ms) {
    while (const auto due = timers.pop_due(t_ms)) {
      clock.set_elapsed_ms(due->due_ms);
      engine.on_timer(due->id);
      engine.wait_for_background_work();
    }
  };

  clock.set_elapsed_ms(0);
  engine.start();
  engine.wait_for_background_work();
  std::int64_t last_t = 0;
  for (const CaptureEntry& entry : entries) {
    fire_timers_up_to(entry.t_ms);
    clock.set_elapsed_ms(entry.t_ms);
    deliver(entry, engine);
    engine.wait_for_background_work();
    last_t = entry.t_ms;
  }
  fire_timers_up_to(last_t);
  clock.set_elapsed_ms(last_t);
  return engine.shutdown();
}

namespace {

int finish(const Result<void>& final_save, Engine& engine, std::ostream& err) {
  if (engine.day_writer().failed_saves() > 0 && final_save) {
    err << "corvane: " << engine.day_writer().failed_saves()
        << " periodic day-file save(s) failed; the last error: " << engine.day_writer().last_error() << '\n';
  }
  if (!final_save) {
    err << "corvane: the day file could not be written: " << final_save.error().message << '\n';
    return kExitFailed;
  }
  return kExitClean;
}

LocalDateTime now_to_the_second() {
  LocalDateTime t = SystemClock().local_now();
  t.millisecond = 0;
  return t;
}

}  // namespace

int run_export_csv(const CommandLine& options, std::ostream& err) {
  const std::filesystem::path data_folder = data_folder_of(options);
  StreamNotifier notifier(err);  // a damaged data file prints "message: load error" and is exported as read
  HeartRateList heart(data_folder, notifier);
  heart.load();
  const LocalDateTime today = options.start ? *options.start : SystemClock().local_now();
  const Result<void> written = export_csv(heart.entries(), data_folder, today, *options.export_csv, notifier);
  if (!written) {
    err << "corvane: the export could not be written: " << written.error().message << '\n';
    return kExitFailed;
  }
  return kExitClean;
}

int run_headless(const CommandLine& options, std::ostream& err) {
  if (options.export_csv) return run_export_csv(options, err);
  if (options.close) return close_running_instance(options, err);

  auto started = start_up(options);
  if (!started) {
    err << "corvane: " << started.error().message << '\n';
    return started.error().exit_status;
  }
  Startup& startup = *started;

  StreamNotifier notifier(err);
  const EngineConfig config{startup.data_folder, kHeadlessDoubleClickMs};
  int status = kExitClean;

  if (startup.capture && options.fast) {
    const LocalDateTime start = options.start ? *options.start : now_to_the_second();
    ReplayClock clock(start, ReplayClock::Mode::Virtual);
    TimerQueue timers(clock);
    const auto engine = make_engine(config, clock, timers, notifier).engine;
    status = finish(run_virtual_replay(*engine, clock, timers, *startup.capture), *engine, err);
  } else {
    const auto clock = make_wall_clock(options);
    TimerQueue timers(*clock);
    const auto engine = make_engine(config, *clock, timers, notifier).engine;

    std::unique_ptr<DeviceMonitor> monitor;
    std::vector<CaptureEntry> replay;
    if (startup.capture) {
      // The capture's t_ms count from now, on the timers' clock.
      replay = std::move(*startup.capture);
      const std::int64_t offset = clock->process_ms();
      for (CaptureEntry& e : replay)
        e.t_ms += offset;
    } else {
      Result<std::unique_ptr<DeviceMonitor>> layer = open_device_layer(*engine);
      if (!layer) {
        err << "corvane: " << layer.error().message << '\n';
        return kExitFailed;
      }
      monitor = std::move(*layer);
      monitor->on_warning = [&notifier](const std::string& text) { notifier.show_message(text); };
    }
    const Result<void> result =
        run_realtime_loop(*engine, timers, *clock, monitor.get(), startup.guard.get(), replay, err);
    status = finish(result, *engine, err);
  }
  // A /close that ended us learns only now, with the day saved, that we are done.
  startup.guard->acknowledge_close();
  return status;
}

}  // namespace corvane
