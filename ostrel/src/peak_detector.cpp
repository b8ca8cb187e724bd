#include "peak_detector.h"

#include <cmath>

namespace corvane::ostrel {

void PeakDetector::reset() {
  threshold_ = 0.0f;
  rising_ = false;
  decay_count_ = 0;
  since_peak_ = 0;
  reported_ = 0;
  prev_reported_ = 0;
  just_peaked_ = false;
  has_amplitude_ = false;
  amplitude_ = 0.0f;
  peak_value_ = 0.0f;
  lowest_ = kNone;
  y_m2_ = y_m1_ = 0.0f;
  fast_count_ = slow_count_ = 0;
  fast_mode_ = false;
}

void PeakDetector::switch_mode(int interval) {
  if (interval < params_.fast_below) {
    ++fast_count_;
    slow_count_ = 0;
  } else if (interval > params_.slow_above) {
    ++slow_count_;
    fast_count_ = 0;
  } else {
    fast_count_ = slow_count_ = 0;
  }
  if (fast_count_ >= params_.mode_beats) fast_mode_ = true;
  if (slow_count_ >= params_.mode_beats) fast_mode_ = false;
}

int PeakDetector::step(float v, float ms_per_step) {
  int result_ms = 0;
  if (v >= threshold_) {
    threshold_ = v;
    rising_ = true;
    decay_count_ = 0;
    reported_ = 0;
    if (v < lowest_) lowest_ = v;
  } else {
    if (rising_) {
      bool beat = false;
      bool not_a_beat = false;
      if (since_peak_ > params_.max_interval) {
        has_amplitude_ = false;
        lowest_ = kNone;
      } else if (!has_amplitude_) {
        has_amplitude_ = true;
        amplitude_ = v;
        lowest_ = v;
      } else if (lowest_ > amplitude_ / params_.trough_ratio) {
        not_a_beat = true;
        if (v < lowest_) lowest_ = v;
      } else if (since_peak_ > params_.min_interval) {
        beat = true;
      } else {
        const float prev = static_cast<float>(prev_reported_);
        if (std::fabs(prev - static_cast<float>(since_peak_)) < 0.1f * prev) {
          beat = true;
        } else {
          has_amplitude_ = false;
          lowest_ = kNone;
        }
      }
      if (beat) {
        const int interval = since_peak_;
        peak_value_ = threshold_;
        amplitude_ = threshold_;
        lowest_ = kNone;
        switch_mode(interval);
        // Vertex of the parabola through the last three inputs; the maximum was the previous input.
        const float y0 = y_m1_, ym = y_m2_, yp = v;
        const float den = 2.0f * y0 - ym - yp;
        float h = 0.0f;
        if (den > 0.0f) {
          h = 0.5f * (yp - ym) / den;
          if (std::fabs(h) > 1.0f) h = 0.0f;
        }
        result_ms = static_cast<int>((static_cast<float>(interval) + h) * ms_per_step);
        if (result_ms < 1) result_ms = 1;
        reported_ = result_ms;
      }
      if (!not_a_beat) since_peak_ = 0;
      rising_ = false;
      just_peaked_ = true;
    }
    if (!rising_ && v < lowest_) lowest_ = v;
    const float decay = fast_mode_ ? params_.fast_decay : params_.slow_decay;
    const int period = fast_mode_ ? params_.fast_period : params_.slow_period;
    const int first_delay = fast_mode_ ? params_.fast_first_delay : params_.slow_first_delay;
    if ((just_peaked_ && decay_count_ > first_delay) || (!just_peaked_ && decay_count_ > period)) {
      threshold_ *= decay;
      decay_count_ = 0;
      just_peaked_ = false;
    }
    if (threshold_ < 0.0f) threshold_ = 0.0f;
  }
  ++decay_count_;
  if (since_peak_ < 1000000) ++since_peak_;
  prev_reported_ = reported_;
  y_m2_ = y_m1_;
  y_m1_ = v;
  return result_ms;
}

void Interpolator::reset() {
  for (int i = 0; i < kMaxFactor; ++i)
    ring1_[i] = ring2_[i] = 0.0f;
  sum1_ = sum2_ = 0.0f;
  pos_ = 0;
  resync_ = 0;
}

void Interpolator::resync() {
  resync_ = 0;
  sum1_ = sum2_ = 0.0f;
  for (int i = 0; i < factor_; ++i) {
    sum1_ += ring1_[i];
    sum2_ += ring2_[i];
  }
}

}  // namespace corvane::ostrel
