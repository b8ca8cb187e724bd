#include "harmonics.h"

#include <cmath>

namespace corvane::ostrel {
namespace {

bool within_10_pct(int ms, int of) {
  return ms > 0 && pct_of_larger(ms, of) < 10;
}

// The larger of the two bins around fractional bin k.
float around(const float* power, float k) {
  const int lo = static_cast<int>(k);
  return power[lo] > power[lo + 1] ? power[lo] : power[lo + 1];
}

// Whether a candidate with at least a tenth of the strongest one's power lies within 8 % of interval_ms.
bool has_line_at(const Spectrum::Result& peaks, int interval_ms) {
  for (int c = 0; c < peaks.count; ++c)
    if (peaks.magnitude[c] >= 0.1f * peaks.magnitude[0] &&
        pct_of_larger(peaks.interval_ms[c], interval_ms) < 8)
      return true;
  return false;
}

}  // namespace

int pct_of_larger(int a, int b) {
  const int m = a > b ? a : b;
  if (m <= 0) return 100;
  const int diff = a > b ? a - b : b - a;
  return static_cast<int>(100.0f * static_cast<float>(diff) / static_cast<float>(m));
}

bool overtone_related(int a, int b) {
  if (a <= 0 || b <= 0) return false;
  const float r =
      a > b ? static_cast<float>(a) / static_cast<float>(b) : static_cast<float>(b) / static_cast<float>(a);
  return std::fabs(r - 2.0f) < 0.16f || std::fabs(r - 3.0f) < 0.24f || std::fabs(r - 4.0f) < 0.32f;
}

int fundamental_interval(const Spectrum::Result& peaks, float overtone_share, int p_ms, int a_ms) {
  const int strongest = peaks.interval_ms[0];
  int s = strongest;
  if (overtone_share <= 0.0f) return s;
  for (int c = 1; c < peaks.count; ++c) {
    const int candidate = peaks.interval_ms[c];
    if (peaks.magnitude[c] < overtone_share * peaks.magnitude[0]) continue;
    const bool overtone = candidate > strongest && overtone_related(candidate, strongest);
    // Lines at one, two and three times the candidate's rate, the third the strongest, are also what a
    // two-beat pattern of beats at twice that rate shows (alternating beats, or a pulse under a swing at
    // 1.5 times its rate: cinc2015_a103l at 128 bpm locked at 64). The autocorrelation measures that
    // pattern's length either way, so only detector B's beats tell a slow pulse from it.
    const bool pattern = pct_of_larger(candidate, 3 * strongest) < 8 && has_line_at(peaks, candidate / 2);
    const bool beats_agree = within_10_pct(p_ms, candidate) || (!pattern && within_10_pct(a_ms, candidate));
    if (overtone && beats_agree && candidate > s) s = candidate;
  }
  return s;
}

float rival_share(const Spectrum::Result& peaks, int fundamental, int p_ms, int a_ms, bool skip_overtones) {
  if (peaks.count < 2 || peaks.magnitude[0] <= 0.0f) return 0.0f;
  // Beats that alternate, in strength or in spacing (bigeminy, an alternating pulse), make the wave repeat
  // every second beat: the autocorrelation then measures that two-beat pattern, and the spectrum shows the
  // pattern's harmonics at half, one and a half and twice the beats' rate beside the beats themselves.
  // Taken for a rival, the peak at 1.5 times the rate doubled the agreements a lock needs while the
  // alternation lasted (a 60-s period each of bidmc_17 and bidmc_53 gave no result although the estimates
  // agreed on the beats' rate). Only a pattern of two beats: with the autocorrelation at any multiple of
  // the fundamental's interval, bidmc_41 gave a result 10 bpm off.
  const bool alternating = skip_overtones && within_10_pct(a_ms, 2 * fundamental);
  const bool confirmed =
      alternating ||
      (skip_overtones && (within_10_pct(p_ms, fundamental) || within_10_pct(a_ms, fundamental)));
  for (int c = 1; c < peaks.count; ++c) {
    const int candidate = peaks.interval_ms[c];
    if (confirmed && (within_10_pct(candidate, fundamental) || overtone_related(fundamental, candidate)))
      continue;
    if (alternating && (within_10_pct(candidate, a_ms) || overtone_related(a_ms, candidate))) continue;
    return peaks.magnitude[c] / peaks.magnitude[0];
  }
  return 0.0f;
}

float overtone_share(const float* power, int bins, float rate, int interval_ms) {
  if (interval_ms <= 0 || rate <= 0.0f) return -1.0f;
  const float k = static_cast<float>(kFftSize) * 1000.0f / (rate * static_cast<float>(interval_ms));
  if (k < 1.0f || 2.0f * k + 1.0f >= static_cast<float>(bins)) return -1.0f;
  const float fundamental = around(power, k);
  return fundamental > 0.0f ? around(power, 2.0f * k) / fundamental : -1.0f;
}

float power_at(const float* power, int bins, float rate, int interval_ms) {
  if (interval_ms <= 0 || rate <= 0.0f) return 0.0f;
  const float k = static_cast<float>(kFftSize) * 1000.0f / (rate * static_cast<float>(interval_ms));
  if (k < 1.0f || k + 1.0f >= static_cast<float>(bins)) return 0.0f;
  return around(power, k);
}

float overtone_offset_pct(const float* power, int bins, float rate, int interval_ms) {
  if (interval_ms <= 0 || rate <= 0.0f) return 0.0f;
  const float k = static_cast<float>(kFftSize) * 1000.0f / (rate * static_cast<float>(interval_ms));
  const int centre = static_cast<int>(2.0f * k + 0.5f);
  if (k < 1.0f || centre - 2 < 1 || centre + 2 >= bins) return 0.0f;
  int top = centre - 1;
  for (int b = centre; b <= centre + 1; ++b)
    if (power[b] > power[top]) top = b;
  // Only a local maximum is a peak; a slope running out of the window is not.
  if (!(power[top] > power[top - 1] && power[top] > power[top + 1])) return 0.0f;
  const float ym = std::sqrt(power[top - 1]), y0 = std::sqrt(power[top]), yp = std::sqrt(power[top + 1]);
  const float den = 2.0f * (ym + yp - 2.0f * y0);
  float h = den != 0.0f ? (ym - yp) / den : 0.0f;
  if (!(std::fabs(h) <= 1.0f)) h = 0.0f;
  return 100.0f * ((static_cast<float>(top) + h) / (2.0f * k) - 1.0f);
}

}  // namespace corvane::ostrel
