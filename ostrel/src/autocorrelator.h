#pragma once

#include <cstdint>

namespace corvane::ostrel {

// Sliding autocorrelation of an integer wave over a window of W samples and lags 0..max_lag. The sums are
// kept exactly in 64-bit integers and updated per sample (add the newest product, drop the oldest), so
// they never drift however long the detector runs. The buffers live in the caller's work memory.
class Autocorrelator final {
 public:
  struct Estimate {
    float interval_ms;  // best lag in milliseconds, refined between lags; -1 when there is none
    float quality;      // 100 x the normalised correlation at that lag, 0..100
  };

  // Bytes of work memory needed for a window and maximum lag.
  static int memory_bytes(int window, int max_lag);
  void attach(void* memory, int window, int min_lag, int max_lag, float pick_ratio);
  void reset();
  void push(int32_t x);
  // Chooses the lag of the first correlation maximum that reaches pick_ratio of the largest one, which
  // keeps a multiple of the period from winning over the period itself.
  Estimate estimate(float ms_per_sample) const;

 private:
  int ring_len() const { return window_ + max_lag_ + 1; }
  int32_t at(int back) const;      // sample `back` steps before the newest
  int64_t prefix(int back) const;  // running sum of squares up to that sample

  int32_t* samples_ = nullptr;
  int64_t* energy_prefix_ = nullptr;
  int64_t* r_ = nullptr;  // r_[k] for k = 0..max_lag
  int window_ = 100, min_lag_ = 6, max_lag_ = 40;
  float pick_ratio_ = 0.85f;
  int pos_ = 0;
  int64_t total_energy_ = 0;
};

}  // namespace corvane::ostrel
