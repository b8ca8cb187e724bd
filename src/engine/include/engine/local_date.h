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

}  // namespace corvane
