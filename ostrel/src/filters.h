#pragma once

#include <cmath>

namespace corvane::ostrel {

// Second-order section in direct form I: y = g*(b0 x + b1 x1 + b2 x2) - a1 y1 - a2 y2. Form I keeps the
// state as past inputs and outputs, which behaves well in single precision for poles close to z = 1.
struct Biquad final {
  float g = 1.0f, b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;

  float step(float x) {
    const float y = g * (b0 * x + b1 * x1 + b2 * x2) - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
  void clear() { x1 = x2 = y1 = y2 = 0.0f; }
};

// First-order section y = g*(b0 x + b1 x1) - a1 y1.
struct FirstOrder final {
  float g = 1.0f, b0 = 1.0f, b1 = 0.0f, a1 = 0.0f;
  float x1 = 0.0f, y1 = 0.0f;

  float step(float x) {
    const float y = g * (b0 * x + b1 * x1) - a1 * y1;
    x1 = x;
    y1 = y;
    return y;
  }
  void clear() { x1 = y1 = 0.0f; }
};

// Low-pass section for the analog prototype 1 / (s^2 + c s + 1), bilinear transform with the cutoff
// pre-warped: k = tan(pi fc / fs).
inline void design_lowpass_section(Biquad& s, float c, float fc, float fs) {
  const float k = std::tan(3.14159265f * fc / fs);
  const float k2 = k * k;
  const float a0 = 1.0f + c * k + k2;
  s.g = k2 / a0;
  s.b0 = 1.0f;
  s.b1 = 2.0f;
  s.b2 = 1.0f;
  s.a1 = (2.0f * k2 - 2.0f) / a0;
  s.a2 = (1.0f - c * k + k2) / a0;
}

// Gain magnitude of a section at frequency f (for tests and design checks).
float section_gain(const Biquad& s, float f, float fs);
float section_gain(const FirstOrder& s, float f, float fs);

}  // namespace corvane::ostrel
