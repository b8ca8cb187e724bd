#include "alerts/alert_rules.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/recording_notifier.h"
#include "support/temp_folder.h"
#include "support/virtual_time.h"

namespace corvane {
namespace {

using testing::FakeClock;
using testing::RecordingNotifier;
using testing::VirtualTime;

constexpr std::int64_t kHour = 3'600'000;

StoredAlertSettings click_settings(int limit, int hours) {
  StoredAlertSettings s;
  s.check_bt = 1;
  s.ab_count = limit;
  s.ab_time = hours;
  return s;
}

StoredAlertSettings travel_settings(int metres, int hours) {
  StoredAlertSettings s;
  s.check_move = 1;
  s.move_distance = metres;
  s.move_time = hours;
  return s;
}

TEST(InterpretAlertSettings, switched_off_rules_have_zero_limits) {
  StoredAlertSettings s;
  s.ab_count = 10;
  s.ab_time = 1;
  s.move_distance = 5;
  s.move_time = 1;
  s.bpm = 120;
  const AlertSettings a = interpret_alert_settings(s);
  EXPECT_EQ(a.click_limit, 0);
  EXPECT_EQ(a.click_window_hours, 0);
  EXPECT_EQ(a.travel_limit_m, 0);
  EXPECT_EQ(a.travel_threshold, 0u);
  EXPECT_EQ(a.heart_rate_limit, 0);
  s.check_bpm = 1;
  EXPECT_EQ(interpret_alert_settings(s).heart_rate_limit, 120);
}

TEST(InterpretAlertSettings, travel_threshold_is_in_mouse_units) {
  EXPECT_EQ(interpret_alert_settings(travel_settings(1, 1)).travel_threshold, 62992u);
  EXPECT_EQ(interpret_alert_settings(travel_settings(250, 1)).travel_threshold, 15748000u);
  EXPECT_EQ(interpret_alert_settings(travel_settings(-3, 1)).travel_threshold, 0u);
}

TEST(InterpretAlertSettings, messages_default_unless_the_user_text_is_chosen) {
  StoredAlertSettings s;
  s.msg = "mine";
  s.msg_hr = "mine too";
  EXPECT_EQ(interpret_alert_settings(s).rest_message,
            "パソコンの操作時間が長くなっています。休憩しましょう。");
  EXPECT_EQ(interpret_alert_settings(s).reminder_message, "心拍測定時間です。心拍を測定して下さい。");
  s.check_msg2 = 1;
  s.check_hr_msg = 1;
  EXPECT_EQ(interpret_alert_settings(s).rest_message, "mine");
  EXPECT_EQ(interpret_alert_settings(s).reminder_message, "mine too");
}

TEST(InterpretAlertSettings, duplicate_reminder_hours_count_once) {
  StoredAlertSettings s;
  s.hr_hour = {9, 9, 12, 9, 12, 5, -1, -1, -1, -1, -1, -1};
  const AlertSettings a = interpret_alert_settings(s);
  const std::array<int, 12> expected{9, -1, 12, -1, -1, 5, -1, -1, -1, -1, -1, -1};
  EXPECT_EQ(a.reminder_hours, expected);
}

TEST(InterpretAlertSettings, day_switches) {
  StoredAlertSettings s;
  s.check_hr_everyday = 1;
  s.check_hr_day[6] = 1;
  const AlertSettings a = interpret_alert_settings(s);
  const std::array<bool, 8> expected{true, false, false, false, false, false, false, true};
  EXPECT_EQ(a.day_switches, expected);
}

TEST(HeartAlertSettingsView, answers_from_the_loaded_settings) {
  VirtualTime time;
  RecordingNotifier notifier;
  AlertRules rules(time.clock, time, notifier);
  StoredAlertSettings s;
  s.bpm = 110;
  s.msg = "rest now";
  s.check_msg2 = 1;
  s.check_alert_hr_opt = 1;
  rules.load_alert_settings(interpret_alert_settings(s));
  const HeartAlertSettings& heart = rules;
  EXPECT_EQ(heart.heart_rate_threshold(), 0);  // "check_bpm" off
  EXPECT_TRUE(heart.heart_rate_alert_on());
  EXPECT_EQ(heart.alert_text(), "rest now");
  s.check_bpm = 1;
  rules.load_alert_settings(interpret_alert_settings(s));
  EXPECT_EQ(heart.heart_rate_threshold(), 110);
}

class AlertRulesTest : public ::testing::Test {
 protected:
  AlertRulesTest() {
    time.on_timer = [this](TimerId id) {
      if (id == TimerId::RestAlert) rules.on_rest_alert_timer();
      if (id == TimerId::Reminder) rules.on_reminder_tick();
    };
  }
  void load(const StoredAlertSettings& s) { rules.load_alert_settings(interpret_alert_settings(s)); }
  void run_for(std::int64_t ms) { time.advance_ms(ms); }
  void clicks(int n, std::int64_t gap_ms = 10) {
    for (int i = 0; i < n; ++i) {
      rules.on_click(ButtonKind::Left);
      clock.advance_ms(gap_ms);
    }
  }

