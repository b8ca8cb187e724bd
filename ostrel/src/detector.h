#pragma once

#include <cstdint>

#include "agreement_run.h"
#include "autocorrelator.h"
#include "estimates.h"
#include "filters.h"
#include "lock_loss.h"
#include "motion_detector.h"
#include "overtone_place.h"
#include "params.h"
#include "peak_detector.h"
#include "settled_rate.h"
#include "spectrum.h"

namespace corvane::ostrel {

// Small window of ints whose median is the upper middle of its sorted values.
class MedianWindow final {
 public:
  void reset(int len, int prefill) {
    len_ = len < 1 ? 1 : (len > kMaxMedianLen ? kMaxMedianLen : len);
    for (int i = 0; i < len_; ++i)
      values_[i] = prefill;
    pos_ = 0;
    filled_ = 0;
  }
  void push(int v) {
    values_[pos_] = v;
    if (++pos_ >= len_) pos_ = 0;
    if (filled_ < len_) ++filled_;
  }
  int median() const;
  int filled() const { return filled_; }
  int length() const { return len_; }

 private:
  int values_[kMaxMedianLen] = {};
  int len_ = 1, pos_ = 0, filled_ = 0;
};

// Averaging filter of the beat interval: the mean of the last entries (one per decision), with the largest
// and the smallest left out when the window is configured to four or more.
class IntervalAverage final {
 public:
  void reset(int len) {
    len_ = len < 1 ? 1 : (len > kMaxAverageLen ? kMaxAverageLen : len);
    count_ = pos_ = 0;
  }
  void push(float v) {
    values_[pos_] = v;
    if (++pos_ >= len_) pos_ = 0;
    if (count_ < len_) ++count_;
  }
  int count() const { return count_; }
  float mean() const;
  // Standard deviation and excess kurtosis of the entries, in bpm given the frequency offset.
  void spread_bpm(float freq_offset, float& std_bpm, float& kurtosis) const;

 private:
  float values_[kMaxAverageLen] = {};
  int len_ = 1, count_ = 0, pos_ = 0;
};

inline constexpr int kRriCapacity = 1024;

// The detection core: one instance, buffers in caller-supplied work memory.
class Detector final {
 public:
  // Bytes of work memory for the given configuration.
  static int work_bytes(const Params& p);

  Params params{};
  bool sdnn_mode = false;
  bool lh_mode = false;

  // Lays the buffers out in `work` (work_bytes(params) bytes) and resets.
  void attach(void* work);
  bool attached() const { return work_ != nullptr; }
  // Lets go of the caller's work memory, which the caller may free once the instance is closed; the
  // intervals kept in it go with it.
  void detach();
  void reset();
  char process(char enable, float value, float level);

  // Results.
  float average_interval() const { return interval_; }
  // The averaged interval as the caller sees it: while not reported ready it stays in the not-ready range,
  // also when a lock is kept but not reported.
  float shown_interval() const;
  // Ready as reported: locked, the average settled over the last decisions (settled_rate.h), the last
  // decision found the average's rhythm to be a pulse rather than movement, and the pulse's overtone lies
  // where the average says (overtone_place.h).
  bool ready() const { return ready_ && settled_ && rhythm_ == Rhythm::kPulse && overtone_place_.confirms(); }
  bool motion() const { return motion_; }
  float quality() const { return quality_; }
  float hr_std() const { return hr_std_; }
  float kurtosis() const { return kurtosis_; }
  float perfusion_index() const { return pi_; }
  int rri_count() const { return rri_count_; }
  // Copies the collected intervals, oldest first, into out (rri_count() floats).
  void copy_rri(float* out) const;

  // The estimates and state of the last decision, for tracing the detector on a recording.
  struct Trace {
    int n = 0;
    int decisions = 0;
    int p_ms = 0, a_ms = 0, s_ms = 0;
    int chosen = 0;
    float top_fraction = 0.0f;
    int agree = 0;
    int second_peak = 0;
    float overtone_share = 0.0f;  // of the rhythm judged (the average when locked)
    float overtone_pct = 0.0f;    // where that rhythm's overtone lies, percent off twice its rate
    Spectrum::Result peaks;
    bool locked = false;
    // Locked but not reported ready because of: 's' an average not settled or stale, 'm' a rhythm
    // without a pulse's overtone, 'o' the overtone away from twice the average; '-' when reported.
    char held = '-';
    bool warmup_done = false;
  };
  const Trace& trace() const { return trace_; }

