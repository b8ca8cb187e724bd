#include "engine/engine.h"

#include <system_error>
#include <utility>

#include "activitylog/day_file.h"
#include "input/sensor_mouse.h"
#include "input/sensor_report.h"

namespace corvane {

Engine::Engine(EngineConfig config, Clock& clock, Scheduler& scheduler, Notifier& notifier)
    : config_(std::move(config)),
      clock_(clock),
      scheduler_(scheduler),
      notifier_(notifier),
      writer_(config_.data_folder),
      decoder_(clock),
      counters_(config_.double_click_ms) {
  drained_.reserve(1024);
}

Engine::~Engine() {
  writer_.wait_until_idle();
}

void Engine::start() {
  if (started_) return;
  started_ = true;
  std::error_code ec;
  std::filesystem::create_directories(config_.data_folder, ec);  // an existing folder is no error

  const LocalDateTime now = clock_.local_now();
  counters_.set_record(writer_.load_live_day(day_file_name(now), notifier_));
  live_date_ = LocalDate::of(now);
  last_minute_ = now;

  scheduler_.start_timer(TimerId::StatusDrain, kDrainPeriodMs);
  for (auto& c : components_)
    c->on_start();
}

Result<void> Engine::shutdown() {
  if (shut_down_) return final_save_;
  shut_down_ = true;
  scheduler_.stop_timer(TimerId::StatusDrain);
  if (!started_) return final_save_ = {};

  // The events of the last drain period are counted before the final save, not lost.
  drain_events();
  for (auto& c : components_)
    c->on_exit();

  // Let a running periodic save finish (it carries older counts), then write the final counts and keep
  // the save slot so that nothing saves after this.
  writer_.wait_until_idle();
  writer_.claim_save_slot();
  final_save_ =
      writer_.save_day(day_file_name(live_date_.year, live_date_.month, live_date_.day), counters_.record());
  return final_save_;
}

void Engine::on_mouse_report(const MouseReport& report) {
  if (!started_ || shut_down_) return;
  if (!is_sensor_mouse_name(report.device_name)) return;

  // Roll over before this report's own event is queued: every queued event then belongs to the minute
  // of the last roll-over, and the report's event and travel to the new minute.
  const LocalDateTime now = clock_.local_now();
  if (!now.same_minute(last_minute_)) roll_over(now);

  if (const auto event = decoder_.apply_buttons(report)) queue_.append(*event);

  const double travel = report_travel(report);
  if (travel > 0) {
    counters_.add_travel(travel, now.hour);
    listeners_.announce([](EngineListener& l) { l.on_counters_changed(); });
  }
}

void Engine::on_hid_report(const HidReport& report) {
  if (!started_ || shut_down_) return;
  const SensorDecode decoded = decode_sensor_report(report.bytes);
  switch (decoded.action) {
    case SensorAction::Ignore:
      return;
    case SensorAction::ShowHeartPage:
      for (SensorListener* l : sensor_listeners_)
        l->show_heart_page();
      return;
    case SensorAction::SampleBlock: {
      const std::span<const std::uint8_t, kSampleBlockSize> block(report.bytes.data() + decoded.block_offset,
                                                                  kSampleBlockSize);
      for (SensorListener* l : sensor_listeners_)
        l->take_sample_block(block);
      return;
    }
  }
}

void Engine::on_timer(TimerId id) {
  if (!started_ || shut_down_) return;
  if (id == TimerId::StatusDrain) {
    drain_events();
    return;
  }
  for (auto& c : components_)
    if (c->on_timer(id)) return;
}

void Engine::drain_events() {
  queue_.take_all(drained_);
  // Every queued event came in during the minute of the last roll-over (see on_mouse_report).
  counters_.count_events(drained_, last_minute_.hour);
  ++drains_;
  listeners_.announce([](EngineListener& l) { l.on_counters_changed(); });
}

void Engine::roll_over(const LocalDateTime& now) {
  // The minute that ends takes its queued events along into the save.
  drain_events();

  const DaySnapshot snapshot{live_date_.year, live_date_.month, live_date_.day, counters_.record()};
  const bool day_ends = !(LocalDate::of(now) == live_date_);
  if (day_ends) {
    // A save still running from the last minute must not make us skip the one save that closes the
    // day: the live record is zeroed right after this.
    writer_.wait_until_idle();
  }
  // Otherwise a minute whose save finds the previous one still running is skipped; the next carries on.
  writer_.start_save(snapshot);

  last_minute_ = now;
  if (day_ends) {
    // The new date may have a file already (the clock or the time zone was corrected across midnight,
    // a backup was restored): counting goes on from it, as at start-up, instead of saving zeros over it.
    counters_.set_record(writer_.load_live_day(day_file_name(now), notifier_));
    const LocalDate finished = live_date_;
    live_date_ = LocalDate::of(now);
    listeners_.announce([&](EngineListener& l) { l.on_day_started(finished, live_date_); });
  }
}

}  // namespace corvane
