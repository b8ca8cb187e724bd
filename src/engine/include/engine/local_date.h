#pragma once

#include "base/local_time.h"

namespace corvane {

// A local calendar date.
struct LocalDate {
  int year = 1970;
  int month = 1;
  int day = 1;

  static LocalDate of(const LocalDateTime& t) { return {t.year, t.month, t.day}; }
  bool operator==(const LocalDate&) const = default;
};

// What the status view shows: one day, or one month (its `day` then unused). The engine keeps it so
// that the first report of a new day can move a view that showed the finished day on to today.
struct ShownPeriod {
  enum class Kind { Day, Month };
  Kind kind = Kind::Day;
  LocalDate date;

  bool operator==(const ShownPeriod&) const = default;
};

}  // namespace corvane
