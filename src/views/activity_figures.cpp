#include "views/activity_figures.h"

#include <cmath>
#include <numeric>

#include "base/units.h"

namespace corvane {

std::uint64_t ActivityFigures::total_presses() const {
  return std::accumulate(presses.begin(), presses.end(), std::uint64_t{0});
}

namespace {

// Adds one day's counts to the totals and returns its presses and travel.
std::pair<std::uint64_t, double> add_day(ActivityFigures& f, const DailyActivity& day, int first_hour,
                                         int hours) {
  std::uint64_t clicks = 0;
  std::uint64_t units = 0;
  for (int h = first_hour; h < first_hour + hours; ++h) {
    for (int k = 0; k < kButtonKinds; ++k) {
      f.presses[static_cast<std::size_t>(k)] += day.clicks[k][h];
      f.double_clicks[static_cast<std::size_t>(k)] += day.double_clicks[k][h];
      clicks += day.clicks[k][h];
    }
    units += day.move_counts[h];
  }
  const double metres = static_cast<double>(units) / kMouseUnitsPerMetre;
  f.travel_m += metres;
  return {clicks, metres};
}

}  // namespace

ActivityFigures day_figures(const DailyActivity& day) {
  ActivityFigures f;
  for (int h = 0; h < kHoursPerDay; ++h) {
    const auto [clicks, metres] = add_day(f, day, h, 1);
    f.bar_clicks.push_back(clicks);
    f.bar_travel_m.push_back(metres);
  }
  return f;
}

ActivityFigures month_figures(const std::vector<DailyActivity>& days) {
  ActivityFigures f;
  for (const DailyActivity& day : days) {
    const auto [clicks, metres] = add_day(f, day, 0, kHoursPerDay);
    f.bar_clicks.push_back(clicks);
    f.bar_travel_m.push_back(metres);
  }
  return f;
}

int days_in_month(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

double nice_axis_top(double value) {
  if (!(value > 0)) return 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (double step : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (step * power >= value * (1 - 1e-12)) return step * power;
  return 10.0 * power;
}

}  // namespace corvane
