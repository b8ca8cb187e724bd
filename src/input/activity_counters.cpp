#include "input/activity_counters.h"

#include <limits>

namespace corvane {

int event_kind(std::uint8_t changed) {
  if (changed & button_state::kRight) return static_cast<int>(ButtonKind::Right);
  if (changed & button_state::kMiddle) return static_cast<int>(ButtonKind::Middle);
  if (changed & button_state::kFourth) return static_cast<int>(ButtonKind::Fourth);
  if (changed & button_state::kFifth) return static_cast<int>(ButtonKind::Fifth);
  return static_cast<int>(ButtonKind::Left);
}

ActivityCounters::ActivityCounters(std::uint32_t double_click_ms) : double_click_ms_(double_click_ms) {}

void ActivityCounters::count_events(std::span<const ButtonEvent> events, int hour) {
  for (const ButtonEvent& event : events) {
    if (event.valid != 1) continue;
    const bool press = (event.state & event.changed) != 0;  // releases are not counted
    if (press) count_press(event, event_kind(event.changed), hour);
  }
}

void ActivityCounters::count_press(const ButtonEvent& event, int kind, int hour) {
  PressState& p = press_[kind];
  const std::int64_t t = double_click_ms_;
  const std::int64_t ms = event.ms_since_previous;
  if (event.x == p.x && event.y == p.y && p.gate > t && ms < t) {
    ++record_.double_clicks[kind][hour];
    p.gate = ms;
  } else {
    p.gate = t + ms;
  }
  p.x = event.x;
  p.y = event.y;
  ++record_.clicks[kind][hour];
  for (ActivityListener* l : listeners_)
    l->on_click(static_cast<ButtonKind>(kind));
}

void ActivityCounters::add_travel(double units, int hour) {
  // The bucket is a 32-bit count; a sum past its range stays at the top instead of wrapping.
  const double sum = static_cast<double>(record_.move_counts[hour]) + units;
  constexpr double kMax = std::numeric_limits<std::uint32_t>::max();
  record_.move_counts[hour] =
      sum >= kMax ? std::numeric_limits<std::uint32_t>::max() : static_cast<std::uint32_t>(sum);
  for (ActivityListener* l : listeners_)
    l->on_travel(units);
}

}  // namespace corvane
