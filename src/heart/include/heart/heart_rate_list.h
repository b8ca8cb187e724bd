#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "heart/heart_log.h"
#include "platform/atomic_file.h"

namespace corvane {

// The measured heart rates, newest first, and their file "HeartRateLog.txt". Engine thread only: the
// page reads it there, and an upload takes a copy of the entries before its worker starts.
class HeartRateList final {
 public:
  //! A list kept in `data_folder`/HeartRateLog.txt; empty until load().
  explicit HeartRateList(const std::filesystem::path& data_folder);

  //! Replaces the list by the file's entries (every entry the file holds; none when it is missing or
  //! unreadable). A file that is not JSON at all is first copied to HeartRateLog.txt.damaged.
  void load();
  //! Writes the whole list to the file.
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
  std::vector<HeartLog> entries_;
  mutable bool unsaved_ = false;
};

}  // namespace corvane
