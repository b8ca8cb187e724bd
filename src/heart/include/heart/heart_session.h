#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "heart/measurement_state.h"

namespace corvane {

inline constexpr std::int64_t kStabilisingMs = 8000;  // ready this long before a result is taken
inline constexpr float kResultAbove = 40.0f;          // a result needs an average above this...
inline constexpr float kResultBelow = 180.0f;         // ...and below this

// What one step of the measurement session decided.
struct SessionStep {
  std::string readout;
  std::string message;
  bool show_hint = false;
  bool heart_lit = false;
  std::optional<float> new_result;  // set when this step fixed a result (not rounded)
};

// One step of the measurement session on the state the sample handler keeps: the readout, the guidance
// message, whether a result is taken now (at most once per contact period) and the heart symbol.
// Run after every sample block and when the receive countdown runs out.
SessionStep step_session(MeasurementState& state, std::int64_t now_ms);

// The bpm a result is stored and shown with: truncated toward zero.
std::int32_t result_bpm(float result);

}  // namespace corvane
