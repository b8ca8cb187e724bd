#include "engine/engine.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine_fixture.h"
#include "platform/atomic_file.h"

namespace corvane::testing {
namespace {

using namespace button_flags;
constexpr int kLeft = 0, kRight = 1, kFifth = 4;

// --- start-up ---

class EngineStartUp : public EngineTest {};

TEST_F(EngineStartUp, todays_file_exists_counting_continues_from_it) {
  DailyActivity before;
  before.clicks[kLeft][9] = 7;
  before.move_counts[9] = 1000;
  ASSERT_TRUE(write_file_atomically(folder / "20261208.txt", serialize_day(before)));

  start_at(local(2026, 12, 8, 10, 0));
  EXPECT_EQ(engine->live_activity().loaded, 1u);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][9], 7u);
  click(kLeftDown, kLeftUp);
  ASSERT_TRUE(engine->shutdown());

  const auto saved = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->clicks[kLeft][9], 7u);
  EXPECT_EQ(saved->clicks[kLeft][10], 1u);
  EXPECT_EQ(saved->move_counts[9], 1000u);
}

TEST_F(EngineStartUp, no_file_yet_starts_at_zero_not_loaded) {
  start_at(local(2026, 12, 8, 10, 0));
  EXPECT_EQ(engine->live_activity(), DailyActivity{});
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(EngineStartUp, damaged_file_says_load_error_once) {
  ASSERT_TRUE(write_file_atomically(folder / "20261208.txt", "{\"log_ver\":1,\"click_h0"));
  start_at(local(2026, 12, 8, 10, 0));
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"load error"});
}

TEST_F(EngineStartUp, missing_data_folder_is_created) {
  const auto nested = folder / "a/b";
  clock = FakeClock(local(2026, 12, 8, 10, 0));
  Engine e(EngineConfig{nested, 500}, clock, time, notifier);
  e.start();
  EXPECT_TRUE(std::filesystem::is_directory(nested));
}

TEST_F(EngineStartUp, drain_timer_runs_every_800_ms) {
  start_at(local(2026, 12, 8, 10, 0));
  EXPECT_EQ(time.period_ms(TimerId::StatusDrain), 800u);
}

TEST_F(EngineStartUp, reports_before_start_are_ignored) {
  make_engine(local(2026, 12, 8, 10, 0));
  report(kLeftDown);
  EXPECT_EQ(engine->queued_events(), 0u);
}

// --- counting through the engine ---

class EngineCounting : public EngineTest {
 protected:
  void SetUp() override { start_at(local(2026, 12, 8, 10, 0)); }
};

TEST_F(EngineCounting, second_mouse_counts_nothing_and_saves_nothing) {
  at(local(2026, 12, 8, 10, 5));  // a new minute: a sensor-mouse report would save now
  report(kLeftDown, 30, 40, 1, 1, kOtherMouse);
  report(kLeftUp, 0, 0, 1, 1, kOtherMouse);
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(engine->live_activity(), DailyActivity{});
  EXPECT_FALSE(day_on_disk(2026, 12, 8));
}

TEST_F(EngineCounting, clicks_wait_for_the_drain_tick) {
  click(kRightDown, kRightUp);
  EXPECT_EQ(engine->live_activity().clicks[kRight][10], 0u);
  EXPECT_EQ(engine->queued_events(), 2u);
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(engine->live_activity().clicks[kRight][10], 1u);
  EXPECT_EQ(engine->queued_events(), 0u);
}

TEST_F(EngineCounting, double_click_through_the_decoder_uses_the_injected_time) {
  clock.advance_ms(2000);
  click(kFifthDown, kFifthUp);
  clock.advance_ms(450);  // within 500 ms of the release
  click(kFifthDown, kFifthUp);
  clock.advance_ms(2000);
  click(kFifthDown, kFifthUp);
  clock.advance_ms(500);  // not within
  click(kFifthDown, kFifthUp);
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(engine->live_activity().clicks[kFifth][10], 4u);
  EXPECT_EQ(engine->live_activity().double_clicks[kFifth][10], 1u);
}

TEST_F(EngineCounting, absolute_motion_adds_no_distance) {
  MouseReport r;
  r.device_name = kSensorMouse;
  r.absolute = true;
  r.dx = 30000;
  r.dy = 30000;
  engine->on_mouse_report(r);
  move(3, 4);
  EXPECT_EQ(engine->live_activity().move_counts[10], 5u);
}

TEST_F(EngineCounting, events_queued_before_the_hour_ends_count_in_that_hour) {
  at(local(2026, 12, 8, 10, 59, 59, 900));
  click(kLeftDown, kLeftUp);  // the drain tick comes after 11:00
  at(local(2026, 12, 8, 11, 0, 0, 300));
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][10], 1u);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][11], 0u);
}

