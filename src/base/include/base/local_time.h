#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// A reading of the local wall clock, broken down.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int weekday = 4;  // 0 = Sunday ... 6 = Saturday

  bool same_date(const LocalDateTime& o) const { return year == o.year && month == o.month && day == o.day; }
  // True when date, hour and minute all agree: the calendar minute.
  bool same_minute(const LocalDateTime& o) const {
    return same_date(o) && hour == o.hour && minute == o.minute;
  }
};

// Seconds from 1970-01-01 00:00:00 to a local wall-clock reading counted as if it were UTC.
// Computed from the broken-down local time every time, so a daylight-saving change mid-run is followed.
using LocalTimestamp = std::int64_t;

LocalTimestamp to_local_timestamp(const LocalDateTime& t);
LocalTimestamp to_local_timestamp(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The inverse: the broken-down reading (weekday filled in) of a LocalTimestamp.
LocalDateTime from_local_timestamp(LocalTimestamp ts);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t days_from_civil(int year, int month, int day);
void civil_from_days(std::int64_t days, int& year, int& month, int& day);

// The local date shifted by a number of days (negative goes back).
LocalDateTime add_days(const LocalDateTime& t, int days);

// "%04d%02d%02d.txt": the name of a day's activity file.
std::string day_file_name(int year, int month, int day);
inline std::string day_file_name(const LocalDateTime& t) {
  return day_file_name(t.year, t.month, t.day);
}

}  // namespace corvane
