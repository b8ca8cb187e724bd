#pragma once

#include <cstddef>
#include <cstdint>

#include "ostrel.h"

namespace corvane::ostrel {

// Tuning of one peak detector; both detectors share the layout.
#pragma pack(push, 1)
struct PeakParams {
  uint16_t max_interval;  // steps after which a stored peak amplitude is forgotten
  uint16_t min_interval;  // steps a beat must lie after the previous one
  float trough_ratio;     // the trough since the last beat must reach amplitude / ratio
  float slow_decay;       // threshold decay factor, decay period and first delay in slow mode
  uint16_t slow_period;
  uint16_t slow_first_delay;
  float fast_decay;  // the same in fast mode
  uint16_t fast_period;
  uint16_t fast_first_delay;
  uint16_t fast_below;  // an interval below this many steps counts toward fast mode
  uint16_t slow_above;  // one above this many steps toward slow mode
  uint16_t mode_beats;  // consecutive beats that switch the mode
  uint8_t reserved[2];
};

// The 536-byte parameter block. The leading fields up to the frequency offset are the documented
// interface; the rest holds the detector's tuning so that HRD_GetHRDParam / HRDOpenParam round-trip it.
struct Params {
  uint16_t input_rate;           // 0
  uint16_t filter_rate;          // 2
  uint16_t detect_rate;          // 4
  uint16_t peak_rate;            // 6
  uint16_t diff_sum_count;       // 8
  uint16_t decimation;           // 10
  uint16_t interp_factor;        // 12
  uint16_t upsample;             // 14
  uint8_t prefilter_on;          // 16
  uint8_t lowpass_on;            // 17
  uint8_t highpass_on;           // 18
  uint8_t interp_filter_on;      // 19
  uint8_t autocorr_on;           // 20
  uint8_t motion_on;             // 21
  uint8_t display_on;            // 22
  uint8_t debug_on;              // 23
  uint8_t two_peak_option;       // 24
  uint8_t spectrum_power;        // 25: 1 powers, 0 magnitudes
  uint8_t warmup_on;             // 26
  uint8_t reserved27;            // 27
  uint16_t warmup_len;           // 28
  uint8_t warmup_passes;         // 30
  uint8_t skip_threshold;        // 31
  uint8_t ready_count[4];        // 32: agreement counts per rate band
  uint16_t band_edge[3];         // 36: band edges in bpm (lo, mid, hi)
  uint16_t reserved42;           // 42
  float freq_offset;             // 44
  int32_t not_ready_upper_bpm;   // 48
  int32_t not_ready_lower_bpm;   // 52
  uint8_t ready_counter_th[12];  // 56: six thresholds, each stored twice
  PeakParams peak_a;             // 68
  PeakParams peak_b;             // 100
  uint16_t pulse_median_len;     // 132
  uint16_t interval_median_len;  // 134
  uint16_t average_len;          // 136
  int16_t median_prefill;        // 138: interval median window, ms
  float min_top_fraction;        // 140
  float second_peak_ratio;       // 144
  float min_quality;             // 148
  float agree_pct;               // 152
  float agree_tight_pct;         // 156
  float locked_near_pct;         // 160
  float locked_one_pct;          // 164
  float locked_jump_pct;         // 168
  float motion_jump_pct;         // 172
  float cutoff_factor;           // 176
  float cutoff_min_hz;           // 180
  float cutoff_max_hz;           // 184
  float initial_interval_ms;     // 188
  uint16_t settle_samples;       // 192
  uint16_t live_samples;         // 194
  uint16_t spectrum_period;      // 196
  uint16_t spectrum_bin_lo;      // 198
  uint16_t spectrum_bin_hi;      // 200
  uint16_t acf_window;           // 202
  uint16_t acf_min_lag;          // 204
  uint16_t acf_max_lag;          // 206
  float acf_pick_ratio;          // 208
  uint16_t motion_short_len;     // 212
  uint16_t motion_hold;          // 214
  float motion_ratio;            // 216
  uint16_t motion_block_len;     // 220: samples per block of the resting level (8 blocks)
  uint16_t reserved222;          // 222
  float pi_scale;                // 224
  float pi_min_level;            // 228
  float prefilter_hz;            // 232
  uint8_t lock_loss_limit[3];    // 236: nothing near, refused, motion jumps (lock_loss.h)
  uint8_t spectrum_integrate;    // 239: 1 weights the spectrum by 1/f (the pulse wave, not its slope)
  float smoothing_min_hz;        // 240: lowest cutoff of the smoothing that makes q from p
  float overtone_share;          // 244: share of the top power an overtone's fundamental needs (0: off)
  int16_t pulse_median_prefill;  // 248: pulse-wave median window (wave units)
  float smoothing_factor;        // 250: the smoothing's cutoff in multiples of the averaged beat rate
  uint8_t reserved[OSTREL_PARAM_BYTES - 254];
};
#pragma pack(pop)

static_assert(sizeof(Params) == OSTREL_PARAM_BYTES);
static_assert(offsetof(Params, diff_sum_count) == 8);
static_assert(offsetof(Params, prefilter_on) == 16);
static_assert(offsetof(Params, interp_filter_on) == 19);
static_assert(offsetof(Params, warmup_on) == 26);
static_assert(offsetof(Params, warmup_len) == 28);
static_assert(offsetof(Params, warmup_passes) == 30);
static_assert(offsetof(Params, freq_offset) == 44);
static_assert(offsetof(Params, peak_a) == 68 && sizeof(PeakParams) == 32);

enum class Column { k20Hz, k200Hz, k1000Hz };

// The defaults of one column.
Params default_params(Column column);

// Brings every field a caller may have set into the range the detector's buffers and loops rely on,
// so that no parameter block can make it read or write outside its memory.
void sanitize(Params& p);

// Largest warm-up buffer the work memory is laid out for.
inline constexpr int kMaxWarmupLen = 5000;
inline constexpr int kMaxAcfWindow = 160;
inline constexpr int kMaxAcfLag = 60;
inline constexpr int kMaxMedianLen = 9;
inline constexpr int kMaxAverageLen = 32;

}  // namespace corvane::ostrel
