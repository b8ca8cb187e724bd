#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "alerts/settings_file.h"
#include "base/clock.h"
#include "base/notifier.h"
#include "base/scheduler.h"
#include "base/user_texts.h"
#include "heart/heart_alert_settings.h"
#include "input/hooks.h"

namespace corvane {

inline constexpr const char* kDefaultRestMessage = user_text::kRestReminder;
inline constexpr const char* kDefaultReminderMessage = user_text::kMeasurementReminder;
inline constexpr const char* kReminderErrorText = user_text::kReminderError;
inline constexpr std::uint32_t kRestAlertDelayMs = 100;
inline constexpr std::uint32_t kReminderTickMs = 2000;

// The alert settings as the rules use them: switched-off rules read as zero limits.
struct AlertSettings {
  int heart_rate_limit = 0;  // applied by the measurement session; 0 when off
  int click_limit = 0;
  int click_window_hours = 0;
  int travel_limit_m = 0;
  int travel_window_hours = 0;
  std::uint64_t travel_threshold = 0;  // in mouse units: 62 992 per metre
  std::string rest_message = kDefaultRestMessage;
  std::string reminder_message = kDefaultReminderMessage;
  std::array<bool, 8> day_switches{};  // [0] every day, [1 + d] weekday d (0 Sunday)
  std::array<int, kReminderSlots> reminder_hours{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  int reminder_hour_count = 0;
  bool heart_alerts_on = false;  // "check_alert_hr_opt": measurement reminders and the heart-rate alert
};

// Interprets the stored keys: limits read only when their switch is on, a reminder hour equal to an
// earlier slot's becomes -1, the travel threshold in mouse units. A negative distance gives threshold 0
// (any travel exceeds it) rather than an undefined conversion.
AlertSettings interpret_alert_settings(const StoredAlertSettings& stored);

// The rest reminders (too many clicks or too much travel within a window) and the heart-rate measurement
// reminders. Runs on the engine's thread; the engine forwards timer RestAlert to on_rest_alert_timer() and
// timer Reminder to on_reminder_tick(). Boxes go through the notifier; at most one is open at a time and
// a rule that fires meanwhile is dropped. It also answers the heart side's questions about the
// heart-rate alert, from the same loaded settings.
class AlertRules final : public ActivityListener, public HeartAlertSettings {
 public:
  AlertRules(const Clock& clock, Scheduler& scheduler, Notifier& notifier);

  //! Takes new settings and clears the 24 reminder-shown flags.
  void load_alert_settings(const AlertSettings& settings);
  //! Reads section "Alert" of the data folder's "set.ini" and takes it.
  void load_alert_settings(const std::filesystem::path& data_folder);
  //! Starts the reminder tick (every 2000 ms).
  void start();

  void on_click(ButtonKind kind) override;
  void on_travel(double units) override;
  //! Timer RestAlert fired: shows the rest message unless a box is open.
  void on_rest_alert_timer();
  //! Timer Reminder fired: shows the measurement reminder when its hour has come.
  void on_reminder_tick();

  int heart_rate_threshold() const override { return settings_.heart_rate_limit; }
  bool heart_rate_alert_on() const override { return settings_.heart_alerts_on; }
  std::string alert_text() const override { return settings_.rest_message; }

  const AlertSettings& settings() const { return settings_; }
  bool rest_alert_showing() const { return rest_alert_showing_; }
  bool hr_alert_showing() const { return hr_alert_showing_; }

 private:
  bool box_open() const { return rest_alert_showing_ || hr_alert_showing_; }
  void arm_rest_alert();
  // Sets `showing`, shows `text` and clears `showing` when the box closes (or when it cannot be shown).
  void show_box(bool& showing, const std::string& text);
  void reminder_tick();
  void show_reminder();

  const Clock& clock_;
  Scheduler& scheduler_;
  Notifier& notifier_;
  AlertSettings settings_;

  std::uint32_t click_count_ = 0;
  std::uint32_t click_window_start_ = 0;
  std::uint64_t travel_total_ = 0;
  std::uint32_t travel_window_start_ = 0;
  bool rest_alert_showing_ = false;
  bool hr_alert_showing_ = false;
  std::array<bool, 24> reminder_shown_{};
  int last_day_ = -1;
  int last_hour_ = -1;  // -1 until the first tick: starting the program is not a change of hour
};

}  // namespace corvane
