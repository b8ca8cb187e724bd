#pragma once

#include "params.h"

namespace corvane::ostrel {

// Adaptive-threshold peak detector stepped at the interpolated rate (200 steps/s). The threshold follows
// the wave up to each maximum and decays geometrically after it; a maximum counts as a beat when the
// wave has fallen far enough below zero since the previous beat and enough steps have passed.
class PeakDetector final {
 public:
  static constexpr float kNone = 16777216.0f;

  void configure(const PeakParams& p) { params_ = p; }
  void reset();

  // One step; returns the beat interval in milliseconds (step = 5 ms) when this step found a beat,
  // else 0. ms_per_step is 1000 / the detector's step rate.
  int step(float v, float ms_per_step);

  float threshold() const { return threshold_; }
  float peak_value() const { return peak_value_; }
  bool fast_mode() const { return fast_mode_; }

 private:
  void switch_mode(int interval);

  PeakParams params_{};
  float threshold_ = 0.0f;
  bool rising_ = false;
  int decay_count_ = 0;
  int since_peak_ = 0;
  int reported_ = 0;
  int prev_reported_ = 0;
  bool just_peaked_ = false;
  bool has_amplitude_ = false;
  float amplitude_ = 0.0f;
  float peak_value_ = 0.0f;
  float lowest_ = kNone;
  float y_m2_ = 0.0f, y_m1_ = 0.0f;  // the two previous inputs, for the parabola
  int fast_count_ = 0, slow_count_ = 0;
  bool fast_mode_ = false;
};

// Upsamples one input sample to `factor` steps: the sample is held for `factor` steps (zero-order hold)
// and the held stream passes two running means of `factor` steps. One running mean of a held stream is
// linear interpolation; the second makes it a piecewise-quadratic curve whose maxima fall between input
// samples, and its zeros at multiples of the input rate remove the images of the hold.
class Interpolator final {
 public:
  void configure(int factor, bool smoothing) {
    factor_ = factor < 1 ? 1 : (factor > kMaxFactor ? kMaxFactor : factor);
    inv_factor_ = 1.0f / static_cast<float>(factor_);
    smoothing_ = smoothing;
    reset();
  }
  void reset();
  float step(float held) {
    if (!smoothing_) return held;
    sum1_ += held - ring1_[pos_];
    ring1_[pos_] = held;
    const float m1 = sum1_ * inv_factor_;
    sum2_ += m1 - ring2_[pos_];
    ring2_[pos_] = m1;
    if (++pos_ >= factor_) pos_ = 0;
    // Running sums drift by rounding; rebuild them from the rings now and then.
    if (++resync_ >= 4096) resync();
    return sum2_ * inv_factor_;
  }

 private:
  static constexpr int kMaxFactor = 32;
  void resync();

  int factor_ = 10;
  float inv_factor_ = 0.1f;
  bool smoothing_ = true;
  float ring1_[kMaxFactor] = {};
  float ring2_[kMaxFactor] = {};
  float sum1_ = 0.0f, sum2_ = 0.0f;
  int pos_ = 0;
  int resync_ = 0;
};

}  // namespace corvane::ostrel
