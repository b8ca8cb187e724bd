#include "detector.h"

#include <cmath>

#include "hrv.h"

namespace corvane::ostrel {
namespace {

int align8(int bytes) {
  return (bytes + 7) & ~7;
}

int32_t to_int_clamped(float v) {
  // Keeps products of two samples summed over the autocorrelation window inside 64 bits.
  constexpr float kLimit = 16777216.0f;
  if (!(v > -kLimit)) return -16777216;
  if (!(v < kLimit)) return 16777216;
  return static_cast<int32_t>(std::lround(v));
}

}  // namespace

int MedianWindow::median() const {
  int sorted[kMaxMedianLen];
  for (int i = 0; i < len_; ++i) {
    int v = values_[i];
    int j = i;
    while (j > 0 && sorted[j - 1] > v) {
      sorted[j] = sorted[j - 1];
      --j;
    }
    sorted[j] = v;
  }
  return sorted[len_ / 2];
}

float IntervalAverage::mean() const {
  if (count_ == 0) return 0.0f;
  float sum = 0.0f, lo = values_[0], hi = values_[0];
  for (int i = 0; i < count_; ++i) {
    sum += values_[i];
    if (values_[i] < lo) lo = values_[i];
    if (values_[i] > hi) hi = values_[i];
  }
  if (count_ >= 4) return (sum - lo - hi) / static_cast<float>(count_ - 2);
  return sum / static_cast<float>(count_);
}

void IntervalAverage::spread_bpm(float freq_offset, float& std_bpm, float& kurtosis) const {
  std_bpm = 0.0f;
  kurtosis = 0.0f;
  if (count_ < 2) return;
  float bpm[kMaxAverageLen];
  for (int i = 0; i < count_; ++i)
    bpm[i] = values_[i] > 0.0f ? freq_offset * 60000.0f / values_[i] : 0.0f;
  float mean = 0.0f;
  moments(bpm, count_, mean, std_bpm, kurtosis);
}

int Detector::work_bytes(const Params& raw) {
  Params p = raw;
  sanitize(p);
  int bytes = 0;
  bytes += align8(Autocorrelator::memory_bytes(p.acf_window, p.acf_max_lag));
  bytes += align8(Spectrum::memory_bytes());
  bytes += align8(p.warmup_len * static_cast<int>(sizeof(float)));
  bytes += align8(kRriCapacity * static_cast<int>(sizeof(float)));
  return bytes + 8;  // room to align a block the caller did not align
}

void Detector::attach(void* work) {
  sanitize(params);
  work_ = work;
  auto* base = static_cast<unsigned char*>(work);
  base += (8 - reinterpret_cast<uintptr_t>(base) % 8) % 8;
  int offset = 0;
  acf_.attach(base + offset, params.acf_window, params.acf_min_lag, params.acf_max_lag,
              params.acf_pick_ratio);
  offset += align8(Autocorrelator::memory_bytes(params.acf_window, params.acf_max_lag));
  spectrum_.attach(base + offset, params.spectrum_bin_lo, params.spectrum_bin_hi, params.spectrum_power != 0,
                   params.spectrum_integrate != 0);
  offset += align8(Spectrum::memory_bytes());
  warmup_ = reinterpret_cast<float*>(base + offset);
  offset += align8(params.warmup_len * static_cast<int>(sizeof(float)));
  rri_ = reinterpret_cast<float*>(base + offset);
  reset();
}

void Detector::detach() {
  work_ = nullptr;
  warmup_ = nullptr;
  rri_ = nullptr;
  rri_count_ = rri_pos_ = 0;
}

void Detector::reset() {
  if (work_ == nullptr) return;
  sanitize(params);
  const Params& p = params;
  has_prev_ = false;
  prev_value_ = 0.0f;
  diff_acc_ = 0.0f;
  diff_n_ = 0;
  for (int i = 0; i < p.warmup_len; ++i)
    warmup_[i] = 0.0f;
  warmup_fill_ = 0;
  full_calls_ = 0;
  warmup_stable_ = false;
  warmup_done_ = p.warmup_on == 0;

  design_lowpass_section(prefilter_, 1.4142136f, p.prefilter_hz, static_cast<float>(p.filter_rate));
  prefilter_.clear();
  dec_acc_ = 0.0f;
  dec_n_ = 0;
  make_input_lowpass(lowpass_);
  make_input_highpass(highpass2_, highpass1_);
  smoothing_[0].clear();
  smoothing_[1].clear();
  adaptive_[0].clear();
  adaptive_[1].clear();
  cutoff_interval_ = -1.0f;
  n_ = 0;

  acf_.reset();
  motion_detector_.configure(p.motion_short_len, p.motion_hold, p.motion_ratio, p.motion_block_len);
  motion_detector_.reset();
  interp_a_.configure(p.interp_factor, p.interp_filter_on != 0);
  interp_b_.configure(p.interp_factor, p.interp_filter_on != 0);
  peak_a_.configure(p.peak_a);
  peak_b_.configure(p.peak_b);
  peak_a_.reset();
  peak_b_.reset();
  prev_step_a_ = prev_step_b_ = 0.0f;
  spectrum_.reset();
  pulse_median_.reset(p.pulse_median_len, p.pulse_median_prefill);
  spectrum_counter_ = 0;

  detector_b_ms_ = 0;
  autocorrelation_ms_ = 0;
  quality_ = p.autocorr_on ? 0.0f : 100.0f;
  motion_ = true;
  ready_ = false;
  locked_ = false;
  settled_rate_.reset();
  settled_ = false;
  agreements_.reset();
  lock_loss_.reset();
  second_peak_ = 0;
  rhythm_ = Rhythm::kPulse;
  overtone_place_.reset();
  decisions_ = 0;
  interval_median_.reset(p.interval_median_len, p.median_prefill);
  interval_median_entries_ = 0;
  average_.reset(p.average_len);
  interval_ = p.initial_interval_ms;
  hr_std_ = kurtosis_ = 0.0f;
  dc_level_ = 0.0f;
  beat_min_ = beat_max_ = 0.0f;
  pi_ = 0.0f;
  rri_count_ = rri_pos_ = 0;
  update_cutoff();
  trace_ = Trace{};
}

char Detector::process(char enable, float value, float level) {
  if (work_ == nullptr) return 0;
  if (enable != 1) {
    reset();
    return 0;
  }
  // A reading that cannot come from the sensor is dropped before it touches any state: a NaN or an
  // infinity inside a recursive filter would stay there until the next reset.
  if (!std::isfinite(value) || !std::isfinite(level) || value < 0.0f || value > 4294967296.0f) return 0;
  const float d = has_prev_ ? prev_value_ - value : 0.0f;
  prev_value_ = value;
  has_prev_ = true;
  if (level == 0.0f) return 0;

  const float alpha = 1.0f / (2.0f * static_cast<float>(params.filter_rate));
  dc_level_ = dc_level_ == 0.0f ? value : dc_level_ + alpha * (value - dc_level_);
  if (value < beat_min_ || beat_min_ == 0.0f) beat_min_ = value;
  if (value > beat_max_) beat_max_ = value;

  float x = d;
  if (params.diff_sum_count > 1) {
    diff_acc_ += d;
    if (++diff_n_ < params.diff_sum_count) return ready() ? 1 : 0;
    x = diff_acc_;
    diff_acc_ = 0.0f;
    diff_n_ = 0;
  }
  if (!warmup_done_) {
    warmup_step(x);
  } else {
    filter_rate_sample(x);
  }
  return ready() ? 1 : 0;
}

bool Detector::warmup_stable() const {
  const int len = params.warmup_len;
  const int win = len * 2 / 5;
  const int hop = len / 10;
  float s[6];
  for (int w = 0; w < 6; ++w) {
    const float* x = warmup_ + w * hop;
    float mean = 0.0f;
    for (int i = 0; i < win; ++i)
      mean += x[i];
    mean /= static_cast<float>(win);
    float var = 0.0f;
    for (int i = 0; i < win; ++i)
      var += (x[i] - mean) * (x[i] - mean);
    s[w] = std::sqrt(var / static_cast<float>(win));
  }
  const float m = 0.5f * (s[4] + s[5]);
  for (int w = 0; w < 4; ++w) {
    if (s[w] > m + 0.5f * m) return false;
  }
  return true;
}

void Detector::warmup_step(float d) {
  const int len = params.warmup_len;
  if (warmup_stable_) {
    // The first sample after the buffer turned stable is dropped; the buffer is replayed instead,
    // alternately backwards and forwards, so the filters start settled on this very signal.
    const int passes = params.warmup_passes - 1;
    for (int pass = 0; pass < passes; ++pass) {
      if (pass % 2 == 0) {
        for (int i = len - 1; i >= 0; --i)
          filter_rate_sample(warmup_[i]);
      } else {
        for (int i = 0; i < len; ++i)
          filter_rate_sample(warmup_[i]);
      }
    }
    warmup_done_ = true;
    trace_.warmup_done = true;
    return;
  }
  if (params.debug_on) {
    // Debug mode: no stability check; the buffer takes the current sample throughout and counts as
    // stable at once.
    for (int i = 0; i < len; ++i)
      warmup_[i] = d;
    warmup_fill_ = len;
    warmup_stable_ = true;
    return;
  }
  for (int i = 1; i < len; ++i)
    warmup_[i - 1] = warmup_[i];
  warmup_[len - 1] = d;
  if (warmup_fill_ < len) ++warmup_fill_;
  if (warmup_fill_ < len) return;
  ++full_calls_;
  const int period = params.filter_rate;  // one check per second of input
  if ((full_calls_ - 1) % period == 0 && warmup_stable()) {
    warmup_stable_ = true;
  } else if (full_calls_ >= params.skip_threshold * period) {
    warmup_stable_ = true;
  }
}

void Detector::filter_rate_sample(float x) {
  if (params.prefilter_on) x = prefilter_.step(x);
  if (params.decimation > 1) {
    dec_acc_ += x;
    if (++dec_n_ < params.decimation) return;
    x = dec_acc_;
    dec_acc_ = 0.0f;
    dec_n_ = 0;
  }
  detection_sample(x);
}

void Detector::update_cutoff() {
  const bool averaged = average_.count() > 0;
  if (interval_ == cutoff_interval_ && averaged == cutoff_averaged_) return;
  cutoff_interval_ = interval_;
  cutoff_averaged_ = averaged;
  float fc = params.cutoff_factor * 1000.0f / interval_;
  if (fc < params.cutoff_min_hz) fc = params.cutoff_min_hz;
  if (fc > params.cutoff_max_hz) fc = params.cutoff_max_hz;
  const float rate = decimated_rate();
  design_adaptive_lowpass(adaptive_, fc, rate);

  // The smoothing that makes q follows the averaged beat rate as well, so that detector B sees the
  // fundamental without the overtones and sensor noise above it; its floor keeps an average that is too
  // slow (it is held at 60 bpm or more until ready) from filtering away a faster true rhythm. Until the
  // first estimates reach the average it holds its reset value, which says nothing of the rhythm: the
  // smoothing then assumes the fastest rate a not-ready average can show, so that its cutoff falls rather
  // than rises when the estimates arrive. A rising cutoff raises the power of q at a fast rhythm, and the
  // motion detector would take that for movement.
  const float basis = averaged ? interval_ : shortest_not_ready_interval();
  float fq = params.smoothing_factor * 1000.0f / basis;
  if (fq < params.smoothing_min_hz) fq = params.smoothing_min_hz;
  if (fq > params.cutoff_max_hz) fq = params.cutoff_max_hz;
  if (fq > 0.45f * rate) fq = 0.45f * rate;
  design_lowpass_section(smoothing_[0], 1.4142136f, fq, rate);
  design_lowpass_section(smoothing_[1], 1.4142136f, fq, rate);
}

void Detector::push_rri(float ms) {
  rri_[rri_pos_] = ms;
  if (++rri_pos_ >= kRriCapacity) rri_pos_ = 0;
  if (rri_count_ < kRriCapacity) ++rri_count_;
}

void Detector::copy_rri(float* out) const {
  const int start = rri_count_ < kRriCapacity ? 0 : rri_pos_;
  for (int i = 0; i < rri_count_; ++i)
    out[i] = rri_[(start + i) % kRriCapacity];
}

void Detector::detection_sample(float x) {
  if (params.lowpass_on) {
    x = lowpass_[0].step(x);
    x = lowpass_[1].step(x);
    x = lowpass_[2].step(x);
  }
  if (params.highpass_on) {
    x = highpass2_.step(x);
    x = highpass1_.step(x);
  }
  const float p = x;
  ++n_;
  trace_.n = n_;
  if (n_ <= params.settle_samples) return;

  // Smoothing: two 2nd-order Butterworth sections at 1.75 times the averaged beat rate, at least 1.75 Hz
  // (see README and update_cutoff): keeps the fundamental, takes most of the dicrotic wave and of the
  // camera/sensor noise off detector B.
  const float q = smoothing_[1].step(smoothing_[0].step(p));

  if (params.autocorr_on) acf_.push(to_int_clamped(q));
  motion_ = (params.motion_on && !params.debug_on) ? motion_detector_.step(q) : false;

  update_cutoff();
  const float o = adaptive_[1].step(adaptive_[0].step(p));

  const float rate = decimated_rate();
  const int factor = params.interp_factor;
  const float ms_per_step = 1000.0f / (rate * static_cast<float>(factor));
  int beat_a = 0, beat_b = 0;
  for (int s = 0; s < factor; ++s) {
    const float vb = interp_b_.step(q);
    const float va = interp_a_.step(o);
    const int rb = peak_b_.step(prev_step_b_, ms_per_step);
    const int ra = peak_a_.step(prev_step_a_, ms_per_step);
    prev_step_b_ = vb;
    prev_step_a_ = va;
    if (rb > 0 && beat_b == 0) beat_b = rb;
    if (ra > 0 && beat_a == 0) beat_a = ra;
  }
  if (beat_b > 2) {
    detector_b_ms_ = beat_b;
    if (beat_max_ > beat_min_ && dc_level_ > params.pi_min_level) {
      pi_ = params.pi_scale * 100.0f * (beat_max_ - beat_min_) / dc_level_;
    }
    beat_min_ = beat_max_ = 0.0f;
  }

  if (n_ < params.live_samples) return;
  if (beat_a > 2 && ready_) push_rri(static_cast<float>(beat_a) / params.freq_offset);
  pulse_median_.push(to_int_clamped(p));
  spectrum_.push(static_cast<float>(pulse_median_.median()));
  if (++spectrum_counter_ >= params.spectrum_period) {
    spectrum_counter_ = 0;
    const Spectrum::Result peaks = spectrum_.compute(rate);
    decide(peaks);
  }
}

void Detector::enter_interval(int chosen, int repeats) {
  for (int i = 0; i < repeats; ++i)
    interval_median_.push(chosen);
  interval_median_entries_ += repeats;
  if (interval_median_entries_ * 2 > interval_median_.length()) {
    const float m = static_cast<float>(interval_median_.median());
    // The averaging filter receives the median once per repeat but keeps one entry per decision: the
    // repeats of an unlocked decision would otherwise let a single early estimate fill its window.
    average_.push(m);
  }
  if (average_.count() > 0) interval_ = average_.mean();
  average_.spread_bpm(params.freq_offset, hr_std_, kurtosis_);
}

float Detector::shortest_not_ready_interval() const {
  return params.freq_offset * 60000.0f / static_cast<float>(params.not_ready_upper_bpm);
}

float Detector::held_not_ready(float interval) const {
  const float shortest = shortest_not_ready_interval();
  const float longest = params.freq_offset * 60000.0f / static_cast<float>(params.not_ready_lower_bpm);
  return interval < shortest ? shortest : (interval > longest ? longest : interval);
}

float Detector::shown_interval() const {
  return ready() ? interval_ : held_not_ready(interval_);
}

void Detector::clamp_not_ready() {
  if (!ready_) interval_ = held_not_ready(interval_);
}

}  // namespace corvane::ostrel
