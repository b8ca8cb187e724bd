#pragma once

#include <cstdint>

#include "fft.h"

namespace corvane::ostrel {

// Spectrum of the last 128 samples of the pulse wave, Hamming-windowed, with up to three candidate peaks
// in the pulse band. The values X are powers (or magnitudes when configured so): on powers a clean pulse
// concentrates its share in the top peak and its harmonics stay below half the fundamental, so the
// top-peak and second-peak tests judge the rhythm rather than the wave's shape. The vertex of each peak is
// found on magnitudes, where the parabola through a Hamming main lobe is off by at most 0.07 bin against
// 0.14 bin on powers.
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
  void attach(void* memory, int bin_lo, int bin_hi, bool power, bool integrate);
  void reset();
  void push(float x);
  // Transforms the history; rate is the sample rate of the history in Hz.
  Result compute(float rate);
  const float* values() const { return mag_; }

 private:
  float* history_ = nullptr;  // ring, oldest at pos_
  float* re_ = nullptr;
  float* im_ = nullptr;
  float* mag_ = nullptr;
  float window_[kFftSize] = {};
  FftTables tables_{};
  int pos_ = 0;
  int bin_lo_ = 4, bin_hi_ = 27;
  bool power_ = false;
  bool integrate_ = false;
};

}  // namespace corvane::ostrel