// --- the minute roll-over and its save ---

class EngineRollOver : public EngineTest {
 protected:
  void SetUp() override { start_at(local(2026, 12, 8, 10, 15, 10)); }
};

TEST_F(EngineRollOver, reports_within_the_start_minute_save_nothing) {
  move(3, 4);
  at(local(2026, 12, 8, 10, 15, 59));
  move(3, 4);
  EXPECT_FALSE(day_on_disk(2026, 12, 8));
}

TEST_F(EngineRollOver, first_report_of_a_new_minute_saves_the_counts_before_it) {
  click(kLeftDown, kLeftUp);  // still queued: the roll-over counts it first
  move(3, 4);
  at(local(2026, 12, 8, 10, 16, 1));
  move(6, 8);  // its own travel comes after the snapshot
  const auto saved = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->clicks[kLeft][10], 1u);
  EXPECT_EQ(saved->move_counts[10], 5u);
  EXPECT_EQ(engine->live_activity().move_counts[10], 15u);
}

TEST_F(EngineRollOver, same_minute_number_an_hour_later_still_saves) {
  move(3, 4);
  at(local(2026, 12, 8, 11, 15, 20));
  move(3, 4);
  const auto saved = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->move_counts[10], 5u);
}

TEST_F(EngineRollOver, same_minute_number_next_day_closes_the_day_and_starts_at_zero) {
  at(local(2026, 12, 8, 23, 15, 0));
  move(3, 4);  // a new minute: saves the morning, counts into hour 23
  at(local(2026, 12, 9, 0, 15, 0));
  click(kLeftDown, kLeftUp);
  engine->on_timer(TimerId::StatusDrain);

  const auto yesterday = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(yesterday);
  EXPECT_EQ(yesterday->move_counts[23], 5u);
  EXPECT_EQ(engine->live_date(), (LocalDate{2026, 12, 9}));
  DailyActivity expected;
  expected.clicks[kLeft][0] = 1;
  EXPECT_EQ(engine->live_activity(), expected);
}

TEST_F(EngineRollOver, same_day_of_month_a_month_later_is_a_new_day) {
  move(3, 4);
  at(local(2027, 1, 8, 10, 15, 30));  // same day number, same minute number
  move(6, 8);
  const auto old_day = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(old_day);
  EXPECT_EQ(old_day->move_counts[10], 5u);
  EXPECT_EQ(engine->live_date(), (LocalDate{2027, 1, 8}));
  EXPECT_EQ(engine->live_activity().move_counts[10], 10u);
  ASSERT_TRUE(engine->shutdown());
  EXPECT_EQ(day_on_disk(2027, 1, 8)->move_counts[10], 10u);
  EXPECT_EQ(day_on_disk(2026, 12, 8)->move_counts[10], 5u);
}

TEST_F(EngineRollOver, click_still_queued_at_midnight_goes_into_yesterdays_file) {
  at(local(2026, 12, 8, 23, 59, 59, 900));
  click(kLeftDown, kLeftUp);
  at(local(2026, 12, 9, 0, 0, 0, 100));
  move(3, 4);
  const auto yesterday = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(yesterday);
  EXPECT_EQ(yesterday->clicks[kLeft][23], 1u);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][0], 0u);
}

TEST_F(EngineRollOver, drain_tick_after_midnight_before_any_report_counts_in_the_last_hour_of_the_old_day) {
  at(local(2026, 12, 8, 23, 59, 59, 900));
  click(kLeftDown, kLeftUp);
  at(local(2026, 12, 9, 0, 0, 0, 400));
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][23], 1u);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][0], 0u);
}

TEST_F(EngineRollOver, save_still_running_at_midnight_the_closing_save_is_not_skipped) {
  // Each round starts the 23:59 save on its thread and sends the first report of the next day right
  // away, mostly while that save still runs. The finished day must reach its file in every round.
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    const int day = 1 + round;
    start_at(local(2027, 3, day, 23, 58, 30));
    at(local(2027, 3, day, 23, 59, 0));
    move(3, 4);  // starts the 23:59 save of an almost empty day
    clock.advance_ms(10);
    move(6, 8);  // the day's last counts: 15 in hour 23
    at(local(2027, 3, day + 1, 0, 0, 0));
    move(1, 0);
    const auto closed = day_on_disk(2027, 3, day);
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->move_counts[23], 15u);
    static_cast<void>(engine->shutdown());
    engine.reset();
  }
}

