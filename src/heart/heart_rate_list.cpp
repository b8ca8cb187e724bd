#include "heart/heart_rate_list.h"

#include <string>
#include <utility>

#include "base/user_texts.h"
#include "platform/file_read.h"

namespace corvane {

HeartRateList::HeartRateList(const std::filesystem::path& data_folder, Notifier& notifier)
    : file_(data_folder / kHeartLogFileName), notifier_(notifier) {}

void HeartRateList::load() {
  const auto content = read_whole_file(file_, kMaxHeartLogBytes);
  std::optional<std::string> damage;
  if (content) {
    HeartLogParse parsed = parse_heart_log_checked(*content);
    entries_ = std::move(parsed.entries);
    if (parsed.damage) damage = file_.string() + ": " + parsed.damage->message;
  } else {
    entries_.clear();
    if (!content.error().missing) damage = content.error().message;
  }
  unsaved_ = false;
  // The next result saves the list over the file and every measurement the list lacks: the file goes
  // aside first (see save()). The page reloads the list each time it shows it; one message is enough.
  keep_file_aside_ = damage.has_value();
  if (damage && !damage_reported_) {
    notifier_.show_message(std::string(user_text::kLoadError) + "\n" + *damage);
    damage_reported_ = true;
  }
}

Result<void> HeartRateList::save() const {
  if (keep_file_aside_) {
    Result<void> moved = move_damaged_aside(file_);
    if (!moved) {
      unsaved_ = true;
      return moved;
    }
    keep_file_aside_ = false;
    damage_reported_ = false;
  }
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
