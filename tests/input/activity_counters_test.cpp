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
  const std::vector<EventDef>& all() const { return events_; }

 private:
  Events& change(std::uint8_t bit, bool down, int after_ms, int x, int y) {
    EventDef e;
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
  std::vector<EventDef> events_;
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

TEST_F(DrainTest, TwoPressesAtOneSpotWithinT_CountTwoPressesOneDouble) {
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kLeft, 100).all(), 10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 2u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 1u);
}

TEST_F(DrainTest, TripleClick_CountsThreePressesOneDouble) {
  counters.count_events(Events()
                            .click(button_state::kLeft, 2000)
                            .click(button_state::kLeft, 100)
                            .click(button_state::kLeft, 100)
                            .all(),
                        10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 3u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 1u);
}

TEST_F(DrainTest, QuadrupleClick_CountsTwoDoubles) {
  Events e;
  e.click(button_state::kLeft, 2000)
      .click(button_state::kLeft, 100)
      .click(button_state::kLeft, 100)
      .click(button_state::kLeft, 100);
  counters.count_events(e.all(), 10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 4u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 2u);
}

TEST_F(DrainTest, LeftThenRightAtOneSpotWithinT_CountsNoDouble) {
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kRight, 100).all(), 10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 1u);
  EXPECT_EQ(r().clicks[kRightKind][10], 1u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 0u);
  EXPECT_EQ(r().double_clicks[kRightKind][10], 0u);
}

TEST_F(DrainTest, SecondPressElsewhere_IsNoDouble) {
  counters.count_events(
      Events().click(button_state::kLeft, 2000, 100, 100).click(button_state::kLeft, 100, 101, 100).all(),
      10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 2u);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 0u);
}

TEST_F(DrainTest, SecondPressAtTOrLater_IsNoDouble) {
  // The release came 50 ms after the first press; the second press comes exactly T after the release.
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kLeft, kT).all(), 10);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 0u);
  counters.count_events(Events().click(button_state::kLeft, 2000).click(button_state::kLeft, kT - 1).all(),
                        10);
  EXPECT_EQ(r().double_clicks[kLeftKind][10], 1u);
}

TEST_F(DrainTest, DoubleClickAcrossTwoDrains_StillCounts) {
  // The rule's state lives between drains: the second press may come in the next 800 ms batch.
  counters.count_events(Events().click(button_state::kRight, 2000).all(), 10);
  counters.count_events(Events().click(button_state::kRight, 100).all(), 10);
  EXPECT_EQ(r().double_clicks[kRightKind][10], 1u);
}

TEST_F(DrainTest, EachKindHasItsOwnBucketAndHour) {
  Events e;
  e.click(button_state::kMiddle, 2000).click(button_state::kFourth, 2000).click(button_state::kFifth, 2000);
  counters.count_events(e.all(), 23);
  EXPECT_EQ(r().clicks[kMiddleKind][23], 1u);
  EXPECT_EQ(r().clicks[kFourthKind][23], 1u);
  EXPECT_EQ(r().clicks[kFifthKind][23], 1u);
  EXPECT_EQ(r().clicks[kLeftKind][23], 0u);
}

TEST_F(DrainTest, Fifth_IsKind4AndFourth_IsKind3) {
  counters.count_events(Events().click(button_state::kFifth, 2000).all(), 0);
  EXPECT_EQ(r().clicks[static_cast<int>(ButtonKind::Fifth)][0], 1u);
  counters.count_events(Events().click(button_state::kFourth, 2000).all(), 0);
  EXPECT_EQ(r().clicks[static_cast<int>(ButtonKind::Fourth)][0], 1u);
}

TEST_F(DrainTest, InvalidEvents_AreSkipped) {
  std::vector<EventDef> events = Events().click(button_state::kLeft, 2000).all();
  events[0].valid = 0;
  counters.count_events(events, 10);
  EXPECT_EQ(r().clicks[kLeftKind][10], 0u);
}

TEST_F(DrainTest, EveryPress_CallsTheClickHookOnceReleasesNever) {
  counters.count_events(Events()
                            .click(button_state::kLeft, 2000)
                            .click(button_state::kLeft, 100)
                            .click(button_state::kRight, 100)
                            .all(),
                        10);
  EXPECT_EQ(listener.clicks, (std::vector<int>{kLeftKind, kLeftKind, kRightKind}));
}

TEST(EventKind, FirstMatchingChangedBitWins) {
  using namespace button_state;
  EXPECT_EQ(event_kind(kLeft | kRight), 1);  // right before left
  EXPECT_EQ(event_kind(kMiddle | kFourth), 2);
  EXPECT_EQ(event_kind(kFourth | kFifth), 3);
  EXPECT_EQ(event_kind(kFifth), 4);
  EXPECT_EQ(event_kind(kLeft), 0);
  EXPECT_EQ(event_kind(0), 0);
}

class TravelTest : public DrainTest {};

TEST_F(TravelTest, FractionsAreDroppedReportByReport) {
  counters.add_travel(1.9, 5);
  counters.add_travel(1.9, 5);
  EXPECT_EQ(r().move_counts[5], 2u);  // 1.9 -> 1, 1 + 1.9 -> 2, not 3
}

TEST_F(TravelTest, EachReport_TellsTheTravelHook) {
  counters.add_travel(5.0, 5);
  counters.add_travel(1.5, 6);
  EXPECT_EQ(listener.travels, (std::vector<double>{5.0, 1.5}));
  EXPECT_EQ(r().move_counts[6], 1u);
}

TEST_F(TravelTest, BucketAtItsTop_StaysThereInsteadOfWrapping) {
  DailyActivity full;
  full.move_counts[3] = 0xFFFFFFF0u;
  counters.set_record(full);
  counters.add_travel(1000.0, 3);
  EXPECT_EQ(r().move_counts[3], 0xFFFFFFFFu);
}

TEST_F(TravelTest, ResetDay_ZeroesEverythingIncludingLoaded) {
  DailyActivity loaded;
  loaded.loaded = 1;
  loaded.clicks[0][0] = 4;
  counters.set_record(loaded);
  counters.reset_day();
  EXPECT_EQ(r(), DailyActivity{});
}

}  // namespace
}  // namespace corvane
