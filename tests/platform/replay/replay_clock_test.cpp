#include "replay/replay_clock.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(VirtualReplayClock, ticks_and_process_clock_are_the_milliseconds_since_start) {
  ReplayClock clock(LocalDateTime{2026, 12, 31, 23, 58, 30, 0, 4}, ReplayClock::Mode::Virtual);
  EXPECT_EQ(clock.tick_ms(), 0u);
  clock.set_elapsed_ms(90100);
  EXPECT_EQ(clock.tick_ms(), 90100u);
  EXPECT_EQ(clock.process_ms(), 90100);
}

TEST(VirtualReplayClock, wall_clock_is_start_plus_elapsed_across_the_year_end) {
  ReplayClock clock(LocalDateTime{2026, 12, 31, 23, 58, 30, 0, 4}, ReplayClock::Mode::Virtual);
  clock.set_elapsed_ms(90100);
  const LocalDateTime t = clock.local_now();
  EXPECT_EQ(t.year, 2027);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.minute, 0);
  EXPECT_EQ(t.second, 0);
  EXPECT_EQ(t.millisecond, 100);
  EXPECT_EQ(t.weekday, 5);  // a Friday
}

TEST(VirtualReplayClock, epoch_seconds_advance_with_the_wall_clock) {
  ReplayClock clock(LocalDateTime{2026, 6, 1, 12, 0, 0, 0, 1}, ReplayClock::Mode::Virtual);
  const std::int64_t at_start = clock.epoch_seconds();
  clock.set_elapsed_ms(61500);
  EXPECT_EQ(clock.epoch_seconds() - at_start, 61);
}

TEST(VirtualReplayClock, never_runs_backwards) {
  ReplayClock clock(LocalDateTime{}, ReplayClock::Mode::Virtual);
  clock.set_elapsed_ms(500);
  clock.set_elapsed_ms(100);
  EXPECT_EQ(clock.process_ms(), 500);
}

}  // namespace
}  // namespace corvane
