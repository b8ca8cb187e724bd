#include "replay/timer_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "replay/replay_clock.h"

namespace corvane {
namespace {

class TimerQueueTest : public ::testing::Test {
 protected:
  // Pops everything due up to t, moving the clock like a virtual replay does.
  std::vector<std::pair<TimerId, std::int64_t>> fire_up_to(
      std::int64_t t, TimerQueue::Missed missed = TimerQueue::Missed::FireEach) {
    std::vector<std::pair<TimerId, std::int64_t>> fired;
    while (const auto d = timers.pop_due(t, missed)) {
      clock.set_elapsed_ms(d->due_ms);
      fired.emplace_back(d->id, d->due_ms);
    }
    clock.set_elapsed_ms(t);
    return fired;
  }
  ReplayClock clock{LocalDateTime{}, ReplayClock::Mode::Virtual};
  TimerQueue timers{clock};
};

using Fired = std::vector<std::pair<TimerId, std::int64_t>>;

TEST_F(TimerQueueTest, periodic_timer_fires_at_each_multiple_of_its_period) {
  timers.start_timer(TimerId::StatusDrain, 800);
  EXPECT_EQ(fire_up_to(2400),
            (Fired{{TimerId::StatusDrain, 800}, {TimerId::StatusDrain, 1600}, {TimerId::StatusDrain, 2400}}));
  EXPECT_EQ(timers.next_due(), 3200);
}

TEST_F(TimerQueueTest, two_timers_interleave_by_due_time_and_ties_go_by_start_order) {
  timers.start_timer(TimerId::Reminder, 200);
  timers.start_timer(TimerId::RestAlert, 100);
  EXPECT_EQ(fire_up_to(400), (Fired{{TimerId::RestAlert, 100},
                                    {TimerId::Reminder, 200},
                                    {TimerId::RestAlert, 200},
                                    {TimerId::RestAlert, 300},
                                    {TimerId::Reminder, 400},
                                    {TimerId::RestAlert, 400}}));
}

TEST_F(TimerQueueTest, restarting_a_running_timer_counts_its_period_from_now) {
  timers.start_timer(TimerId::Upload, 1000);
  clock.set_elapsed_ms(700);
  timers.start_timer(TimerId::Upload, 1000);
  EXPECT_EQ(fire_up_to(1700), (Fired{{TimerId::Upload, 1700}}));
}

TEST_F(TimerQueueTest, stopped_timer_never_fires) {
  timers.start_timer(TimerId::HeartAlert, 100);
  timers.stop_timer(TimerId::HeartAlert);
  EXPECT_TRUE(fire_up_to(1000).empty());
  EXPECT_FALSE(timers.next_due());
  EXPECT_FALSE(timers.running(TimerId::HeartAlert));
}

TEST_F(TimerQueueTest, zero_period_fires_every_millisecond_not_forever) {
  timers.start_timer(TimerId::HideOnceShown, 0);
  EXPECT_EQ(fire_up_to(3).size(), 3u);
}

TEST_F(TimerQueueTest, stalled_real_time_loop_skips_missed_periods) {
  timers.start_timer(TimerId::HeartReceive, 100);
  EXPECT_EQ(fire_up_to(1050, TimerQueue::Missed::Skip), (Fired{{TimerId::HeartReceive, 100}}));
  EXPECT_EQ(timers.next_due(), 1100);
}

}  // namespace
}  // namespace corvane