  VirtualTime time;  // Tuesday 2026-12-08 10:00:00
  FakeClock& clock = time.clock;
  RecordingNotifier notifier;
  AlertRules rules{clock, time, notifier};
};

TEST_F(AlertRulesTest, click_rule_off_never_fires) {
  load(StoredAlertSettings{});
  clicks(5000);
  run_for(1000);
  EXPECT_FALSE(time.running(TimerId::RestAlert));
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(AlertRulesTest, limit_clicks_inside_window_do_not_fire_the_next_one_fires_once) {
  load(click_settings(5, 1));
  clicks(5);
  EXPECT_FALSE(time.running(TimerId::RestAlert));
  clicks(1, 0);
  ASSERT_TRUE(time.running(TimerId::RestAlert));
  EXPECT_EQ(time.period_ms(TimerId::RestAlert), 100u);
  run_for(99);
  EXPECT_TRUE(notifier.messages.empty());
  run_for(1);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{kDefaultRestMessage});
  EXPECT_FALSE(time.running(TimerId::RestAlert));
  // The count restarted: the next five clicks do not fire again.
  clicks(5);
  run_for(1000);
  EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(AlertRulesTest, clicks_spread_beyond_the_window_never_fire) {
  load(click_settings(3, 1));
  for (int i = 0; i < 20; ++i) {
    clicks(3);
    clock.advance_ms(kHour + 1);
  }
  run_for(1000);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(AlertRulesTest, clicks_exceeding_the_limit_after_the_window_do_not_fire) {
  load(click_settings(3, 1));
  clicks(1);
  clock.advance_ms(kHour - 100);
  clicks(3, 50);  // the fourth click lands just past the hour
  run_for(1000);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(AlertRulesTest, rule_firing_while_a_box_is_open_is_dropped) {
  notifier.keep_open = true;
  load(click_settings(2, 1));
  clicks(3);
  run_for(100);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_TRUE(rules.rest_alert_showing());
  clicks(30);
  run_for(1000);
  EXPECT_EQ(notifier.messages.size(), 1u);
  notifier.close_all();
  EXPECT_FALSE(rules.rest_alert_showing());
  clicks(3);
  run_for(100);
  EXPECT_EQ(notifier.messages.size(), 2u);
}

TEST_F(AlertRulesTest, pending_trigger_is_dropped_when_a_box_opens_first) {
  notifier.keep_open = true;
  load(click_settings(2, 1));
  clicks(3);                    // arms the trigger
  rules.on_rest_alert_timer();  // shows the box
  clicks(3, 0);                 // box open: not armed
  EXPECT_FALSE(time.running(TimerId::RestAlert));
}

TEST_F(AlertRulesTest, travel_beyond_threshold_inside_window_fires_once) {
  load(travel_settings(1, 1));
  rules.on_travel(62000.0);
  rules.on_travel(992.0);  // exactly the threshold: not beyond
  run_for(200);
  EXPECT_TRUE(notifier.messages.empty());
  rules.on_travel(1.0);
  run_for(100);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{kDefaultRestMessage});
  rules.on_travel(1000.0);  // total restarted
  run_for(200);
  EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(AlertRulesTest, travel_fractions_are_truncated_into_the_total) {
  load(travel_settings(1, 1));
  for (int i = 0; i < 70000; ++i)
    rules.on_travel(0.9);  // each step truncates back to the same total
  run_for(200);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(AlertRulesTest, travel_rule_off_or_window_expired_never_fires) {
  load(StoredAlertSettings{});
  rules.on_travel(1e9);
  run_for(200);
  rules.on_travel(1);  // with the rule off the window is 0 hours: the total restarts
  load(travel_settings(1, 1));
  rules.on_travel(60000);
  clock.advance_ms(kHour + 1);
  rules.on_travel(10);  // window expired: total restarts from here
  rules.on_travel(5000);
  run_for(200);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(AlertRulesTest, tick_count_wrap_does_not_break_the_window) {
  clock.set_tick_base(0xFFFFFFFFu - 50);
  load(click_settings(2, 1));
  clicks(3, 40);  // crosses the wrap
  run_for(100);
  EXPECT_EQ(notifier.messages.size(), 1u);
}

class ReminderTest : public AlertRulesTest {
 protected:
  StoredAlertSettings hours(std::initializer_list<int> list) {
    StoredAlertSettings s;
    s.check_alert_hr_opt = 1;
    s.check_hr_everyday = 1;
    s.hr_hour_count = static_cast<int>(list.size());
    int j = 0;
    for (int h : list)
      s.hr_hour[j++] = h;
    return s;
  }
  int reminders() const {
    int n = 0;
    for (const auto& m : notifier.messages)
      n += m == kDefaultReminderMessage;
    return n;
  }
  void start_at(int hour, int minute) {
    clock.set_wall({2026, 12, 8, hour, minute, 0, 0, 2});
    rules.start();
  }
};

TEST_F(ReminderTest, tick_runs_every_two_seconds) {
  rules.start();
  EXPECT_TRUE(time.running(TimerId::Reminder));
  EXPECT_EQ(time.period_ms(TimerId::Reminder), 2000u);
}

TEST_F(ReminderTest, slot_shows_once_per_hour_and_rearms_after_the_hour) {
  load(hours({11}));
  start_at(10, 59);
  run_for(60'000);  // 11:00 comes
  EXPECT_EQ(reminders(), 1);
  run_for(59 * 60'000);  // the rest of hour 11
  EXPECT_EQ(reminders(), 1);
  run_for(23 * kHour + 2 * 60'000);  // 11:01 the next day
  EXPECT_EQ(reminders(), 2);
}

TEST_F(ReminderTest, slot_rearms_when_its_hour_has_passed_on_the_same_day) {
  load(hours({11}));
  start_at(11, 0);
  run_for(4000);
  EXPECT_EQ(reminders(), 1);
  // The clock is set back into hour 11 after an hour away (a clock change): it shows again.
  run_for(kHour);
  clock.set_wall({2026, 12, 8, 11, 30, 0, 0, 2});
  run_for(4000);
  EXPECT_EQ(reminders(), 2);
}

TEST_F(ReminderTest, duplicate_hours_show_once) {
  load(hours({11, 11, 11}));
  start_at(11, 0);
  run_for(10'000);
  EXPECT_EQ(reminders(), 1);
}

TEST_F(ReminderTest, several_hours_each_show_once) {
  load(hours({11, 13, 20}));
  start_at(10, 0);
  run_for(14 * kHour);
  EXPECT_EQ(reminders(), 3);
}

TEST_F(ReminderTest, only_the_first_count_slots_are_used) {
  StoredAlertSettings s = hours({11, 12});
  s.hr_hour_count = 1;
  load(s);
  start_at(10, 0);
  run_for(3 * kHour);
  EXPECT_EQ(reminders(), 1);
}

TEST_F(ReminderTest, disabled_or_wrong_weekday_shows_nothing) {
  StoredAlertSettings s = hours({11});
  s.check_alert_hr_opt = 0;
  load(s);
  start_at(10, 59);
  run_for(2 * kHour);
  EXPECT_EQ(reminders(), 0);
  s = hours({11});
  s.check_hr_everyday = 0;
  s.check_hr_day[1] = 1;  // Mondays; the fake clock's day is a Tuesday
  load(s);
  clock.set_wall({2026, 12, 8, 10, 59, 0, 0, 2});
  run_for(2 * kHour);
  EXPECT_EQ(reminders(), 0);
  s.check_hr_day[2] = 1;  // Tuesdays too
  load(s);
  clock.set_wall({2026, 12, 8, 10, 59, 0, 0, 2});
  run_for(2 * kHour);
  EXPECT_EQ(reminders(), 1);
}

TEST_F(ReminderTest, every_hour_mode_shows_at_each_change_of_hour_but_not_at_start) {
  StoredAlertSettings s = hours({});
  load(s);
  start_at(10, 30);
  run_for(10'000);
  EXPECT_EQ(reminders(), 0);
  run_for(kHour);  // 11:30
  EXPECT_EQ(reminders(), 1);
  run_for(2 * kHour);  // 13:30
  EXPECT_EQ(reminders(), 3);
}

TEST_F(ReminderTest, reminder_is_dropped_while_a_rest_box_is_open) {
  notifier.keep_open = true;
  StoredAlertSettings s = hours({11});
  s.check_bt = 1;
  s.ab_count = 1;
  s.ab_time = 1;
  load(s);
  start_at(10, 59);
  clicks(2, 0);
  run_for(100);
  ASSERT_TRUE(rules.rest_alert_showing());
  run_for(120'000);  // 11:01 while the rest box is open
  EXPECT_EQ(reminders(), 0);
  notifier.close_all();
  run_for(10'000);  // same hour, slot already marked
  EXPECT_EQ(reminders(), 0);
}

TEST_F(ReminderTest, rest_rule_is_silent_while_a_reminder_is_open) {
  notifier.keep_open = true;
  StoredAlertSettings s = hours({10});
  s.check_bt = 1;
  s.ab_count = 1;
  s.ab_time = 1;
  load(s);
  start_at(10, 0);
  run_for(2000);
  ASSERT_TRUE(rules.hr_alert_showing());
  clicks(5, 0);
  run_for(1000);
  EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(ReminderTest, reloading_settings_clears_the_shown_flags) {
  load(hours({11}));
  start_at(11, 0);
  run_for(2000);
  EXPECT_EQ(reminders(), 1);
  load(hours({11}));
  run_for(2000);
  EXPECT_EQ(reminders(), 2);
}

class ThrowingNotifier final : public Notifier {
 public:
  void show_message(const std::string& text, std::function<void()> on_closed) override {
    messages.push_back(text);
    if (text != kReminderErrorText && failures_left > 0) {
      --failures_left;
      throw std::runtime_error("no box");
    }
    if (on_closed) on_closed();
  }
  std::vector<std::string> messages;
  int failures_left = 1000;
};

TEST(ReminderFailure, exception_during_tick_is_reported_as_error_alert) {
  VirtualTime time({2026, 12, 8, 11, 0, 0, 0, 2});
  ThrowingNotifier notifier;
  AlertRules rules(time.clock, time, notifier);
  StoredAlertSettings s;
  s.check_alert_hr_opt = 1;
  s.check_hr_everyday = 1;
  s.hr_hour_count = 1;
  s.hr_hour[0] = 11;
  rules.load_alert_settings(interpret_alert_settings(s));
  EXPECT_NO_THROW(rules.on_reminder_tick());
  EXPECT_EQ(notifier.messages.back(), "error:alert");
}

TEST(ReminderFailure, box_that_could_not_be_shown_does_not_silence_later_alerts) {
  VirtualTime time({2026, 12, 8, 11, 0, 0, 0, 2});
  ThrowingNotifier notifier;
  notifier.failures_left = 1;
  AlertRules rules(time.clock, time, notifier);
  StoredAlertSettings s = click_settings(1, 1);
  s.check_alert_hr_opt = 1;
  s.check_hr_everyday = 1;
  s.hr_hour_count = 1;
  s.hr_hour[0] = 11;
  rules.load_alert_settings(interpret_alert_settings(s));
  rules.on_reminder_tick();  // the box fails
  EXPECT_FALSE(rules.hr_alert_showing());
  rules.on_reminder_tick();  // the slot was never shown: it comes again
  EXPECT_EQ(notifier.messages,
            (std::vector<std::string>{kDefaultReminderMessage, "error:alert", kDefaultReminderMessage}));
  notifier.failures_left = 1;
  rules.on_click(ButtonKind::Left);
  rules.on_click(ButtonKind::Left);
  EXPECT_ANY_THROW(rules.on_rest_alert_timer());
  EXPECT_FALSE(rules.rest_alert_showing());
  rules.on_click(ButtonKind::Left);
  rules.on_click(ButtonKind::Left);
  rules.on_rest_alert_timer();
  EXPECT_EQ(notifier.messages.back(), kDefaultRestMessage);
}

TEST(AlertRulesFromFile, loads_section_alert_of_the_data_folder) {
  testing::TempFolder folder;
  ASSERT_TRUE(write_file_atomically(folder / "set.ini", "[alert]\ncheck_bt=1\nab_count=4\nab_time=2\n"));
  VirtualTime time;
  RecordingNotifier notifier;
  AlertRules rules(time.clock, time, notifier);
  rules.load_alert_settings(folder.path());
  EXPECT_EQ(rules.settings().click_limit, 4);
  EXPECT_EQ(rules.settings().click_window_hours, 2);
}

}  // namespace
}  // namespace corvane
