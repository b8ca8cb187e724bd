#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Texts of the heart-rate page.
inline constexpr char kNoReadoutText[] = "-- bpm";
inline constexpr char kThumbPromptText[] = "親指を緑LEDに置いてください";
inline constexpr char kStabilisingText[] = "安定するのを待っています\n※十数秒かかります。";
inline constexpr char kPressureHintText[] =
    "力を抜き、軽く置いてください。\n強く押しすぎると計測できない場合があります。";
inline constexpr char kDisclaimerText[] =
    "計測データは完全に正確な数値を保証するものではありません。\n参考数値としてご活用ください。";

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
  std::string readout = kNoReadoutText;  // large readout: "%d bpm" or "-- bpm"
  std::string message;                   // guidance or result line, may hold a line break
  bool show_hint = false;                // kPressureHintText under the message
  bool heart_lit = false;                // the heart symbol in kHeartLitColour instead of kHeartDimColour
  std::string latest_entry;              // "%s , %dbpm" of the newest list entry; empty when none
  bool library_missing = false;          // the detection library could not be loaded...
  std::string library_path;              // ...from this full path (kept for display)
};

}  // namespace corvane
