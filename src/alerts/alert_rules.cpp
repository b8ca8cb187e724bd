#include "alerts/alert_rules.h"

#include <cmath>
#include <exception>
#include <limits>

namespace corvane {
namespace {

constexpr std::int64_t kMsPerHour = 3'600'000;

// Elapsed milliseconds on the 32-bit tick count; unsigned subtraction carries across its wrap.
std::int64_t elapsed(std::uint32_t now, std::uint32_t start) {
  return static_cast<std::uint32_t>(now - start);
}

std::uint64_t travel_threshold_of(int metres) {
  const double units = static_cast<double>(metres) * 6299200.0 / 100.0;
  if (units <= 0) return 0;
  return static_cast<std::uint64_t>(units);  // truncates; an int of metres always fits
}

}  // namespace

AlertSettings interpret_alert_settings(const StoredAlertSettings& s) {
  AlertSettings a;
  if (s.check_bpm != 0) a.heart_rate_limit = s.bpm;
  if (s.check_bt != 0) {
    a.click_limit = s.ab_count;
    a.click_window_hours = s.ab_time;
  }
  if (s.check_move != 0) {
    a.travel_limit_m = s.move_distance;
    a.travel_window_hours = s.move_time;
    a.travel_threshold = travel_threshold_of(s.move_distance);
  }
  if (s.check_msg2 != 0) a.rest_message = s.msg;
  if (s.check_hr_msg != 0) a.reminder_message = s.msg_hr;
  a.day_switches[0] = s.check_hr_everyday != 0;
  for (int d = 0; d < 7; ++d)
    a.day_switches[1 + d] = s.check_hr_day[d] != 0;
  for (int j = 0; j < kReminderSlots; ++j) {
    a.reminder_hours[j] = s.hr_hour[j];
    for (int k = 0; k < j; ++k)
      if (s.hr_hour[k] == s.hr_hour[j]) a.reminder_hours[j] = kNoReminderHour;
  }
  a.reminder_hour_count = s.hr_hour_count;
  a.heart_alerts_on = s.check_alert_hr_opt != 0;
  return a;
}

AlertRules::AlertRules(const Clock& clock, Scheduler& scheduler, Notifier& notifier)
    : clock_(clock), scheduler_(scheduler), notifier_(notifier) {}

void AlertRules::load_alert_settings(const AlertSettings& settings) {
  settings_ = settings;
  reminder_shown_.fill(false);
}

void AlertRules::load_alert_settings(const std::filesystem::path& data_folder) {
  load_alert_settings(interpret_alert_settings(load_alert_settings_file(data_folder)));
}

void AlertRules::start() {
  scheduler_.start_timer(TimerId::Reminder, kReminderTickMs);
}

void AlertRules::arm_rest_alert() {
  scheduler_.stop_timer(TimerId::RestAlert);
  scheduler_.start_timer(TimerId::RestAlert, kRestAlertDelayMs);
}

void AlertRules::on_click(ButtonKind) {
  const std::uint32_t now = clock_.tick_ms();
  const std::int64_t window = static_cast<std::int64_t>(settings_.click_window_hours) * kMsPerHour;
  ++click_count_;
  if (click_window_start_ == 0) click_window_start_ = now;
  if (static_cast<std::int64_t>(click_count_) > settings_.click_limit) {
    if (elapsed(now, click_window_start_) < window && !box_open()) arm_rest_alert();
    click_window_start_ = now;
    click_count_ = 0;
  }
  if (window < elapsed(now, click_window_start_)) {
    click_window_start_ = now;
    click_count_ = 0;
  }
}

void AlertRules::on_travel(double units) {
  if (!std::isfinite(units) || units < 0) return;  // a length is never negative; ignore garbage
  const std::uint32_t now = clock_.tick_ms();
  const std::int64_t window = static_cast<std::int64_t>(settings_.travel_window_hours) * kMsPerHour;
  const double sum = static_cast<double>(travel_total_) + units;
  travel_total_ = sum >= 18446744073709551615.0 ? std::numeric_limits<std::uint64_t>::max()
                                                : static_cast<std::uint64_t>(sum);
  if (travel_window_start_ == 0) travel_window_start_ = now;
  if (settings_.travel_limit_m != 0 && travel_total_ > settings_.travel_threshold) {
    if (elapsed(now, travel_window_start_) < window && !box_open()) arm_rest_alert();
    travel_window_start_ = now;
    travel_total_ = 0;
  }
  if (window < elapsed(now, travel_window_start_)) {
    travel_window_start_ = now;
    travel_total_ = 0;
  }
}

void AlertRules::show_box(bool& showing, const std::string& text) {
  showing = true;
  try {
    notifier_.show_message(text, [&showing] { showing = false; });
  } catch (...) {
    // No box came up, so none will close: a flag left set would drop every later alert for good.
    showing = false;
    throw;
  }
}

void AlertRules::on_rest_alert_timer() {
  scheduler_.stop_timer(TimerId::RestAlert);
  if (box_open()) return;
  show_box(rest_alert_showing_, settings_.rest_message);
}

void AlertRules::show_reminder() {
  show_box(hr_alert_showing_, settings_.reminder_message);
}

void AlertRules::on_reminder_tick() {
  try {
    reminder_tick();
  } catch (...) {
    notifier_.show_message(kReminderErrorText);
  }
}

void AlertRules::reminder_tick() {
  const LocalDateTime now = clock_.local_now();
  if (!settings_.heart_alerts_on) return;
  if (now.day != last_day_) {
    reminder_shown_.fill(false);
    last_day_ = now.day;
  }
  const bool today_on = settings_.day_switches[0] ||
                        (now.weekday >= 0 && now.weekday < 7 && settings_.day_switches[1 + now.weekday]);
  if (!today_on) return;

  if (settings_.reminder_hour_count != 0) {
    // A count beyond the twelve slots uses them all; a negative count uses none.
    const int slots =
        settings_.reminder_hour_count < kReminderSlots ? settings_.reminder_hour_count : kReminderSlots;
    for (int j = 0; j < slots; ++j) {
      const int hour = settings_.reminder_hours[j];
      if (hour == kNoReminderHour) continue;
      if (now.hour == hour) {
        if (!box_open() && !reminder_shown_[j]) show_reminder();
        reminder_shown_[j] = true;
      } else {
        reminder_shown_[j] = false;
      }
    }
    return;
  }
  if (now.hour != last_hour_) {
    if (last_hour_ != -1) {
      if (!box_open() && !reminder_shown_[now.hour]) show_reminder();
      reminder_shown_[now.hour] = true;
    }
    last_hour_ = now.hour;
  }
}

}  // namespace corvane
