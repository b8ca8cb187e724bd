#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "base/daily_activity.h"
#include "base/notifier.h"
#include "platform/atomic_file.h"

namespace corvane {

// Writes day files: synchronously, or on a short-lived save thread that works on its own snapshot so the
// caller never waits for the disk. Touched by the engine thread and the save thread: the save slot
// (save_in_progress_) lets at most one save thread run, write_lock_ keeps a direct save_day() from
// writing the file while a save thread does, and error_mutex_ guards last_error_, which the save thread
// sets and the engine thread reads.
class DayWriter {
 public:
  explicit DayWriter(std::filesystem::path data_folder);
  ~DayWriter();  // waits for a running save thread
  DayWriter(const DayWriter&) = delete;
  DayWriter& operator=(const DayWriter&) = delete;

  //! Loads the day this writer is going to save (at start-up, on a new date). A file that could not be
  //! read whole is moved to "<name>.damaged" by the first save of that day, before the new file takes
  //! its place; while it cannot be moved, saves of that day are refused and the counts stay in memory.
  DailyActivity load_live_day(const std::string& file_name, Notifier& notifier);

  //! Writes the day's file now, on the calling thread. The record is taken by value: the caller keeps
  //! counting.
  Result<void> save_day(const std::string& file_name, DailyActivity day);

  //! Starts a save thread on the snapshot unless one is running; returns false (and saves nothing)
  //! when a save is still in progress.
  bool start_save(const DaySnapshot& snapshot);

  //! Claims the save slot without starting a thread: the exit path saves on its own thread and then
  //! keeps the slot so that no later periodic save starts. False when a save is running.
  bool claim_save_slot();

  bool save_in_progress() const { return save_in_progress_.load(std::memory_order_acquire); }

  //! Blocks until no save thread is running.
  void wait_until_idle();

  //! Saves that failed since start-up (the periodic save reports nothing; the next minute tries again).
  int failed_saves() const { return failed_saves_.load(); }
  std::string last_error() const;

  const std::filesystem::path& data_folder() const { return data_folder_; }

 private:
  void join_finished_thread();

  const std::filesystem::path data_folder_;
  std::mutex write_lock_;
  std::set<std::string> keep_aside_;  // under write_lock_: files to move aside before their next save
  std::atomic<bool> save_in_progress_{false};
  std::atomic<int> failed_saves_{0};
  mutable std::mutex error_mutex_;
  std::string last_error_;
  std::thread save_thread_;
};

}  // namespace corvane
