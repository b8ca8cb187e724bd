#pragma once

#include <cstdint>

namespace corvane {

// One button-state change of the sensor mouse, as the event queue holds it: a fixed 32-byte record whose
// spare fields keep the layout that the queue's readers and the size check below expect.
struct ButtonEvent {
  std::int32_t x = 0;  // cursor position at the change, screen pixels
  std::int32_t y = 0;
  std::uint8_t valid = 1;    // always 1 for a real event; the drain skips anything else
  std::uint8_t changed = 0;  // new state XOR old state
  std::uint8_t state = 0;    // the new button state (button_state bits)
  std::uint8_t spare0 = 0;
  std::int32_t spare1 = 0;
  std::int32_t ms_since_previous = 0;  // since the previous change of any button
  std::int32_t spare2 = 0;
  std::int64_t wall_seconds = 0;  // wall-clock seconds since the epoch

  bool operator==(const ButtonEvent&) const = default;
};

static_assert(sizeof(ButtonEvent) == 32, "a button event is 32 bytes");

// Bits of the kept button state. Note the side buttons: the fifth button has the lower bit.
namespace button_state {
inline constexpr std::uint8_t kLeft = 0x01;
inline constexpr std::uint8_t kRight = 0x02;
inline constexpr std::uint8_t kMiddle = 0x04;
inline constexpr std::uint8_t kFifth = 0x08;
inline constexpr std::uint8_t kFourth = 0x10;
}  // namespace button_state

}  // namespace corvane
