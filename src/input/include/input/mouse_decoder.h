#pragma once

#include <cstdint>
#include <optional>

#include "base/clock.h"
#include "base/reports.h"
#include "input/button_event.h"

namespace corvane {

// Turns the sensor mouse's button flags into button-state changes. Keeps the button state and the tick
// of the last change between reports; the caller has already checked that the report is the sensor
// mouse's (is_sensor_mouse_name).
class MouseDecoder final {
 public:
  //! The clock gives the tick of each change and its wall-clock time. The first change counts its
  //! milliseconds from construction.
  explicit MouseDecoder(const Clock& clock);

  //! Applies the report's button flags; returns the event when the button state changed.
  std::optional<ButtonEvent> apply_buttons(const MouseReport& report);

  std::uint8_t state() const { return state_; }

 private:
  const Clock& clock_;
  std::uint8_t state_ = 0;
  std::uint32_t last_change_tick_;
};

//! The new button state after a report's flags: per button, down sets its bit and then up clears it,
//! so a press and release in one report leave the button as it was.
std::uint8_t apply_button_flags(std::uint8_t state, std::uint16_t flags);

//! The travel of one report in mouse units: the length of relative motion; 0 for absolute motion or none.
double report_travel(const MouseReport& report);

}  // namespace corvane
