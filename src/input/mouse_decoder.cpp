#include "input/mouse_decoder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {
namespace {

std::uint8_t apply_pair(std::uint8_t state, std::uint16_t flags, std::uint16_t down, std::uint16_t up,
                        std::uint8_t bit) {
  if (flags & down) state = static_cast<std::uint8_t>(state | bit);
  if (flags & up) state = static_cast<std::uint8_t>(state & ~bit);
  return state;
}

}  // namespace

std::uint8_t apply_button_flags(std::uint8_t state, std::uint16_t flags) {
  using namespace button_flags;
  state = apply_pair(state, flags, kLeftDown, kLeftUp, button_state::kLeft);
  state = apply_pair(state, flags, kRightDown, kRightUp, button_state::kRight);
  state = apply_pair(state, flags, kMiddleDown, kMiddleUp, button_state::kMiddle);
  state = apply_pair(state, flags, kFourthDown, kFourthUp, button_state::kFourth);
  state = apply_pair(state, flags, kFifthDown, kFifthUp, button_state::kFifth);
  return state;
}

double report_travel(const MouseReport& report) {
  if (report.absolute || (report.dx == 0 && report.dy == 0)) return 0.0;
  const double dx = report.dx;
  const double dy = report.dy;
  return std::sqrt(dx * dx + dy * dy);
}

MouseDecoder::MouseDecoder(const Clock& clock) : clock_(clock), last_change_tick_(clock.tick_ms()) {}

std::optional<ButtonEvent> MouseDecoder::apply_buttons(const MouseReport& report) {
  if (report.button_flags == 0) return std::nullopt;
  const std::uint8_t next = apply_button_flags(state_, report.button_flags);
  if (next == state_) return std::nullopt;

  const std::uint32_t tick = clock_.tick_ms();
  ButtonEvent event;
  event.x = report.cursor_x;
  event.y = report.cursor_y;
  event.changed = static_cast<std::uint8_t>(next ^ state_);
  event.state = next;
  // The tick count wraps at 2^32; the unsigned difference stays right across the wrap. A pause of more
  // than 24.8 days would turn negative in the 32-bit field and pass as "within the double-click time":
  // it stays at the field's top instead.
  const std::uint32_t elapsed = tick - last_change_tick_;
  event.ms_since_previous = static_cast<std::int32_t>(
      std::min<std::uint32_t>(elapsed, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())));
  event.wall_seconds = clock_.epoch_seconds();

  state_ = next;
  last_change_tick_ = tick;
  return event;
}

}  // namespace corvane