TEST_F(EngineRollOver, new_day_that_already_has_a_file_goes_on_from_its_counts) {
  DailyActivity earlier;
  earlier.clicks[kLeft][0] = 40;  // say, counted before the clock was set back across midnight
  ASSERT_TRUE(write_file_atomically(folder / "20261209.txt", serialize_day(earlier)));
  at(local(2026, 12, 9, 0, 15, 0));
  click(kLeftDown, kLeftUp);
  ASSERT_TRUE(engine->shutdown());
  const auto saved = day_on_disk(2026, 12, 9);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->clicks[kLeft][0], 41u);
}

TEST_F(EngineRollOver, clock_set_back_to_an_earlier_day_starts_that_day_fresh) {
  move(3, 4);
  clock.set_wall(local(2026, 12, 7, 9, 0, 0));
  move(6, 8);
  EXPECT_EQ(day_on_disk(2026, 12, 8)->move_counts[10], 5u);
  EXPECT_EQ(engine->live_date(), (LocalDate{2026, 12, 7}));
  EXPECT_EQ(engine->live_activity().move_counts[9], 10u);
}

// --- what the engine announces ---

// Records what a listener hears.
struct HeardDays final : EngineListener {
  std::vector<std::pair<LocalDate, LocalDate>> days;
  int counter_changes = 0;
  void on_day_started(const LocalDate& finished, const LocalDate& started) override {
    days.emplace_back(finished, started);
  }
  void on_counters_changed() override { ++counter_changes; }
};

class EngineAnnouncements : public EngineTest {
 protected:
  void SetUp() override {
    start_at(local(2026, 12, 8, 23, 58, 0));
    engine->listeners().add(first);
    engine->listeners().add(second);
  }
  HeardDays first;
  HeardDays second;
};

TEST_F(EngineAnnouncements, every_listener_hears_the_new_day_with_the_finished_one) {
  at(local(2026, 12, 9, 0, 0, 1));
  move(1, 0);
  const std::vector<std::pair<LocalDate, LocalDate>> expected{{{2026, 12, 8}, {2026, 12, 9}}};
  EXPECT_EQ(first.days, expected);
  EXPECT_EQ(second.days, expected);  // a second listener does not replace the first
  EXPECT_GT(second.counter_changes, 0);
}

TEST_F(EngineAnnouncements, new_minute_of_the_same_day_starts_no_day) {
  at(local(2026, 12, 8, 23, 59, 30));
  move(1, 0);
  EXPECT_TRUE(day_on_disk(2026, 12, 8));  // the minute did roll over
  EXPECT_TRUE(first.days.empty());
}

TEST_F(EngineAnnouncements, a_listener_that_left_hears_nothing_more) {
  engine->listeners().remove(first);
  at(local(2026, 12, 9, 0, 0, 1));
  move(1, 0);
  EXPECT_TRUE(first.days.empty());
  EXPECT_EQ(first.counter_changes, 0);
  EXPECT_EQ(second.days.size(), 1u);
}

// --- the exit path ---

class EngineExit : public EngineTest {
 protected:
  void SetUp() override { start_at(local(2026, 12, 8, 10, 0)); }
};

TEST_F(EngineExit, clicks_of_the_last_drain_period_are_saved) {
  click(kLeftDown, kLeftUp);
  click(kRightDown, kRightUp);
  ASSERT_TRUE(engine->shutdown());
  const auto saved = day_on_disk(2026, 12, 8);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->clicks[kLeft][10], 1u);
  EXPECT_EQ(saved->clicks[kRight][10], 1u);
}

TEST_F(EngineExit, save_running_at_exit_is_followed_by_the_final_counts) {
  at(local(2026, 12, 8, 10, 1));
  move(3, 4);  // starts a periodic save
  move(6, 8);
  ASSERT_TRUE(engine->shutdown());
  EXPECT_EQ(day_on_disk(2026, 12, 8)->move_counts[10], 15u);
}

TEST_F(EngineExit, after_exit_reports_and_timers_change_nothing_and_a_second_exit_does_not_save) {
  ASSERT_TRUE(engine->shutdown());
  EXPECT_FALSE(time.running(TimerId::StatusDrain));
  std::filesystem::remove(folder / "20261208.txt");
  click(kLeftDown, kLeftUp);
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(engine->live_activity().clicks[kLeft][10], 0u);
  EXPECT_TRUE(engine->shutdown());
  EXPECT_FALSE(day_on_disk(2026, 12, 8));
}

TEST_F(EngineExit, unwritable_folder_reports_the_failure) {
  std::filesystem::remove_all(folder.path());
  const Result<void> result = engine->shutdown();
  EXPECT_FALSE(result);
  EXPECT_FALSE(result.error().message.empty());
}

