#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "activitylog/day_writer.h"
#include "base/clock.h"
#include "base/daily_activity.h"
#include "base/notifier.h"
#include "base/reports.h"
#include "base/scheduler.h"
#include "engine/engine_component.h"
#include "engine/engine_listener.h"
#include "engine/local_date.h"
#include "input/activity_counters.h"
#include "input/event_queue.h"
#include "input/hooks.h"
#include "input/mouse_decoder.h"
#include "platform/atomic_file.h"

namespace corvane {

struct EngineConfig {
  std::filesystem::path data_folder;    // created at start() if missing
  std::uint32_t double_click_ms = 500;  // the platform's double-click time
  // The device ID when the caller has read or made it already (the desktop program shows it before the
  // engine starts); empty: the upload side reads or makes it at start.
  std::string device_id{};
};

// The program without its windows: the live day counters and their day file, the decoding of the
// sensor mouse's reports, and every timer of the program. It takes time from the injected clock and
// runs periodic work through the injected scheduler, whose owner calls on_timer() when a timer fires.
// All calls come from one thread (the GUI thread on the desktop, the loop in headless mode), except
// that the day-file save runs on a short-lived thread of its own.
//
// Life: construct, add components and listeners, start(), then feed reports and timers, then
// shutdown() once. The hosted parts (heart-rate side, alert rules, upload trigger) are EngineComponents
// that get start-up, their timers and the exit; SensorListeners get the sample blocks and the
// heart-page signal; ActivityListeners get every counted press and travel; EngineListeners hear what
// happened (counters changed, a day started, the heart side or an upload changed).
//
// Counting and saving: a sensor-mouse report whose local calendar minute (date, hour, minute) differs
// from the last one first rolls over: the queued button events are counted, the day is saved on the
// save thread (skipped while the previous save still runs, except for the save that closes a day, which
// waits for it), and at a new date the counters start from zero. Only then is the report's own button
// event queued and its travel added. So every queued event belongs to the minute of the last roll-over,
// and the drain counts it into that minute's hour and day, even when the drain tick comes after
// midnight.
class Engine final : public ReportSink {
 public:
  //! The status drain timer: the queued button events are counted every 800 ms.
  static constexpr std::uint32_t kDrainPeriodMs = 800;

  Engine(EngineConfig config, Clock& clock, Scheduler& scheduler, Notifier& notifier);
  ~Engine() override;  // waits for a running save; does not save (call shutdown() for that)
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // --- composition (before start) ---
  //! Hosts a component for the life of the engine; returns it for further wiring.
  template <typename T>
  T& add_component(std::unique_ptr<T> component) {
    T& ref = *component;
    components_.push_back(std::move(component));
    return ref;
  }
  //! Listeners are not owned; they must outlive the engine's use of them.
  void add_sensor_listener(SensorListener& listener) { sensor_listeners_.push_back(&listener); }
  void add_activity_listener(ActivityListener& listener) { counters_.add_listener(listener); }

  // --- life ---
  //! Creates the data folder, loads today's counters from today's file (a damaged file shows
  //! "load error"), starts the drain timer, then starts the components.
  void start();
  //! The exit path: stops the timers, drains the queued events, lets the components finish, waits for
  //! a running save and saves the live day once more. Returns how that final write went. Later reports
  //! and timers are ignored; a second call saves nothing and returns the first result.
  Result<void> shutdown();
  bool started() const { return started_; }
  bool shut_down() const { return shut_down_; }

  // --- input (ReportSink) ---
  //! A mouse report of any mouse; only the sensor mouse's count.
  void on_mouse_report(const MouseReport& report) override;
  //! A vendor-collection report: sample blocks and the heart-page signal go to the sensor listeners.
  void on_hid_report(const HidReport& report) override;

  //! Called by the scheduler's owner when a timer fires.
  void on_timer(TimerId id);

  //! Counts the queued button events now (what the drain timer does).
  void drain_events();

  //! Blocks until no day-file save runs. A virtual-time replay calls it after every step so that the
  //! files on disk follow virtual time exactly.
  void wait_for_background_work() {
    writer_.wait_until_idle();
    for (auto& c : components_)
      c->wait_for_background_work();
  }

  // --- state ---
  const DailyActivity& live_activity() const { return counters_.record(); }
  LocalDate live_date() const { return live_date_; }
  std::size_t queued_events() const { return queue_.size(); }
  //! How many drains have run: a listener that hears the counters change tells a drain (whose
  //! presses it may show at once) from a travel report (which the next drain brings along anyway).
  std::uint64_t drains() const { return drains_; }

  //! Who hears what happened (see EngineListener); listeners are not owned and remove themselves
  //! before they go.
  EngineListeners& listeners() { return listeners_; }

  // --- services for the hosted components ---
  Clock& clock() { return clock_; }
  Scheduler& scheduler() { return scheduler_; }
  Notifier& notifier() { return notifier_; }
  const EngineConfig& config() const { return config_; }
  DayWriter& day_writer() { return writer_; }

 private:
  void roll_over(const LocalDateTime& now);

  const EngineConfig config_;
  Clock& clock_;
  Scheduler& scheduler_;
  Notifier& notifier_;

  DayWriter writer_;
  EventQueue queue_;
  std::vector<ButtonEvent> drained_;  // reused by every drain
  std::uint64_t drains_ = 0;
  MouseDecoder decoder_;
  ActivityCounters counters_;
  LocalDate live_date_;
  LocalDateTime last_minute_;  // the calendar minute of the last roll-over (or of start-up)
  EngineListeners listeners_;

  std::vector<std::unique_ptr<EngineComponent>> components_;
  std::vector<SensorListener*> sensor_listeners_;

  bool started_ = false;
  bool shut_down_ = false;
  Result<void> final_save_;
};

}  // namespace corvane
