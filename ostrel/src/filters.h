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

// The detector's fixed input filters at 20 Hz: a low-pass cascade of three sections (pass band to about
// 4 Hz, stop band from 5 Hz) and a high-pass of a second- and a first-order section (-3 dB at 0.2 Hz).
void make_input_lowpass(Biquad (&s)[3]);
void make_input_highpass(Biquad& second, FirstOrder& first);

// 4th-order low-pass from the prototype s^4 + c1 s^3 + c2 s^2 + c1 s + 1 with c1 = 2.6106980 and
// c2 = 3.4117999, run as two sections (s^2 + a s + 1)(s^2 + b s + 1): a + b = c1, a b = c2 - 2. The same
// transfer function as the single 4th-order recursion, but the cascade keeps its poles in place in single
// precision (at 0.5 Hz of 20 Hz they sit close to z = 1).
void design_adaptive_lowpass(Biquad (&s)[2], float fc, float rate);

// Gain magnitude of a section at frequency f (for tests and design checks).
float section_gain(const Biquad& s, float f, float fs);
float section_gain(const FirstOrder& s, float f, float fs);

}  // namespace corvane::ostrel
