#include <benchmark/benchmark.h>

#include "activitylog/day_file.h"
#include "activitylog/day_writer.h"
#include "support/silent_notifier.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::SilentNotifier;

DailyActivity busy_day() {
  DailyActivity day;
  for (int h = 0; h < kHoursPerDay; ++h) {
    day.move_counts[h] = 1000000u + static_cast<std::uint32_t>(h);
    for (int b = 0; b < kButtonKinds; ++b) {
      day.clicks[b][h] = 500u + static_cast<std::uint32_t>(h * b);
      day.double_clicks[b][h] = 40u + static_cast<std::uint32_t>(b);
    }
  }
  return day;
}

// A full day written (atomically, fsync included) and read back: what a minute's save plus a page load cost.
void BM_SaveAndLoadDay(benchmark::State& state) {
  testing::TempFolder folder;
  DayWriter writer(folder.path());
  SilentNotifier notifier;
  const DailyActivity day = busy_day();
  for (auto _ : state) {
    if (const Result<void> saved = writer.save_day("20261208.txt", day); !saved) {
      state.SkipWithError(saved.error().message.c_str());
      break;
    }
    benchmark::DoNotOptimize(load_day(folder.path(), "20261208.txt", notifier));
  }
}
BENCHMARK(BM_SaveAndLoadDay)->Unit(benchmark::kMicrosecond);

// The in-memory part alone, without the disk.
void BM_SerializeAndParseDay(benchmark::State& state) {
  const DailyActivity day = busy_day();
  for (auto _ : state)
    benchmark::DoNotOptimize(parse_day(serialize_day(day)));
}
BENCHMARK(BM_SerializeAndParseDay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
