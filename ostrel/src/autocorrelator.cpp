#include "autocorrelator.h"

#include <cmath>

namespace corvane::ostrel {

int Autocorrelator::memory_bytes(int window, int max_lag) {
  const int len = window + max_lag + 1;
  // Samples are kept twice (a mirrored ring), so that reading back never wraps.
  return 2 * len * static_cast<int>(sizeof(int32_t)) + len * static_cast<int>(sizeof(int64_t)) +
         (max_lag + 1) * static_cast<int>(sizeof(int64_t));
}

void Autocorrelator::attach(void* memory, int window, int min_lag, int max_lag, float pick_ratio) {
  window_ = window;
  min_lag_ = min_lag;
  max_lag_ = max_lag;
  pick_ratio_ = pick_ratio;
  // 64-bit arrays first so they stay aligned.
  auto* base = static_cast<unsigned char*>(memory);
  energy_prefix_ = reinterpret_cast<int64_t*>(base);
  r_ = energy_prefix_ + ring_len();
  samples_ = reinterpret_cast<int32_t*>(r_ + (max_lag_ + 1));
  reset();
}

void Autocorrelator::reset() {
  if (samples_ == nullptr) return;
  for (int i = 0; i < ring_len(); ++i) {
    samples_[i] = samples_[i + ring_len()] = 0;
    energy_prefix_[i] = 0;
  }
  for (int k = 0; k <= max_lag_; ++k)
    r_[k] = 0;
  pos_ = 0;
  total_energy_ = 0;
}

int32_t Autocorrelator::at(int back) const {
  return samples_[pos_ + ring_len() - back];
}

int64_t Autocorrelator::prefix(int back) const {
  int i = pos_ - back;
  if (i < 0) i += ring_len();
  return energy_prefix_[i];
}

void Autocorrelator::push(int32_t x) {
  if (samples_ == nullptr) return;
  const int len = ring_len();
  if (++pos_ >= len) pos_ = 0;
  // The slot being overwritten held the sample window + max_lag + 1 steps back, which no sum needs.
  samples_[pos_] = x;
  samples_[pos_ + len] = x;
  total_energy_ += static_cast<int64_t>(x) * x;
  energy_prefix_[pos_] = total_energy_;
  // newest[-k] is the sample k steps back, oldest[-k] the one window + k steps back.
  const int32_t* newest = samples_ + pos_ + len;
  const int32_t* oldest = newest - window_;
  const int64_t old = *oldest;
  for (int k = 0; k <= max_lag_; ++k) {
    r_[k] += static_cast<int64_t>(x) * newest[-k] - old * oldest[-k];
  }
}

Autocorrelator::Estimate Autocorrelator::estimate(float ms_per_sample) const {
  Estimate none{-1.0f, 0.0f};
  if (samples_ == nullptr) return none;
  const int64_t e0 = prefix(0) - prefix(window_);
  if (e0 <= 0) return none;
  float rho[64 + 2];
  for (int k = min_lag_ - 1; k <= max_lag_; ++k) {
    const int64_t ek = prefix(k) - prefix(k + window_ > ring_len() - 1 ? ring_len() - 1 : k + window_);
    const float denom = std::sqrt(static_cast<float>(e0) * static_cast<float>(ek > 0 ? ek : 1));
    rho[k - (min_lag_ - 1)] = static_cast<float>(r_[k]) / denom;
  }
  auto value = [&](int k) { return rho[k - (min_lag_ - 1)]; };
  float best = 0.0f;
  for (int k = min_lag_; k < max_lag_; ++k) {
    if (value(k) >= value(k - 1) && value(k) > value(k + 1) && value(k) > best) best = value(k);
  }
  if (best <= 0.0f) return none;
  for (int k = min_lag_; k < max_lag_; ++k) {
    const float v = value(k);
    if (v >= value(k - 1) && v > value(k + 1) && v >= pick_ratio_ * best) {
      const float ym = value(k - 1), yp = value(k + 1);
      const float den = 2.0f * v - ym - yp;
      float h = den > 0.0f ? 0.5f * (yp - ym) / den : 0.0f;
      if (std::fabs(h) > 1.0f) h = 0.0f;
      float q = 100.0f * v;
      q = q < 0.0f ? 0.0f : (q > 100.0f ? 100.0f : q);
      return {(static_cast<float>(k) + h) * ms_per_sample, q};
    }
  }
  return none;
}

}  // namespace corvane::ostrel
