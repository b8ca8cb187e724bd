#include "base/local_time.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(LocalTimestamp, counts_the_wall_clock_as_if_it_were_utc) {
  EXPECT_EQ(to_local_timestamp(1970, 1, 1), 0);
  EXPECT_EQ(to_local_timestamp(2026, 12, 8, 9, 30, 15), 1796722215);
  EXPECT_EQ(to_local_timestamp(2000, 3, 1) - to_local_timestamp(2000, 2, 28), 2 * 86400);  // leap year
  EXPECT_EQ(to_local_timestamp(1900, 3, 1) - to_local_timestamp(1900, 2, 28), 86400);      // not a leap year
}

TEST(LocalTimestamp, round_trips_through_the_broken_down_time) {
  for (LocalTimestamp ts : {LocalTimestamp{0}, LocalTimestamp{951782400}, LocalTimestamp{1796722215},
                            LocalTimestamp{-86399}, LocalTimestamp{4102444799}}) {
    EXPECT_EQ(to_local_timestamp(from_local_timestamp(ts)), ts) << ts;
  }
  const LocalDateTime t = from_local_timestamp(to_local_timestamp(2026, 12, 8, 23, 59, 59));
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 8);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 59);
  EXPECT_EQ(t.weekday, 2);  // a Tuesday
}

TEST(LocalTimestamp, add_days_crosses_months_years_and_leap_days) {
  const LocalDateTime t{2024, 3, 1, 12, 0, 0, 0, 5};
  const LocalDateTime back = add_days(t, -1);
  EXPECT_EQ(back.month, 2);
  EXPECT_EQ(back.day, 29);
  const LocalDateTime far = add_days(LocalDateTime{2026, 12, 8, 0, 0, 0, 0, 2}, -90);
  EXPECT_EQ(far.year, 2026);
  EXPECT_EQ(far.month, 9);
  EXPECT_EQ(far.day, 9);
  const LocalDateTime next_year = add_days(LocalDateTime{2026, 12, 31, 0, 0, 0, 0, 4}, 1);
  EXPECT_EQ(next_year.year, 2027);
  EXPECT_EQ(next_year.month, 1);
  EXPECT_EQ(next_year.day, 1);
}

TEST(LocalDateTime, same_minute_compares_the_whole_calendar_minute) {
  const LocalDateTime a{2026, 1, 5, 10, 15, 0, 0, 1};
  LocalDateTime b = a;
  b.second = 59;
  EXPECT_TRUE(a.same_minute(b));
  b.hour = 11;  // an hour later, same minute number
  EXPECT_FALSE(a.same_minute(b));
  LocalDateTime c = a;
  c.month = 2;  // a month later, same day number
  EXPECT_FALSE(a.same_date(c));
}

TEST(DayFileName, is_zero_padded_year_month_day) {
  EXPECT_EQ(day_file_name(2026, 1, 5), "20260105.txt");
  EXPECT_EQ(day_file_name(2026, 12, 31), "20261231.txt");
}

}  // namespace
}  // namespace corvane
