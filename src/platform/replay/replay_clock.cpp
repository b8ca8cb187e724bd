#include "replay/replay_clock.h"

#include <ctime>

namespace corvane {

std::int64_t local_to_epoch_seconds(const LocalDateTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

ReplayClock::ReplayClock(const LocalDateTime& start, Mode mode)
    : start_local_(to_local_timestamp(start)),
      start_epoch_(local_to_epoch_seconds(start)),
      mode_(mode),
      steady_start_(std::chrono::steady_clock::now()) {}

std::int64_t ReplayClock::elapsed_ms() const {
  if (mode_ == Mode::Virtual) return virtual_ms_;
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now() - steady_start_).count();
}

void ReplayClock::set_elapsed_ms(std::int64_t t_ms) {
  if (t_ms > virtual_ms_) virtual_ms_ = t_ms;
}

LocalDateTime ReplayClock::local_now() const {
  const std::int64_t ms = elapsed_ms();
  // The wall clock counts on from the start reading without consulting the time zone again, so a
  // virtual replay gives the same hours on every machine.
  LocalDateTime t = from_local_timestamp(start_local_ + ms / 1000);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

std::int64_t ReplayClock::epoch_seconds() const {
  return start_epoch_ + elapsed_ms() / 1000;
}

}  // namespace corvane
