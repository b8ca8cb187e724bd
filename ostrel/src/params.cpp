#include "params.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace corvane::ostrel {
namespace {

PeakParams peak_defaults(uint16_t min_interval) {
  PeakParams p{};
  p.max_interval = 500;
  p.min_interval = min_interval;
  p.trough_ratio = -16.0f;
  p.slow_decay = 0.95f;
  p.slow_period = 6;
  p.slow_first_delay = 24;
  p.fast_decay = 0.9f;
  p.fast_period = 4;
  p.fast_first_delay = 12;
  p.fast_below = 120;
  p.slow_above = 132;
  p.mode_beats = 3;
  return p;
}

template <typename T>
T clamped(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

float finite_or(float v, float fallback, float lo, float hi) {
  if (!std::isfinite(v)) return fallback;
  return clamped(v, lo, hi);
}

}  // namespace

Params default_params(Column column) {
  Params p;
  std::memset(&p, 0, sizeof p);
  p.input_rate = 20;
  p.filter_rate = 20;
  p.detect_rate = 20;
  p.peak_rate = 200;
  p.diff_sum_count = 1;
  p.decimation = 1;
  p.interp_factor = 10;
  p.upsample = 5;
  p.prefilter_on = 0;
  p.lowpass_on = 1;
  p.highpass_on = 1;
  p.interp_filter_on = 1;
  p.warmup_on = 1;
  p.warmup_len = 100;
  p.warmup_passes = 16;
  if (column == Column::k200Hz) {
    p.input_rate = 200;
    p.diff_sum_count = 10;
  } else if (column == Column::k1000Hz) {
    p.input_rate = 1000;
    p.filter_rate = 1000;
    p.decimation = 50;
    p.prefilter_on = 1;
    p.lowpass_on = 0;
    p.warmup_len = 5000;
  }
  p.autocorr_on = 1;
  p.motion_on = 1;
  p.display_on = 1;
  p.debug_on = 0;
  p.two_peak_option = 1;
  p.skip_threshold = 2;
  p.ready_count[0] = 6;
  p.ready_count[1] = 4;
  p.ready_count[2] = 4;
  p.ready_count[3] = 5;
  p.band_edge[0] = 50;
  p.band_edge[1] = 110;
  p.band_edge[2] = 180;
  p.freq_offset = 1.085f;
  p.not_ready_upper_bpm = 100;
  p.not_ready_lower_bpm = 60;
  std::memset(p.ready_counter_th, 5, sizeof p.ready_counter_th);
  p.peak_a = peak_defaults(0);
  p.peak_b = peak_defaults(40);
  p.pulse_median_len = 4;
  p.interval_median_len = 5;
  p.average_len = 3;
  p.median_prefill = 415;
  p.pulse_median_prefill = 0;
  p.min_top_fraction = 0.25f;
  p.second_peak_ratio = 0.5f;
  p.min_quality = 30.0f;
  p.agree_pct = 15.0f;
  p.agree_tight_pct = 10.0f;
  p.locked_near_pct = 5.0f;
  p.locked_one_pct = 4.0f;
  p.locked_jump_pct = 20.0f;
  p.motion_jump_pct = 10.0f;
  p.cutoff_factor = 1.75f;
  p.cutoff_min_hz = 0.5f;
  p.cutoff_max_hz = 4.0f;
  p.initial_interval_ms = 900.0f;
  p.settle_samples = 500;
  p.live_samples = 1500;
  p.spectrum_period = 21;
  p.spectrum_bin_lo = 4;
  p.spectrum_bin_hi = 27;
  p.spectrum_power = 1;
  p.spectrum_integrate = 0;
  p.acf_window = 100;
  p.acf_min_lag = 6;
  p.acf_max_lag = 40;
  p.acf_pick_ratio = 0.6f;
  p.motion_short_len = 20;
  p.motion_hold = 20;
  p.motion_ratio = 8.0f;
  p.motion_block_len = 40;
  p.pi_scale = 1.0f;
  p.pi_min_level = 1.0f;
  p.prefilter_hz = 8.0f;
  p.smoothing_factor = 1.75f;
  p.smoothing_min_hz = 1.75f;
  p.overtone_share = 0.1f;
  p.lock_loss_limit[0] = 5;
  p.lock_loss_limit[1] = 10;
  p.lock_loss_limit[2] = 15;
  return p;
}

void sanitize(Params& p) {
  p.diff_sum_count = clamped<uint16_t>(p.diff_sum_count, 1, 1000);
  p.decimation = clamped<uint16_t>(p.decimation, 1, 1000);
  p.filter_rate = clamped<uint16_t>(p.filter_rate, 1, 60000);
  p.interp_factor = clamped<uint16_t>(p.interp_factor, 1, 32);
  p.warmup_len = clamped<uint16_t>(p.warmup_len, 10, kMaxWarmupLen);
  p.warmup_passes = clamped<uint8_t>(p.warmup_passes, 1, 64);
  p.pulse_median_len = clamped<uint16_t>(p.pulse_median_len, 1, kMaxMedianLen);
  p.interval_median_len = clamped<uint16_t>(p.interval_median_len, 1, kMaxMedianLen);
  p.average_len = clamped<uint16_t>(p.average_len, 1, kMaxAverageLen);
  p.spectrum_period = clamped<uint16_t>(p.spectrum_period, 1, 1000);
  p.spectrum_bin_lo = clamped<uint16_t>(p.spectrum_bin_lo, 2, 60);
  p.spectrum_bin_hi = clamped<uint16_t>(p.spectrum_bin_hi, p.spectrum_bin_lo, 62);
  p.acf_window = clamped<uint16_t>(p.acf_window, 8, kMaxAcfWindow);
  p.acf_max_lag = clamped<uint16_t>(p.acf_max_lag, 2, kMaxAcfLag);
  p.acf_min_lag = clamped<uint16_t>(p.acf_min_lag, 1, static_cast<uint16_t>(p.acf_max_lag - 1));
  p.motion_short_len = clamped<uint16_t>(p.motion_short_len, 1, 1000);
  p.freq_offset = finite_or(p.freq_offset, 1.085f, 0.1f, 10.0f);
  p.initial_interval_ms = finite_or(p.initial_interval_ms, 900.0f, 100.0f, 5000.0f);
  p.cutoff_min_hz = finite_or(p.cutoff_min_hz, 0.5f, 0.05f, 9.0f);
  p.cutoff_max_hz = finite_or(p.cutoff_max_hz, 4.0f, p.cutoff_min_hz, 9.5f);
  p.cutoff_factor = finite_or(p.cutoff_factor, 1.75f, 0.1f, 10.0f);
  p.motion_block_len = clamped<uint16_t>(p.motion_block_len, 1, 10000);
  p.overtone_share = finite_or(p.overtone_share, 0.1f, 0.0f, 1.0f);
  p.smoothing_factor = finite_or(p.smoothing_factor, 1.75f, 0.1f, 10.0f);
  p.smoothing_min_hz = finite_or(p.smoothing_min_hz, 1.75f, 0.2f, 9.0f);
  p.prefilter_hz = finite_or(p.prefilter_hz, 8.0f, 0.5f, 0.45f * static_cast<float>(p.filter_rate));
  for (PeakParams* pk : {&p.peak_a, &p.peak_b}) {
    pk->slow_decay = finite_or(pk->slow_decay, 0.95f, 0.0f, 1.0f);
    pk->fast_decay = finite_or(pk->fast_decay, 0.9f, 0.0f, 1.0f);
    pk->trough_ratio = finite_or(pk->trough_ratio, -16.0f, -1e6f, 1e6f);
    if (pk->trough_ratio == 0.0f) pk->trough_ratio = -16.0f;
    pk->mode_beats = clamped<uint16_t>(pk->mode_beats, 1, 1000);
  }
  if (p.not_ready_lower_bpm < 1) p.not_ready_lower_bpm = 1;
  if (p.not_ready_upper_bpm < p.not_ready_lower_bpm) p.not_ready_upper_bpm = p.not_ready_lower_bpm;
}

}  // namespace corvane::ostrel
