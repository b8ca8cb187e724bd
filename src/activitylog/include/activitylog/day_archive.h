#pragma once

#include <filesystem>
#include <map>
#include <tuple>

#include "base/daily_activity.h"
#include "base/notifier.h"

namespace corvane {

// The days already saved, for whoever shows a past day or a month: each day file is read once and kept
// until forget(). A damaged file is reported once, as load_day does. Engine thread only.
class DayArchive final {
 public:
  //! `notifier` must outlive the archive.
  DayArchive(std::filesystem::path data_folder, Notifier& notifier)
      : data_folder_(std::move(data_folder)), notifier_(notifier) {}

  //! The saved counts of one day; zeros where no file exists.
  const DailyActivity& day(int year, int month, int day);
  //! Drops what was read, so that the next look reads the files again.
  void forget() { days_.clear(); }

 private:
  std::filesystem::path data_folder_;
  Notifier& notifier_;
  std::map<std::tuple<int, int, int>, DailyActivity> days_;
};

}  // namespace corvane
