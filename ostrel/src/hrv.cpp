#include "hrv.h"

#include <cmath>

namespace corvane::ostrel {
namespace {

constexpr float kResampleHz = 4.0f;

float median_of(float* v, int n) {
  for (int i = 1; i < n; ++i) {
    const float x = v[i];
    int j = i;
    while (j > 0 && v[j - 1] > x) {
      v[j] = v[j - 1];
      --j;
    }
    v[j] = x;
  }
  return n % 2 ? v[n / 2] : 0.5f * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace

void moments(const float* v, int n, float& mean, float& sd, float& kurt) {
  mean = sd = kurt = 0.0f;
  if (n < 1) return;
  for (int i = 0; i < n; ++i)
    mean += v[i];
  mean /= static_cast<float>(n);
  float m2 = 0.0f, m4 = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float d = v[i] - mean;
    m2 += d * d;
    m4 += d * d * d * d;
  }
  m2 /= static_cast<float>(n);
  m4 /= static_cast<float>(n);
  sd = std::sqrt(m2);
  kurt = m2 > 0.0f ? m4 / (m2 * m2) - 3.0f : 0.0f;
}

SdnnResult compute_sdnn(const float* rri, int n, int half_width, float* kept_out) {
  SdnnResult r;
  if (n < 2) return r;
  if (half_width < 1) half_width = 1;
  if (half_width > 10) half_width = 10;
  float mean = 0.0f, kurt = 0.0f;
  moments(rri, n, mean, r.raw_sdnn, kurt);
  for (int i = 0; i < n; ++i) {
    float neighbours[21];
    int m = 0;
    for (int j = i - half_width; j <= i + half_width; ++j) {
      if (j >= 0 && j < n && j != i) neighbours[m++] = rri[j];
    }
    const float med = m > 0 ? median_of(neighbours, m) : rri[i];
    const float v = rri[i];
    if (v >= 250.0f && v <= 2000.0f && std::fabs(v - med) <= 0.2f * med) kept_out[r.kept++] = v;
  }
  moments(kept_out, r.kept, r.mean_kept, r.filtered_sdnn, r.kurtosis);
  r.kept_percent = 100.0f * static_cast<float>(r.kept) / static_cast<float>(n);
  const bool raw_inflated = r.raw_sdnn > 1.25f * r.filtered_sdnn || r.raw_sdnn > r.filtered_sdnn + 5.0f;
  r.published = (raw_inflated && r.kept >= 2) ? r.filtered_sdnn : r.raw_sdnn;
  return r;
}

int hrv_memory_floats(const float* rri, int n) {
  float total_ms = 0.0f;
  for (int i = 0; i < n; ++i)
    total_ms += rri[i] > 0.0f ? rri[i] : 0.0f;
  return static_cast<int>(total_ms / 1000.0f * kResampleHz) + 2;
}

bool compute_hrv(const float* rri, int n, float* memory, int memory_floats, HrvResult& out) {
  out = HrvResult{};
  if (memory == nullptr || n < 3) return false;
  const int needed = hrv_memory_floats(rri, n);
  if (memory_floats < needed) return false;
  // Beat times: the end of each interval; the interval's value is placed at its own end.
  float t_end = 0.0f;
  for (int i = 0; i < n; ++i)
    t_end += rri[i] > 0.0f ? rri[i] : 0.0f;
  t_end /= 1000.0f;
  const float t_first = (rri[0] > 0.0f ? rri[0] : 0.0f) / 1000.0f;
  if (t_end - t_first < 30.0f) return false;
  int count = 0;
  int beat = 0;
  float beat_time = t_first;
  float next_time = t_first + (rri[1] > 0.0f ? rri[1] : 0.0f) / 1000.0f;
  for (float t = t_first; t <= t_end && count < memory_floats;
       t = t_first + static_cast<float>(count) / kResampleHz) {
    while (t > next_time && beat + 2 < n) {
      ++beat;
      beat_time = next_time;
      next_time += (rri[beat + 1] > 0.0f ? rri[beat + 1] : 0.0f) / 1000.0f;
    }
    const float span = next_time - beat_time;
    const float frac = span > 0.0f ? (t - beat_time) / span : 0.0f;
    const float clamped = frac < 0.0f ? 0.0f : (frac > 1.0f ? 1.0f : frac);
    memory[count++] = rri[beat] + clamped * (rri[beat + 1] - rri[beat]);
  }
  if (count < 16) return false;
  float mean = 0.0f;
  for (int i = 0; i < count; ++i)
    mean += memory[i];
  mean /= static_cast<float>(count);
  float window_power = 0.0f;
  for (int i = 0; i < count; ++i) {
    const float w =
        0.5f - 0.5f * std::cos(2.0f * 3.14159265f * static_cast<float>(i) / static_cast<float>(count - 1));
    memory[i] = (memory[i] - mean) * w;
    window_power += w * w;
  }
  // One-sided periodogram in ms^2 per bin, summed over each band.
  const float df = kResampleHz / static_cast<float>(count);
  for (int k = 1; k < count / 2; ++k) {
    const float f = static_cast<float>(k) * df;
    if (f < 0.04f || f > 0.40f) continue;
    const float w = 2.0f * 3.14159265f * static_cast<float>(k) / static_cast<float>(count);
    const float coeff = 2.0f * std::cos(w);
    float s1 = 0.0f, s2 = 0.0f;
    for (int i = 0; i < count; ++i) {
      const float s0 = memory[i] + coeff * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    const float power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    const float psd = 2.0f * power / (static_cast<float>(count) * window_power);
    if (f < 0.15f)
      out.lf += psd;
    else
      out.hf += psd;
  }
  out.ratio = out.hf > 0.0f ? out.lf / out.hf : 0.0f;
  return true;
}

}  // namespace corvane::ostrel
