#include "activitylog/day_writer.h"

#include <system_error>
#include <utility>

#include "activitylog/day_file.h"
#include "base/local_time.h"

namespace corvane {

DayWriter::DayWriter(std::filesystem::path data_folder) : data_folder_(std::move(data_folder)) {}

DayWriter::~DayWriter() {
  wait_until_idle();
}

DailyActivity DayWriter::load_live_day(const std::string& file_name, Notifier& notifier) {
  DayLoad load = load_day_for_saving(data_folder_, file_name, notifier);
  if (load.incomplete) {
    std::lock_guard lock(write_lock_);
    keep_aside_.insert(file_name);
  }
  return load.record;
}

Result<void> DayWriter::save_day(const std::string& file_name, DailyActivity day) {
  std::lock_guard lock(write_lock_);
  const std::filesystem::path path = data_folder_ / file_name;
  Result<void> result;
  if (keep_aside_.count(file_name)) {
    result = move_damaged_aside(path);
    if (result) keep_aside_.erase(file_name);
  }
  if (result) result = write_file_atomically(path, serialize_day(day));
  if (!result) {
    failed_saves_.fetch_add(1);
    std::lock_guard error_lock(error_mutex_);
    last_error_ = result.error().message;
  }
  return result;
}

bool DayWriter::start_save(const DaySnapshot& snapshot) {
  bool expected = false;
  if (!save_in_progress_.compare_exchange_strong(expected, true, std::memory_order_acq_rel)) return false;
  join_finished_thread();
  try {
    save_thread_ = std::thread([this, snapshot] {
      // Nobody waits for a background save's result: save_day counts a failure and keeps its message.
      static_cast<void>(
          save_day(day_file_name(snapshot.year, snapshot.month, snapshot.day), snapshot.record));
      save_in_progress_.store(false, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    // Without a thread to save on (the system is out of threads) the save runs here: a slow minute
    // roll-over is better than a day file that stops being written, which a save slot left claimed
    // would cause.
    static_cast<void>(save_day(day_file_name(snapshot.year, snapshot.month, snapshot.day), snapshot.record));
    save_in_progress_.store(false, std::memory_order_release);
  }
  return true;
}

bool DayWriter::claim_save_slot() {
  bool expected = false;
  return save_in_progress_.compare_exchange_strong(expected, true, std::memory_order_acq_rel);
}

void DayWriter::wait_until_idle() {
  join_finished_thread();
}

void DayWriter::join_finished_thread() {
  if (save_thread_.joinable()) save_thread_.join();
}

std::string DayWriter::last_error() const {
  std::lock_guard lock(error_mutex_);
  return last_error_;
}

}  // namespace corvane
