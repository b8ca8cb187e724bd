#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/daily_activity.h"

namespace corvane {

// What the status page shows of a day or a month, worked out from day records: the totals per button
// and the bars of its chart. Kept free of Qt so that the figures are checked on their own.
struct ActivityFigures {
  std::array<std::uint64_t, kButtonKinds> presses{};        // every press, double or not
  std::array<std::uint64_t, kButtonKinds> double_clicks{};  // presses that completed a double click
  double travel_m = 0.0;                                    // total cursor travel in metres
  // One bar per hour (a day) or per day of the month (a month): presses of all buttons and travel.
  std::vector<std::uint64_t> bar_clicks;
  std::vector<double> bar_travel_m;

  std::uint64_t total_presses() const;
  bool operator==(const ActivityFigures&) const = default;
};

//! A day: 24 hourly bars.
ActivityFigures day_figures(const DailyActivity& day);

//! A month: one bar per entry of `days` (day 1 first); days without a file are all-zero records.
ActivityFigures month_figures(const std::vector<DailyActivity>& days);

//! The number of days of a month of the Gregorian calendar.
int days_in_month(int year, int month);

//! A "nice" top for a chart axis: the smallest of 1, 2, 2.5, 5 times a power of ten that is at least
//! `value` (1 for nothing to show).
double nice_axis_top(double value);

}  // namespace corvane
