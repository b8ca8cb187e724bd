#include "activitylog/day_archive.h"

#include "activitylog/day_file.h"
#include "base/local_time.h"

namespace corvane {

const DailyActivity& DayArchive::day(int year, int month, int day) {
  const auto key = std::make_tuple(year, month, day);
  auto it = days_.find(key);
  if (it == days_.end())
    it = days_.emplace(key, load_day(data_folder_, day_file_name(year, month, day), notifier_)).first;
  return it->second;
}

}  // namespace corvane
