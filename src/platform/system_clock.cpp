#include "platform/system_clock.h"

#include <chrono>
#include <ctime>

namespace corvane {
namespace {

std::int64_t steady_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

SystemClock::SystemClock() : start_ms_(steady_ms()) {}

std::uint32_t SystemClock::tick_ms() const {
  return static_cast<std::uint32_t>(steady_ms());
}

std::int64_t SystemClock::process_ms() const {
  return steady_ms() - start_ms_;
}

LocalDateTime SystemClock::local_now() const {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t secs = system_clock::to_time_t(now);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &secs);
#else
  localtime_r(&secs, &tm);
#endif
  LocalDateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.weekday = tm.tm_wday;
  t.millisecond = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return t;
}

std::int64_t SystemClock::epoch_seconds() const {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace corvane