 private:
  void warmup_step(float d);
  bool warmup_stable() const;
  void filter_rate_sample(float x);
  void detection_sample(float x);
  // The decision, once per spectrum (decision.cpp).
  struct Choice {
    int interval = -1;  // the interval entered into the average; -1 for none
    int repeats = 1;    // how often the interval median receives it
  };
  void decide(const Spectrum::Result& peaks);
  void update_autocorrelation();
  int pick_spectral_candidate(const Spectrum::Result& peaks) const;
  int pulse_beside_movement(const Spectrum::Result& peaks, int strongest, int usable_autocorrelation) const;
  Estimates usable_estimates(const Spectrum::Result& peaks, int spectral) const;
  void count_second_peak(const Spectrum::Result& peaks, const Estimates& e);
  Choice advance_toward_lock(const Estimates& e, const EstimateSpread& d, bool two_beat_pattern);
  int agreements_needed(float rate_bpm) const;
  // Whether the wave at an interval is a pulse (it carries the overtone a pulse wave has) or steady
  // movement (a sine-like swing has none); kNotYetKnown while the spectrum cannot tell yet.
  enum class Rhythm { kPulse, kMovement, kNotYetKnown };
  Rhythm judge_rhythm(const Spectrum::Result& peaks, int interval_ms) const;
  bool borrowed_overtone(const Spectrum::Result& peaks, int interval_ms) const;
  bool two_beat_pattern(const Estimates& e) const;
  // The autocorrelation measures twice the interval: two beats of it, or one beat at half its rate.
  bool autocorrelation_spans_two(const Estimates& e, int interval_ms) const;
  // The spectrum holds a line at half the interval's rate worth a pulse's fundamental below its overtone.
  bool line_at_half_rate(int interval_ms, float share) const;
  // Readings a second after decimation: the rate of the signal the spectrum and the detectors see.
  float decimated_rate() const {
    return static_cast<float>(params.filter_rate) / static_cast<float>(params.decimation);
  }
  void check_overtone_place(int interval_ms);
  int follow_lock(const Estimates& e, const EstimateSpread& d);
  int choose_while_locked(const Estimates& e, const EstimateSpread& d);
  int check_motion_jump(int chosen);
  int check_overtone_choice(int chosen, const Estimates& e, const EstimateSpread& d);
  void check_lock_loss();
  void enter_interval(int chosen, int repeats);
  void clamp_not_ready();
  // The interval held inside the not-ready range (60-100 bpm by default).
  float held_not_ready(float interval) const;
  void check_settled(bool was_locked, bool fed);
  float shortest_not_ready_interval() const;
  void update_cutoff();
  void push_rri(float ms);

  void* work_ = nullptr;
  float* warmup_ = nullptr;
  float* rri_ = nullptr;

  // Input and warm-up.
  bool has_prev_ = false;
  float prev_value_ = 0.0f;
  float diff_acc_ = 0.0f;
  int diff_n_ = 0;
  int warmup_fill_ = 0;
  int full_calls_ = 0;
  bool warmup_stable_ = false;
  bool warmup_done_ = false;

  // Filters.
  Biquad prefilter_;
  float dec_acc_ = 0.0f;
  int dec_n_ = 0;
  Biquad lowpass_[3];
  Biquad highpass2_;
  FirstOrder highpass1_;
  Biquad smoothing_[2];  // makes q from p  // previous pulse-wave samples for the smoothing of q
  Biquad adaptive_[2];
  float cutoff_interval_ = -1.0f;
  bool cutoff_averaged_ = false;
  int n_ = 0;

  // Stages.
  Autocorrelator acf_;
  MotionDetector motion_detector_;
  Interpolator interp_a_, interp_b_;
  PeakDetector peak_a_, peak_b_;
  float prev_step_a_ = 0.0f, prev_step_b_ = 0.0f;
  Spectrum spectrum_;
  MedianWindow pulse_median_;
  int spectrum_counter_ = 0;

  // Decision.
  int detector_b_ms_ = 0;       // detector B's last interval
  int autocorrelation_ms_ = 0;  // the autocorrelation's interval; -1 while that stage is off
  float quality_ = 0.0f;
  bool motion_ = true;
  bool ready_ = false;
  bool locked_ = false;
  SettledRate settled_rate_;
  bool settled_ = false;
  AgreementRun agreements_;
  LockLoss lock_loss_;
  int second_peak_ = 0;
  Rhythm rhythm_ = Rhythm::kPulse;  // the last decision's judge_rhythm()
  OvertonePlace overtone_place_;
  int decisions_ = 0;
  MedianWindow interval_median_;
  int interval_median_entries_ = 0;
  IntervalAverage average_;
  float interval_ = 900.0f;
  float hr_std_ = 0.0f, kurtosis_ = 0.0f;

  // Perfusion index.
  float dc_level_ = 0.0f;
  float beat_min_ = 0.0f, beat_max_ = 0.0f;
  float pi_ = 0.0f;

  // Collected beat-to-beat intervals (ring).
  int rri_count_ = 0, rri_pos_ = 0;

  Trace trace_;
};

}  // namespace corvane::ostrel
