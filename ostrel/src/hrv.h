#pragma once

namespace corvane::ostrel {

struct SdnnResult {
  float raw_sdnn = 0.0f;       // over every collected interval
  float filtered_sdnn = 0.0f;  // over the intervals the outlier filter keeps
  float published = 0.0f;      // raw, unless it exceeds the filtered value by > 25 % or > 5 ms
  float kurtosis = 0.0f;       // excess kurtosis of the kept intervals
  float kept_percent = 0.0f;   // share of intervals kept
  float mean_kept = 0.0f;
  int kept = 0;
};

// SDNN of beat-to-beat intervals (ms). An interval is kept when it lies within 20 % of the median of its
// neighbours (half_width on each side) and within 250..2000 ms: a missed or an extra beat makes an interval
// about double or half its neighbours and would otherwise dominate the deviation. kept_out receives the
// kept intervals (n floats at most).
// Mean, standard deviation and excess kurtosis of n values (all 0 when n < 1).
void moments(const float* v, int n, float& mean, float& sd, float& kurt);

SdnnResult compute_sdnn(const float* rri, int n, int half_width, float* kept_out);

struct HrvResult {
  float lf = 0.0f;  // power 0.04-0.15 Hz, ms^2
  float hf = 0.0f;  // power 0.15-0.40 Hz, ms^2
  float ratio = 0.0f;
};

// Floats of memory the spectral analysis needs for these intervals (the tachogram resampled at 4 Hz).
int hrv_memory_floats(const float* rri, int n);
// The interval series is resampled at 4 Hz by linear interpolation between beats, its mean removed and a
// Hann window applied; the band powers come from a Goertzel evaluation of each DFT bin in the bands.
// Returns false when memory is too small or there is less than 30 s of intervals.
bool compute_hrv(const float* rri, int n, float* memory, int memory_floats, HrvResult& out);

}  // namespace corvane::ostrel
