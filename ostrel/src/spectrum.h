#pragma once

#include <cstdint>

#include "fft.h"

namespace corvane::ostrel {

// Magnitude spectrum of the last 128 samples of the pulse wave, Hamming-windowed, with up to three
// candidate peaks in the pulse band. Magnitudes rather than powers: the parabola through a Hamming
// main lobe places the peak within 0.07 bin on magnitudes against 0.14 bin on powers.
class Spectrum final {
 public:
  struct Result {
    int count = 0;         // candidates found (0..3)
    uint16_t bin[3] = {};  // strongest first
    float magnitude[3] = {};
    uint16_t interval_ms[3] = {};
    float total = 0.0f;         // X[2] + X[lo..hi]
    float top_fraction = 0.0f;  // (X[k0-1] + X[k0] + X[k0+1]) / total
  };

  static int memory_bytes() { return 4 * kFftSize * static_cast<int>(sizeof(float)); }
  void attach(void* memory, int bin_lo, int bin_hi);
  void reset();
  void push(float x);
  // Transforms the history; rate is the sample rate of the history in Hz.
  Result compute(float rate);
  const float* magnitudes() const { return mag_; }

 private:
  float* history_ = nullptr;  // ring, oldest at pos_
  float* re_ = nullptr;
  float* im_ = nullptr;
  float* mag_ = nullptr;
  float window_[kFftSize] = {};
  FftTables tables_{};
  int pos_ = 0;
  int bin_lo_ = 4, bin_hi_ = 27;
};

}  // namespace corvane::ostrel
