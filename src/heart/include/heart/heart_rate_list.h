#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/notifier.h"
#include "heart/heart_log.h"
#include "platform/atomic_file.h"

namespace corvane {

// A measurement takes most of a minute; this holds over 100 000 entries, decades of them.
inline constexpr std::size_t kMaxHeartLogBytes = 8 * 1024 * 1024;

// The measured heart rates, newest first, and their file "HeartRateLog.txt". Engine thread only: the
// page reads it there, and an upload takes a copy of the entries before its worker starts.
class HeartRateList final {
 public:
  //! A list kept in `data_folder`/HeartRateLog.txt; empty until load(). `notifier` must outlive the list.
  HeartRateList(const std::filesystem::path& data_folder, Notifier& notifier);

  //! Replaces the list by the file's entries (every entry the file holds; none when it is missing).
  //! A file that could not be read whole keeps what could be read, says "load error" once, and is moved
  //! to HeartRateLog.txt.damaged by the next save, before the new list replaces it.
  void load();
  //! Writes the whole list to the file (refused while a damaged file cannot be moved aside).
  Result<void> save() const;
  //! Puts a new result at the front and saves the list.
  Result<void> add(HeartLog entry);
  //! Removes entry `index` (0 = newest) and saves the list, so the entry stays deleted after a reload.
  //! An index past the end changes nothing and reports failure.
  Result<void> remove(std::size_t index);

  //! A change of the list has not reached the file (its save failed): a reload would lose it.
  bool unsaved_changes() const;

  std::vector<HeartLog> entries() const;
  std::optional<HeartLog> newest() const;
  std::size_t size() const;
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
  Notifier& notifier_;
  std::vector<HeartLog> entries_;
  mutable bool unsaved_ = false;
  mutable bool keep_file_aside_ = false;  // the file on disk holds more than entries_
  mutable bool damage_reported_ = false;  // the user was told about the file now on disk
};

}  // namespace corvane