TEST_F(EngineExit, live_record_of_yesterday_is_saved_under_yesterday) {
  at(local(2026, 12, 8, 23, 59, 50));
  move(3, 4);
  at(local(2026, 12, 9, 0, 0, 30));  // no report since midnight
  ASSERT_TRUE(engine->shutdown());
  EXPECT_EQ(day_on_disk(2026, 12, 8)->move_counts[23], 5u);
  EXPECT_FALSE(day_on_disk(2026, 12, 9));
}

// --- sensor reports and hosted parts ---

struct RecordingSensor final : SensorListener {
  void take_sample_block(std::span<const std::uint8_t, 12> block) override {
    blocks.emplace_back(block.begin(), block.end());
  }
  void show_heart_page() override { ++pages; }
  std::vector<std::vector<std::uint8_t>> blocks;
  int pages = 0;
};

struct RecordingComponent final : EngineComponent {
  explicit RecordingComponent(std::vector<std::string>& log, TimerId mine) : log(log), mine(mine) {}
  void on_start() override { log.push_back("start"); }
  bool on_timer(TimerId id) override {
    if (id != mine) return false;
    log.push_back("timer");
    return true;
  }
  void on_exit() override { log.push_back("exit"); }
  std::vector<std::string>& log;
  TimerId mine;
};

class EngineHosting : public EngineTest {
 protected:
  void SetUp() override {
    make_engine(local(2026, 12, 8, 10, 0));
    engine->add_sensor_listener(sensor);
  }
  HidReport hid(std::vector<std::uint8_t> bytes) { return {"", std::move(bytes)}; }
  RecordingSensor sensor;
  std::vector<std::string> log;
};

TEST_F(EngineHosting, sample_blocks_of_both_layouts_reach_the_listener_with_their_bytes) {
  engine->start();
  std::vector<std::uint8_t> r17(17, 0);
  r17[1] = r17[2] = 8;
  r17[3] = 1;
  for (int i = 4; i < 15; ++i)
    r17[i] = static_cast<std::uint8_t>(i);
  engine->on_hid_report(hid(r17));
  std::vector<std::uint8_t> r16(16, 0);
  r16[0] = 1;
  r16[1] = 0x0D;
  r16[2] = 0xAA;
  r16[13] = 0xBB;
  engine->on_hid_report(hid(r16));

  ASSERT_EQ(sensor.blocks.size(), 2u);
  EXPECT_EQ(sensor.blocks[0], std::vector<std::uint8_t>(r17.begin() + 3, r17.begin() + 15));
  EXPECT_EQ(sensor.blocks[1].front(), 0xAA);
  EXPECT_EQ(sensor.blocks[1].back(), 0xBB);
}

TEST_F(EngineHosting, heart_page_signal_reaches_the_listener_foreign_reports_do_not) {
  engine->start();
  std::vector<std::uint8_t> page(16, 0);
  page[0] = 1;
  page[1] = 0x0E;
  engine->on_hid_report(hid(page));
  std::vector<std::uint8_t> other(16, 0);
  other[0] = 2;
  other[1] = 0x0D;
  engine->on_hid_report(hid(other));
  EXPECT_EQ(sensor.pages, 1);
  EXPECT_TRUE(sensor.blocks.empty());
}

TEST_F(EngineHosting, components_start_after_the_load_get_their_timers_and_exit_before_the_final_save) {
  engine->add_component(std::make_unique<RecordingComponent>(log, TimerId::Reminder));
  engine->start();
  engine->on_timer(TimerId::Reminder);
  engine->on_timer(TimerId::StatusDrain);  // the engine's own: not forwarded
  engine->on_timer(TimerId::Upload);       // nobody's
  click(kLeftDown, kLeftUp);
  static_cast<void>(engine->shutdown());  // only the order of the calls matters here
  EXPECT_EQ(log, (std::vector<std::string>{"start", "timer", "exit"}));
}

TEST_F(EngineHosting, activity_listener_hears_clicks_at_the_drain_and_travel_at_once) {
  struct Listener final : ActivityListener {
    void on_click(ButtonKind) override { ++clicks; }
    void on_travel(double units) override { travel += units; }
    int clicks = 0;
    double travel = 0;
  } listener;
  engine->add_activity_listener(listener);
  engine->start();
  click(kLeftDown, kLeftUp);
  move(3, 4);
  EXPECT_EQ(listener.clicks, 0);
  EXPECT_DOUBLE_EQ(listener.travel, 5.0);
  engine->on_timer(TimerId::StatusDrain);
  EXPECT_EQ(listener.clicks, 1);
}

}  // namespace
}  // namespace corvane::testing
