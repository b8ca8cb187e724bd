#pragma once

#include <cstdint>

namespace corvane {

inline constexpr int kButtonKinds = 5;
inline constexpr int kHoursPerDay = 24;

// Button kinds index every per-button table: the day counters, the day file and the CSV export.
enum class ButtonKind : int {
  Left = 0,
  Right = 1,
  Middle = 2,  // the wheel button
  Fourth = 3,  // first side button
  Fifth = 4,   // second side button
};

// One day's hourly mouse activity. The live counters have exactly this shape: 289 unsigned 32-bit
// values, presses first (kind * 24 + hour), then double clicks, then travel, then 24 hourly values
// that nothing writes, then the loaded flag. The day file stores all but the spare values and the flag.
struct DailyActivity {
  std::uint32_t clicks[kButtonKinds][kHoursPerDay]{};         // every press, double or not
  std::uint32_t double_clicks[kButtonKinds][kHoursPerDay]{};  // presses that completed a double click
  std::uint32_t move_counts[kHoursPerDay]{};                  // cursor travel in mouse units
  std::uint32_t spare[kHoursPerDay]{};                        // kept for the record's shape; always 0
  std::uint32_t loaded = 0;  // 1 when the day's file existed at load time; never stored

  bool operator==(const DailyActivity&) const = default;
};

static_assert(sizeof(DailyActivity) == 289 * sizeof(std::uint32_t), "the live counters are 289 values");

// A day record together with the local date it belongs to: what a save thread writes.
struct DaySnapshot {
  int year = 0;
  int month = 0;
  int day = 0;
  DailyActivity record;
};

}  // namespace corvane
