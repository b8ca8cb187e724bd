#include "base/path_text.h"
#include "heart/heart_monitor.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "base/user_texts.h"
#include "heart/heart_session.h"
#include "heart/sample_handler.h"

namespace corvane {
namespace {

std::string latest_entry_line(const std::optional<HeartLog>& newest) {
  if (!newest) return {};
  char bpm[24];
  std::snprintf(bpm, sizeof bpm, user_text::kLatestEntryBpmFormat, static_cast<int>(newest->bpm));
  return newest->text + bpm;
}

}  // namespace

HeartMonitor::HeartMonitor(const Clock& clock, Scheduler& scheduler, Notifier& notifier,
                           std::filesystem::path data_folder, std::unique_ptr<OstrelBinding> binding)
    : clock_(clock),
      scheduler_(scheduler),
      notifier_(notifier),
      binding_(std::move(binding)),
      results_(data_folder) {
  results_.load();
  view_.latest_entry = latest_entry_line(results_.newest());
}

void HeartMonitor::take_sample_block(std::span<const std::uint8_t, 12> block) {
  scheduler_.start_timer(TimerId::HeartReceive, kReceiveTickMs);
  // Loading is retried at every block while it fails; an open detector stays open.
  const bool bound = binding_->ensure_bound();
  state_.receive_countdown = kReceiveCountdown;
  handle_sample_block(ring_, state_, bound ? binding_->detector() : nullptr, block, clock_.process_ms());
  view_.library_missing = !binding_->loaded();
  view_.library_path = view_.library_missing ? path_text(binding_->path()) : std::string();
  update_session();
}

void HeartMonitor::show_heart_page() {
  if (on_show_page) on_show_page();
}

void HeartMonitor::on_receive_timer() {
  if (state_.receive_countdown > 0) {
    --state_.receive_countdown;
    return;
  }
  scheduler_.stop_timer(TimerId::HeartReceive);
  update_session();
}

void HeartMonitor::on_alert_timer() {
  scheduler_.stop_timer(TimerId::HeartAlert);
  if (state_.result > kHeartAlertAbove && settings_->heart_rate_threshold() > 0)
    notifier_.show_message(settings_->alert_text());
}

bool HeartMonitor::on_timer(TimerId id) {
  switch (id) {
    case TimerId::HeartReceive:
      on_receive_timer();
      return true;
    case TimerId::HeartAlert:
      on_alert_timer();
      return true;
    default:
      return false;
  }
}

void HeartMonitor::update_session() {
  SessionStep step = step_session(state_, clock_.process_ms());
  view_.readout = std::move(step.readout);
  view_.message = std::move(step.message);
  view_.show_hint = step.show_hint;
  view_.heart_lit = step.heart_lit;
  if (const std::optional<float> result = step.new_result) {
    const Result<void> saved = results_.add(make_heart_log(result_bpm(*result), local_timestamp_now(clock_)));
    if (!saved && on_save_failed) on_save_failed(saved.error().message);
    const int threshold = settings_->heart_rate_threshold();
    if (settings_->heart_rate_alert_on() && threshold != 0 && *result > static_cast<float>(threshold))
      scheduler_.start_timer(TimerId::HeartAlert, kHeartAlertDelayMs);
  }
  refresh_latest_entry();
  changed();
}

void HeartMonitor::refresh_latest_entry() {
  view_.latest_entry = latest_entry_line(results_.newest());
}

void HeartMonitor::changed() {
  if (on_changed) on_changed();
}

HeartPageView HeartMonitor::view() const {
  return view_;
}

std::vector<WaveformPoint> HeartMonitor::waveform(int count) const {
  return ring_.recent(count);
}

MeasurementState HeartMonitor::state() const {
  return state_;
}

void HeartMonitor::show_results(bool on) {
  // Entering the results view rereads the file, unless a change never reached it: then the list in
  // memory is the only copy and rereading would lose the change.
  if (on && !showing_results_ && !results_.unsaved_changes()) results_.load();
  showing_results_ = on;
  refresh_latest_entry();
  changed();
}

Result<void> HeartMonitor::delete_result(std::size_t index) {
  Result<void> r = results_.remove(index);
  refresh_latest_entry();
  changed();
  return r;
}

}  // namespace corvane
