#include "heart/heart_rate_list.h"

#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "base/file_read.h"

namespace corvane {

HeartRateList::HeartRateList(const std::filesystem::path& data_folder)
    : file_(data_folder / kHeartLogFileName) {}

void HeartRateList::load() {
  const std::optional<std::string> content = read_whole_file(file_);
  // A file that is not JSON at all loads as an empty list, and the next result would overwrite it and
  // every measurement in it: its bytes are kept beside it first, for the user or support to recover.
  // (If even that copy cannot be written, there is nothing better to do than to go on.)
  if (content && !content->empty() && !nlohmann::json::accept(*content))
    static_cast<void>(keep_damaged_copy(file_, *content));
  entries_ = content ? parse_heart_log(*content) : std::vector<HeartLog>{};
  unsaved_ = false;
}

Result<void> HeartRateList::save() const {
  Result<void> r = write_file_atomically(file_, serialize_heart_log(entries_));
  unsaved_ = !r;
  return r;
}

bool HeartRateList::unsaved_changes() const {
  return unsaved_;
}

Result<void> HeartRateList::add(HeartLog entry) {
  entries_.insert(entries_.begin(), std::move(entry));
  return save();
}

Result<void> HeartRateList::remove(std::size_t index) {
  if (index >= entries_.size()) return fail("no heart-rate entry " + std::to_string(index));
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return save();
}

std::vector<HeartLog> HeartRateList::entries() const {
  return entries_;
}

std::optional<HeartLog> HeartRateList::newest() const {
  if (entries_.empty()) return std::nullopt;
  return entries_.front();
}

std::size_t HeartRateList::size() const {
  return entries_.size();
}

}  // namespace corvane
