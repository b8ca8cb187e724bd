#include "base/local_time.h"

#include <cstdio>

namespace corvane {

// Howard Hinnant's days_from_civil / civil_from_days (public-domain date algorithms).
std::int64_t days_from_civil(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

LocalTimestamp to_local_timestamp(int year, int month, int day, int hour, int minute, int second) {
  return days_from_civil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

LocalTimestamp to_local_timestamp(const LocalDateTime& t) {
  return to_local_timestamp(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

LocalDateTime from_local_timestamp(LocalTimestamp ts) {
  std::int64_t days = ts / 86400;
  std::int64_t secs = ts % 86400;
  if (secs < 0) {
    secs += 86400;
    days -= 1;
  }
  LocalDateTime t;
  civil_from_days(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(secs / 3600);
  t.minute = static_cast<int>(secs / 60 % 60);
  t.second = static_cast<int>(secs % 60);
  t.millisecond = 0;
  // 1970-01-01 was a Thursday.
  t.weekday = static_cast<int>(((days % 7) + 7 + 4) % 7);
  return t;
}

LocalDateTime add_days(const LocalDateTime& t, int days) {
  LocalDateTime r = from_local_timestamp(to_local_timestamp(t) + static_cast<std::int64_t>(days) * 86400);
  r.millisecond = t.millisecond;
  return r;
}

std::string day_file_name(int year, int month, int day) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02d.txt", year, month, day);
  return name;
}

}  // namespace corvane
