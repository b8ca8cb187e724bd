#include "display.h"

#include <cmath>

#include "filters.h"

namespace corvane::ostrel {

void DisplayFilter::open(float rate) {
  rate_ = rate > 1.0f ? rate : 20.0f;
  // Butterworth low-pass at 4 Hz (or 0.4 of the rate, whichever is lower).
  Biquad s;
  float fc = 4.0f;
  if (fc > 0.4f * rate_) fc = 0.4f * rate_;
  design_lowpass_section(s, 1.4142136f, fc, rate_);
  b0_ = s.g * s.b0;
  b1_ = s.g * s.b1;
  b2_ = s.g * s.b2;
  a1_ = s.a1;
  a2_ = s.a2;
  open_ = true;
  reset();
}

void DisplayFilter::reset() {
  baseline_ = 0.0f;
  has_baseline_ = false;
  x1_ = x2_ = y1_ = y2_ = 0.0f;
  for (float& v : ring_)
    v = 0.0f;
  pos_ = count_ = 0;
}

bool DisplayFilter::process(float sample, float& out) {
  if (!open_ || !std::isfinite(sample)) return false;
  if (!has_baseline_) {
    baseline_ = sample;
    has_baseline_ = true;
  }
  // Slow level: exponential average over about 1.5 s.
  baseline_ += (sample - baseline_) / (1.5f * rate_);
  const float x = baseline_ - sample;
  const float y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  ring_[pos_] = y;
  if (++pos_ >= kRing) pos_ = 0;
  if (count_ < kRing) ++count_;
  out = y;
  return true;
}

int DisplayFilter::copy_latest(float* out, int count) const {
  if (out == nullptr || count <= 0) return 0;
  const int n = count < count_ ? count : count_;
  int start = pos_ - n;
  if (start < 0) start += kRing;
  for (int i = 0; i < n; ++i)
    out[i] = ring_[(start + i) % kRing];
  return n;
}

}  // namespace corvane::ostrel
