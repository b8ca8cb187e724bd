#pragma once

#include <cstdint>
#include <string>

#include "base/user_texts.h"

namespace corvane {

// The measurement view's guidance messages (the words live in the table of user texts).
inline constexpr const char* kThumbPromptText = user_text::kThumbPrompt;
inline constexpr const char* kStabilisingText = user_text::kStabilising;

// A colour as alpha, red, green, blue.
struct Argb {
  std::uint8_t a = 0, r = 0, g = 0, b = 0;
  bool operator==(const Argb&) const = default;
};
inline constexpr Argb kHeartLitColour{255, 255, 0, 0};  // a beat was just seen on a steady contact
inline constexpr Argb kHeartDimColour{128, 160, 0, 0};  // otherwise

// Everything the measurement view shows, decided by the model; the page only paints it. The waveform is
// read separately (HeartMonitor::waveform) because it changes with every block.
struct HeartPageView {
  std::string readout = user_text::kNoReadout;  // large readout: "%d bpm" or "-- bpm"
  std::string message;                          // guidance or result line, may hold a line break
  bool show_hint = false;                       // user_text::kPressureHint under the message
  bool heart_lit = false;        // the heart symbol in kHeartLitColour instead of kHeartDimColour
  std::string latest_entry;      // "%s , %dbpm" of the newest list entry; empty when none
  bool library_missing = false;  // the detection library could not be loaded...
  std::string library_path;      // ...from this full path (kept for display)
};

}  // namespace corvane
