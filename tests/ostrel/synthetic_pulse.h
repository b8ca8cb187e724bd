#pragma once

#include <cmath>
#include <vector>

namespace corvane::ostrel_test {

// A fingertip-like pulse wave: per beat a systolic wave and a smaller, later dicrotic wave, in units of
// the pulse amplitude (0..about 1).
inline double pulse_wave(double t_s, double bpm) {
  const double period = 60.0 / bpm;
  const double phase = std::fmod(t_s, period) / period;
  auto bump = [](double x, double centre, double width) {
    const double d = (x - centre) / width;
    return std::exp(-0.5 * d * d);
  };
  // Wrap the bumps so a beat's tail flows into the next beat smoothly.
  double v = 0.0;
  for (int k = -1; k <= 1; ++k) {
    v += bump(phase + k, 0.25, 0.08) + 0.35 * bump(phase + k, 0.55, 0.10);
  }
  return v;
}

// Sensor readings at `rate` Hz: the reading falls as the wave rises, as the sensor's does.
inline std::vector<float> pulse_readings(double bpm, double seconds, double amplitude = 4000.0,
                                         double rate = 20.0) {
  std::vector<float> out;
  const int n = static_cast<int>(seconds * rate);
  out.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const double reading = 400000.0 - amplitude * pulse_wave(i / rate, bpm);
    out.push_back(static_cast<float>(std::round(reading)));
  }
  return out;
}

}  // namespace corvane::ostrel_test
