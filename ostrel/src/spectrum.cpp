#include "spectrum.h"

#include <cmath>

namespace corvane::ostrel {

void Spectrum::attach(void* memory, int bin_lo, int bin_hi, bool power, bool integrate) {
  power_ = power;
  integrate_ = integrate;
  auto* f = static_cast<float*>(memory);
  history_ = f;
  re_ = f + kFftSize;
  im_ = f + 2 * kFftSize;
  mag_ = f + 3 * kFftSize;
  bin_lo_ = bin_lo;
  bin_hi_ = bin_hi < kFftSize / 2 - 2 ? bin_hi : kFftSize / 2 - 2;
  init_fft_tables(tables_);
  for (int i = 0; i < kFftSize; ++i) {
    window_[i] = 0.54f - 0.46f * std::cos(2.0f * 3.14159265f * static_cast<float>(i) /
                                          static_cast<float>(kFftSize - 1));
  }
  reset();
}

void Spectrum::reset() {
  if (history_ == nullptr) return;
  for (int i = 0; i < 4 * kFftSize; ++i)
    history_[i] = 0.0f;
  pos_ = 0;
}

void Spectrum::push(float x) {
  if (history_ == nullptr) return;
  history_[pos_] = x;
  if (++pos_ >= kFftSize) pos_ = 0;
}

Spectrum::Result Spectrum::compute(float rate) {
  Result r;
  if (history_ == nullptr) return r;
  for (int i = 0; i < kFftSize; ++i) {
    int j = pos_ + i;
    if (j >= kFftSize) j -= kFftSize;
    re_[i] = history_[j] * window_[i];
    im_[i] = 0.0f;
  }
  fft128(tables_, re_, im_);
  // Every bin below half the rate: the candidates need bins lo..hi, the overtone test twice their rate.
  for (int k = 0; k < kFftSize / 2; ++k) {
    float power = re_[k] * re_[k] + im_[k] * im_[k];
    if (integrate_ && k > 0) power /= static_cast<float>(k * k);
    mag_[k] = power_ ? power : std::sqrt(power);
  }

  r.total = mag_[2];
  for (int k = bin_lo_; k <= bin_hi_; ++k)
    r.total += mag_[k];
  for (int k = bin_lo_; k <= bin_hi_; ++k) {
    const float v = mag_[k];
    if (!(v > mag_[k - 1] && v > mag_[k + 1])) continue;
    int slot = r.count < 3 ? r.count : 3;
    while (slot > 0 && r.magnitude[slot - 1] < v)
      --slot;
    if (slot >= 3) continue;
    for (int s = 2; s > slot; --s) {
      r.bin[s] = r.bin[s - 1];
      r.magnitude[s] = r.magnitude[s - 1];
    }
    r.bin[slot] = static_cast<uint16_t>(k);
    r.magnitude[slot] = v;
    if (r.count < 3) ++r.count;
  }
  for (int c = 0; c < r.count; ++c) {
    const int k = r.bin[c];
    // Vertex on the plain magnitudes of the transform (see the class comment).
    const float ym = std::sqrt(re_[k - 1] * re_[k - 1] + im_[k - 1] * im_[k - 1]);
    const float y0 = std::sqrt(re_[k] * re_[k] + im_[k] * im_[k]);
    const float yp = std::sqrt(re_[k + 1] * re_[k + 1] + im_[k + 1] * im_[k + 1]);
    const float den = 2.0f * (ym + yp - 2.0f * y0);
    float offset = den != 0.0f ? (ym - yp) / den : 0.0f;
    if (!(std::fabs(offset) <= 1.0f)) offset = 0.0f;  // a local maximum's vertex lies within a bin
    const float kk = static_cast<float>(k) + offset;
    const float ms = 1000.0f / (rate * kk / static_cast<float>(kFftSize));
    r.interval_ms[c] = static_cast<uint16_t>(ms > 65535.0f ? 65535.0f : ms);
  }
  if (r.count > 0 && r.total > 0.0f) {
    const int k0 = r.bin[0];
    r.top_fraction = (mag_[k0 - 1] + mag_[k0] + mag_[k0 + 1]) / r.total;
  }
  return r;
}

}  // namespace corvane::ostrel
