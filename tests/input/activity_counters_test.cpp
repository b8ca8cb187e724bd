#include "input/activity_counters.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

constexpr std::uint32_t kT = 500;
constexpr int kLeftKind = 0, kRightKind = 1, kMiddleKind = 2, kFourthKind = 3, kFifthKind = 4;

// Builds the events of a button sequence as the decoder would: each change carries the time since the
// previous change of any button.
class Events {
 public:
  Events& press(std::uint8_t bit, int after_ms, int x = 100, int y = 100) {
    return change(bit, true, after_ms, x, y);
  }
  Events& release(std::uint8_t bit, int after_ms, int x = 100, int y = 100) {
    return change(bit, false, after_ms, x, y);
  }
  // press then release 50 ms later
  Events& click(std::uint8_t bit, int after_ms, int x = 100, int y = 100) {
    return press(bit, after_ms, x, y).release(bit, 50, x, y);
  }
  const std::vector<ButtonEvent>& all() const { return events_; }

 private:
  Events& change(std::uint8_t bit, bool down, int after_ms, int x, int y) {
    ButtonEvent e;
    e.x = x;
    e.y = y;
    const std::uint8_t next = down ? (state_ | bit) : (state_ & ~bit);
    e.changed = static_cast<std::uint8_t>(next ^ state_);
    e.state = next;
    e.ms_since_previous = after_ms;
    state_ = next;
    events_.push_back(e);
    return *this;
  }
  std::uint8_t state_ = 0;
  std::vector<ButtonEvent> events_;
};

struct RecordingListener final : ActivityListener {
  void on_click(ButtonKind kind) override { clicks.push_back(static_cast<int>(kind)); }
  void on_travel(double units) override { travels.push_back(units); }
  std::vector<int> clicks;
  std::vector<double> travels;
};

class DrainTest : public ::testing::Test {
 protected:
  DrainTest() { counters.add_listener(listener); }
  ActivityCounters counters{kT};
  RecordingListener listener;
  const DailyActivity& r() const { return counters.record(); }
};

TEST(DoubleClickRuns, quick_presses_at_one_spot_count_each_press_and_one_double_per_pair) {
  // The press after a double starts no new one; the press after that completes the next.
  for (const auto& [presses, doubles] : {std::pair{2u, 1u}, {3u, 1u}, {4u, 2u}}) {
    SCOPED_TRACE(presses);
    Events e;
    e.click(button_state::kLeft, 2000);
    for (unsigned i = 1; i < presses; ++i)
      e.click(button_state::kLeft, 100);
    ActivityCounters counters{kT};
    counters.count_events(e.all(), 10);
    EXPECT_EQ(counters.record().clicks[kLeftKind][10], presses);
    EXPECT_EQ(counters.record().double_clicks[kLeftKind][10], doubles);
  }
}

TEST_F(DrainTest, left_then_right_at_one_spot_within_t_counts_no_double) {
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kRight, 100).all(), 10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 1u);
  EXPECT_EQ(r().clicks[kRightKind][10], 1u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 0u);
  EXPECT_EQ(r().double_clicks[kRightKind][10], 0u);
}

TEST_F(DrainTest, second_press_elsewhere_is_no_double) {
  counters.count_events(
      Events().click(button_state::kLeft, 2000, 100, 100).click(button_state::kLeft, 100, 101, 100).all(),
      10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 2u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 0u);
}

TEST_F(DrainTest, second_press_at_t_or_later_is_no_double) {
  // The release came 50 ms after the first press; the second press comes exactly T after the release.
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kLeft, kT).all(), 10);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 0u);
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kLeft, kT - 1).all(),
                        10);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 1u);
}

TEST_F(DrainTest, double_click_across_two_drains_still_counts) {
  // The rule's state lives between drains: the second press may come in the next 800 ms batch.
  counters.count_events(Events().click(button_state::kRight, 2000).all(), 10);
  counters.count_events(Events().click(button_state::kRight, 100).all(), 10);
  EXPECT_EQ(r().double_clicks[kRightKind][10], 1u);
}

TEST_F(DrainTest, each_kind_has_its_own_bucket_and_hour) {
  Events e;
  e.click(button_state::kMiddle, 2000).click(button_state::kFourth, 2000).click(button_state::kFifth, 2000);
  counters.count_events(e.all(), 23);
  EXPECT_EQ(r().clicks[kMiddleKind][23], 1u);
  EXPECT_EQ(r().clicks[kFourthKind][23], 1u);
  EXPECT_EQ(r().clicks[kFifthKind][23], 1u);
  EXPECT_EQ(r().clicks[kLeftKind][23], 0u);
}

TEST_F(DrainTest, fifth_is_kind_4_and_fourth_is_kind_3) {
  counters.count_events(Events().click(button_state::kFifth, 2000).all(), 0);
  EXPECT_EQ(r().clicks[static_cast<int>(ButtonKind::Fifth)][0], 1u);
  counters.count_events(Events().click(button_state::kFourth, 2000).all(), 0);
  EXPECT_EQ(r().clicks[static_cast<int>(ButtonKind::Fourth)][0], 1u);
}

TEST_F(DrainTest, invalid_events_are_skipped) {
  std::vector<ButtonEvent> events = Events().click(button_state::kLeft, 2000).all();
  events[0].valid = 0;
  counters.count_events(events, 10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 0u);
}

TEST_F(DrainTest, every_press_calls_the_click_hook_once_releases_never) {
  counters.count_events(Events()
                            .click(button_state::kLeft, 2000)
                            .click(button_state::kLeft, 100)
                            .click(button_state::kRight, 100)
                            .all(),
                        10);
  EXPECT_EQ(listener.clicks, (std::vector<int>{kLeftKind, kLeftKind, kRightKind}));
}

TEST(EventKind, first_matching_changed_bit_wins) {
  using namespace button_state;
  EXPECT_EQ(event_kind(kLeft | kRight), 1);  // right before left
  EXPECT_EQ(event_kind(kMiddle | kFourth), 2);
  EXPECT_EQ(event_kind(kFourth | kFifth), 3);
  EXPECT_EQ(event_kind(kFifth), 4);
  EXPECT_EQ(event_kind(kLeft), 0);
  EXPECT_EQ(event_kind(0), 0);
}

class TravelTest : public DrainTest {};

TEST_F(TravelTest, fractions_are_dropped_report_by_report) {
  counters.add_travel(1.9, 5);
  counters.add_travel(1.9, 5);
  EXPECT_EQ(r().move_counts[5], 2u);  // 1.9 -> 1, 1 + 1.9 -> 2, not 3
}

TEST_F(TravelTest, each_report_tells_the_travel_hook) {
  counters.add_travel(5.0, 5);
  counters.add_travel(1.5, 6);
  EXPECT_EQ(listener.travels, (std::vector<double>{5.0, 1.5}));
  EXPECT_EQ(r().move_counts[6], 1u);
}

TEST_F(TravelTest, bucket_at_its_top_stays_there_instead_of_wrapping) {
  DailyActivity full;
  full.move_counts[3] = 0xFFFFFFF0u;
  counters.set_record(full);
  counters.add_travel(1000.0, 3);
  EXPECT_EQ(r().move_counts[3], 0xFFFFFFFFu);
}

TEST_F(TravelTest, reset_day_zeroes_everything_including_loaded) {
  DailyActivity loaded;
  loaded.loaded = 1;
  loaded.clicks[0][0] = 4;
  counters.set_record(loaded);
  counters.reset_day();
  EXPECT_EQ(r(), DailyActivity{});
}

}  // namespace
}  // namespace corvane
