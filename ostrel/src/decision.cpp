// The decision, once per spectrum: it weighs the spectral candidate, detector B's interval and the
// autocorrelation's interval against each other and against the averaged interval, counts agreements
// toward a lock while unlocked, and while locked chooses the estimate that keeps the lock or counts
// toward losing it.
#include <cmath>

#include "detector.h"
#include "harmonics.h"

namespace corvane::ostrel {
namespace {

// The overtone share (see overtone_share) below which a rhythm is taken for movement. On the recordings
// of data/ppg with a regular rhythm the candidate's share is 0.08 or more in nine decisions of ten (lowest
// on the fastest records, whose overtone meets the input low-pass), 0.04-0.07 on the irregular ones;
// steady periodic motion that dominates the wave gives 0.00-0.03 (what it has comes from the median
// filter before the spectrum, which bends a sine). Judged on eleven clean recordings with synthetic
// motion: a few recordings, so the limit sits low in the gap rather than tuned to them.
constexpr float kMinOvertoneShare = 0.05f;
constexpr int kOvertoneBins = 32;

// The least power, as a share of the strongest candidate's, of a slower candidate that gives a fast
// rhythm away as movement (see judge_rhythm). Under a swing of half their range the camera recordings'
// pulse keeps only 2-5 % of the swing's power and still shows its overtone; a clean fast wave has nothing
// below it once the reset's transient has left the window (130-200 bpm lock as before). Set by one
// recording, far-050_welltory_s20 (0.05 left it locked at the swing's 157 bpm): with so few cases the
// figure fits them rather than being measured.
constexpr float kRivalShare = 0.02f;

// A pulse under a swing at 1.5 times its rate (see borrowed_overtone): how close to two thirds of the
// rhythm's rate, in percent of the longer interval (the tolerance of overtone_related), and the least
// power as a share of the strongest candidate's. Under the motion set's such swings at half to the full
// pulse amplitude the pulse holds 0.2-0.7 of the swing's power; at twice the amplitude it falls to about
// 0.1 and nothing else measures it any more.
constexpr int kTwoThirdsPct = 8;
constexpr float kTwoThirdsShare = 0.1f;

// The most power at half the spectral candidate's rate, as a share of the power at that rate, for the
// autocorrelation at twice its interval to count as a two-beat pattern of its beats (see
// two_beat_pattern). The pulse's fundamental below an overtone candidate holds a tenth or more. 0.05
// and 0.02 refused the pattern under many of the 1.5-times swings as well (at the pulse's amplitude 28
// and 15 60-s results of 47 instead of 38); 0.2 gave one more result on bidmc_17, 6.7 bpm off.
constexpr float kHalfRateShare = 0.1f;

// The least power at half the chosen interval's rate, as a share of the power at that rate, for the
// autocorrelation at twice the interval to be taken for a fall to half the rate while locked (see
// check_overtone_choice). A synthetic fall from 110 to 57 bpm holds 0.3 one decision after the
// autocorrelation has found the new rate and 0.7-1 from the next on. 0.1, the bound of the two-beat
// pattern, and 0.2 refused locks of the recordings as well (bidmc_17 two 60-s results fewer, welltory_s14
// 2 bpm further off); 0.4 ends the lock on the fall one decision later.
constexpr float kHalfRateBeatsShare = 0.3f;

// The least power, as a share of a dominating swing's, of the pulse candidate taken beside it (see
// pulse_beside_movement): the share a candidate needs to count for the second-peak test as well.
constexpr float kPulseBesideMovementShare = 0.1f;

// How far the averages of the last 8 s of a lock may spread, in percent of the longest, for the lock to be
// reported: the step the locked decision already treats as a jump under motion. A resting heart's
// breathing swing stays well inside it; a surge such as welltory_s07's 68 -> 83 bpm in 15 s does not.
// 4-12 % were compared on data/ppg: tighter limits cost results on the regular BIDMC records and on the
// camera recordings in 30-s periods for little gain, and with this few swings in the data any finer
// choice would fit noise.
constexpr float kSettledPct = 10.0f;

// Decisions in a row that may enter nothing into the average before the lock stops being reported. An
// average nobody feeds is not settled, it is stale: on bidmc_45, whose rate swings between about 50 and
// 75 bpm, the low phase gave estimates the locked decision refused (its overtone at 100 bpm, detector B
// at 50), the average stayed at 72 bpm and was stored against an ECG rate of 55. Three (about 3 s) cost
// one 30-s result on the clean recordings (cinc2015_a103l); two cost one more on BIDMC and one on the
// camera recordings, four kept one more result more than 5 bpm off.
constexpr int kMostUnfed = 3;

}  // namespace

void Detector::check_settled(bool was_locked, bool fed) {
  // Each lock starts its own history, so a fresh lock is reported at once, as before.
  if (!ready_) {
    settled_ = false;
    return;
  }
  if (!was_locked) settled_rate_.reset();
  if (fed)
    settled_rate_.push(interval_);
  else
    settled_rate_.skip();
  settled_ = settled_rate_.settled(kSettledPct, kMostUnfed);
}

Detector::Rhythm Detector::judge_rhythm(const Spectrum::Result& peaks, int interval_ms) const {
  if (interval_ms <= 0) return Rhythm::kPulse;
  // The overtone is read only below the stop band of the input low-pass (5 Hz, bin 32): above it the
  // filter takes the overtone away and a clean 160 bpm wave shows none.
  const float rate = decimated_rate();
  const float share = overtone_share(spectrum_.values(), kOvertoneBins, rate, interval_ms);
  if (share >= 0.0f) {
    if (share < kMinOvertoneShare) return Rhythm::kMovement;
    return borrowed_overtone(peaks, interval_ms) ? Rhythm::kMovement : Rhythm::kPulse;
  }
  // A fast rhythm whose overtone cannot be read is taken for movement when a slower candidate with a
  // pulse's overtone stands beside it: a swing faster than the pulse, not a fast pulse. Until the spectrum's
  // window holds no more of the reset's zeros, their transient gives slower candidates of its own.
  // Not yet known, the rhythm may count toward a lock but the lock is not reported.
  if (decisions_ * params.spectrum_period < kFftSize) return Rhythm::kNotYetKnown;
  for (int c = 0; c < peaks.count; ++c) {
    const int slower = peaks.interval_ms[c];
    // Slower means at least 20 % slower, apart from the rhythm's own peak.
    if (slower * 10 < interval_ms * 12 || peaks.magnitude[c] < kRivalShare * peaks.magnitude[0]) continue;
    // A candidate at half the rate has the rhythm itself for its overtone: a fast pulse's subharmonic.
    if (pct_of_larger(slower, 2 * interval_ms) < 8) continue;
    if (overtone_share(spectrum_.values(), kOvertoneBins, rate, slower) >= kMinOvertoneShare)
      return Rhythm::kMovement;
  }
  return Rhythm::kPulse;
}

bool Detector::borrowed_overtone(const Spectrum::Result& peaks, int interval_ms) const {
  // A swing at 1.5 times the pulse rate finds the pulse's third harmonic where its own overtone would lie
  // (3 x pulse = 2 x swing), so it passes for a rhythm with an overtone; and pulse and swing repeat every
  // two beats of the pulse, as alternating beats do. What gives it away is the pulse itself: a candidate
  // at two thirds of the rhythm's rate with an overtone of its own, which the beats confirm (detector B,
  // or the autocorrelation at its interval or at the two-beat pattern's) or whose overtone outweighs
  // the one the rhythm claims (a pulse's second harmonic against its third; on a camera recording the
  // beats scatter under the swing). A pulse whose rate falls to two thirds of the lock shows the same,
  // and the lock is rightly not reported. Beats that alternate repeat every second beat: their spectrum
  // holds lines at a half, one and one and a half times their rate, never at two thirds, so they are not
  // touched; a three-beat pattern (trigeminy) is, and is refused.
  const float rate = decimated_rate();
  const float* power = spectrum_.values();
  const int autocorrelation = quality_ >= params.min_quality ? autocorrelation_ms_ : -1;
  for (int c = 0; c < peaks.count; ++c) {
    const int slower = peaks.interval_ms[c];
    if (pct_of_larger(slower, interval_ms * 3 / 2) >= kTwoThirdsPct ||
        peaks.magnitude[c] < kTwoThirdsShare * peaks.magnitude[0])
      continue;
    const float its_overtone = power_at(power, kOvertoneBins, rate, slower / 2);
    if (its_overtone < kMinOvertoneShare * power_at(power, kOvertoneBins, rate, slower)) continue;
    const bool beats_agree = pct_of_larger(slower, detector_b_ms_) < 10 ||
                             (autocorrelation > 0 && (pct_of_larger(slower, autocorrelation) < 10 ||
                                                      pct_of_larger(2 * slower, autocorrelation) < 10));
    if (beats_agree || its_overtone >= power_at(power, kOvertoneBins, rate, interval_ms / 2)) return true;
  }
  return false;
}

void Detector::check_overtone_place(int interval_ms) {
  const float rate = decimated_rate();
  trace_.overtone_share = overtone_share(spectrum_.values(), kOvertoneBins, rate, interval_ms);
  trace_.overtone_pct = overtone_offset_pct(spectrum_.values(), kOvertoneBins, rate, interval_ms);
  // Each lock is judged on its own overtone; unlocked there is no average to confirm.
  if (!locked_) {
    overtone_place_.reset();
    return;
  }
  overtone_place_.check(trace_.overtone_share, trace_.overtone_pct);
}

void Detector::decide(const Spectrum::Result& peaks) {
  ++decisions_;
  trace_.decisions = decisions_;
  update_autocorrelation();
  const int spectral = pick_spectral_candidate(peaks);
  trace_.p_ms = detector_b_ms_;
  trace_.a_ms = autocorrelation_ms_;
  trace_.s_ms = spectral;
  trace_.top_fraction = peaks.top_fraction;
  trace_.peaks = peaks;
  // Without a beat of detector B, or an interval of the autocorrelation while that stage is on, there is
  // nothing to weigh the spectrum against.
  if ((params.autocorr_on && autocorrelation_ms_ <= 0) || detector_b_ms_ <= 0) return;

  const Estimates e = usable_estimates(peaks, spectral);
  const EstimateSpread d = measure_spread(e, interval_);
  // Locked, the average is the rate that would be stored, so it is the average that must look like a
  // pulse; unlocked, the candidate that would count toward a lock.
  const int judged = locked_ ? static_cast<int>(interval_) : e.spectral;
  rhythm_ = judge_rhythm(peaks, judged);
  check_overtone_place(judged);
  count_second_peak(peaks, e);
  trace_.second_peak = second_peak_;

  Choice choice;
  const bool pattern = two_beat_pattern(e);
  if (locked_ && pattern) {
    // Locked, the pattern's length stands for the two beats it spans, as it does toward a lock. Taken for
    // one beat it looks like the rate fallen to half, or lies near nothing, and a lock on alternating
    // beats went unfed until it was no longer reported while the spectrum stayed on the average.
    Estimates beats = e;
    beats.autocorrelation = e.autocorrelation / 2;
    choice.interval = follow_lock(beats, measure_spread(beats, interval_));
  } else if (locked_) {
    choice.interval = follow_lock(e, d);
  } else {
    choice = advance_toward_lock(e, d, pattern);
  }

  if (choice.interval > 0) enter_interval(choice.interval, choice.repeats);
  clamp_not_ready();
  check_settled(locked_, choice.interval > 0);
  locked_ = ready_;
  trace_.chosen = choice.interval;
  trace_.agree = agreements_.count();
  trace_.locked = locked_;
  trace_.held = !locked_ || ready() ? '-' : !settled_ ? 's' : rhythm_ != Rhythm::kPulse ? 'm' : 'o';
}

void Detector::update_autocorrelation() {
  if (!params.autocorr_on) {
    autocorrelation_ms_ = -1;
    quality_ = 100.0f;
    return;
  }
  const float ms_per_sample =
      1000.0f * static_cast<float>(params.decimation) / static_cast<float>(params.filter_rate);
  const Autocorrelator::Estimate a = acf_.estimate(ms_per_sample);
  quality_ = a.quality;
  // An estimate without a usable lag leaves the last interval standing.
  if (a.interval_ms > 2.0f) autocorrelation_ms_ = static_cast<int>(a.interval_ms);
}

int Detector::pick_spectral_candidate(const Spectrum::Result& peaks) const {
  if (peaks.count <= 0) return -1;
  if (!ready_) {
    // Unlocked, the strongest candidate may be an overtone: the fundamental wins when a time-domain
    // estimate measures beats at its interval.
    const int usable_autocorrelation = quality_ >= params.min_quality ? autocorrelation_ms_ : -1;
    const int fundamental =
        fundamental_interval(peaks, params.overtone_share, detector_b_ms_, usable_autocorrelation);
    return pulse_beside_movement(peaks, fundamental, usable_autocorrelation);
  }
  // Ready, the candidate nearest the average (the last one on a tie) follows the rate that is known.
  int nearest = -1;
  float nearest_distance = 0.0f;
  for (int c = 0; c < peaks.count; ++c) {
    const float distance = std::fabs(static_cast<float>(peaks.interval_ms[c]) - interval_);
    if (c == 0 || distance <= nearest_distance) {
      nearest_distance = distance;
      nearest = peaks.interval_ms[c];
    }
  }
  return nearest;
}

int Detector::pulse_beside_movement(const Spectrum::Result& peaks, int strongest,
                                    int usable_autocorrelation) const {
  // A steady movement may outweigh the pulse in the spectrum while the pulse still shows as a weaker
  // candidate of its own: the movement is a smooth swing without overtone, the pulse carries one, and the
  // beats that detector B or the autocorrelation count fall on it. That candidate is the pulse. Without
  // the beats' confirmation a pulse-shaped artefact could take the place of the swing, so both are needed.
  if (judge_rhythm(peaks, strongest) != Rhythm::kMovement) return strongest;
  const float rate = decimated_rate();
  for (int c = 0; c < peaks.count; ++c) {
    const int candidate = peaks.interval_ms[c];
    if (candidate == strongest || peaks.magnitude[c] < kPulseBesideMovementShare * peaks.magnitude[0])
      continue;
    // An overtone or subharmonic of the swing is the swing's own.
    if (overtone_related(candidate, strongest)) continue;
    // Under a swing at 1.5 times the pulse rate the wave repeats every two beats, and the autocorrelation
    // measures that pattern: twice the pulse's interval, three of the swing's.
    const bool beats_agree =
        pct_of_larger(candidate, detector_b_ms_) < 10 ||
        (usable_autocorrelation > 0 && (pct_of_larger(candidate, usable_autocorrelation) < 10 ||
                                        pct_of_larger(2 * candidate, usable_autocorrelation) < 10));
    if (beats_agree &&
        overtone_share(spectrum_.values(), kOvertoneBins, rate, candidate) >= kMinOvertoneShare)
      return candidate;
  }
  return strongest;
}

Estimates Detector::usable_estimates(const Spectrum::Result& peaks, int spectral) const {
  Estimates e;
  e.detector_b = detector_b_ms_;
  const bool spectrum_clear = peaks.top_fraction >= params.min_top_fraction && spectral > 0;
  e.spectral = spectrum_clear ? spectral : -1;
  const bool autocorrelation_usable = quality_ >= params.min_quality && autocorrelation_ms_ > 0;
  e.autocorrelation = autocorrelation_usable ? autocorrelation_ms_ : -1;
  return e;
}

void Detector::count_second_peak(const Spectrum::Result& peaks, const Estimates& e) {
  // The first two spectra are left out: most of their window is still the zeros of the reset.
  if (decisions_ < 3) return;
  const int fundamental = e.spectral > 0 ? e.spectral : peaks.interval_ms[0];
  const bool skip_overtones = params.overtone_share > 0.0f;
  if (rival_share(peaks, fundamental, e.detector_b, e.autocorrelation, skip_overtones) >
      params.second_peak_ratio) {
    second_peak_ += 3;
  } else if (second_peak_ > 0) {
    --second_peak_;
  }
}

bool Detector::two_beat_pattern(const Estimates& e) const {
  // A pulse under a swing at 1.5 times its rate repeats every two beats (three of the swing's), and so do
  // alternating beats: the autocorrelation's first strong maximum is then that pattern, twice the beats'
  // interval, while detector B, thrown by the swing's slopes, scatters. The pattern's length confirms the
  // beats as well as one beat would, but only while the spectrum shows next to nothing at half the rate:
  // a spectral candidate on the overtone of a slower pulse has the same autocorrelation at twice its
  // interval, and that pulse's fundamental below it (bidmc_47 locked at twice its 83 bpm with the
  // fundamental at a tenth of the overtone's power; a sharp synthetic 60 bpm wave at twice its rate with
  // the fundamental not among the candidates at all).
  return autocorrelation_spans_two(e, e.spectral) && !line_at_half_rate(e.spectral, kHalfRateShare);
}

bool Detector::autocorrelation_spans_two(const Estimates& e, int interval_ms) const {
  return interval_ms > 0 && e.autocorrelation > 0 &&
         static_cast<float>(pct_of_larger(e.autocorrelation, 2 * interval_ms)) < params.agree_tight_pct;
}

bool Detector::line_at_half_rate(int interval_ms, float share) const {
  const float rate = decimated_rate();
  const float* power = spectrum_.values();
  return power_at(power, kOvertoneBins, rate, 2 * interval_ms) >=
         share * power_at(power, kOvertoneBins, rate, interval_ms);
}

Detector::Choice Detector::advance_toward_lock(const Estimates& e, const EstimateSpread& d,
                                               bool two_beat_pattern) {
  Choice choice;
  if (motion_) {
    agreements_.restart();
    ready_ = false;
    return choice;
  }
  const float agree = params.agree_pct, tight = params.agree_tight_pct;
  // All three pairs agree; or the spectrum and detector B agree tightly; or, with the two-peak option, the
  // spectrum and the autocorrelation do.
  const bool agreement =
      (static_cast<float>(d.spectral_vs_b) < agree &&
       static_cast<float>(d.spectral_vs_autocorrelation) < agree &&
       static_cast<float>(d.autocorrelation_vs_b) < agree) ||
      static_cast<float>(d.spectral_vs_b) < tight ||
      (static_cast<float>(d.spectral_vs_autocorrelation) < tight && params.two_peak_option == 1) ||
      (two_beat_pattern && params.two_peak_option == 1);
  if (!agreement || rhythm_ == Rhythm::kMovement) {
    agreements_.disagree();
    return choice;
  }
  agreements_.agree(e.spectral);
  choice.interval = e.spectral;
  if (choice.interval > 0) {
    const float rate_bpm = params.freq_offset * 60000.0f / static_cast<float>(choice.interval);
    if (agreements_.count() > agreements_needed(rate_bpm)) {
      ready_ = true;
      agreements_.restart();
    }
    choice.repeats = rate_bpm > 50.0f ? 3 : 2;
  }
  return choice;
}

int Detector::agreements_needed(float rate_bpm) const {
  const Params& p = params;
  int need = p.ready_count[3];
  if (rate_bpm <= static_cast<float>(p.band_edge[0]))
    need = p.ready_count[0];
  else if (rate_bpm <= static_cast<float>(p.band_edge[1]))
    need = p.ready_count[1];
  else if (rate_bpm <= static_cast<float>(p.band_edge[2]))
    need = p.ready_count[2];
  // A second rhythm in the spectrum asks for twice the evidence.
  const bool second_rhythm = second_peak_ > 2;
  return second_rhythm ? need * 2 : need;
}

int Detector::follow_lock(const Estimates& e, const EstimateSpread& d) {
  const int chosen = check_overtone_choice(check_motion_jump(choose_while_locked(e, d)), e, d);
  // The average is the rate that would be stored, so it is the average that must look like a pulse.
  lock_loss_.on_pulse_check(rhythm_ != Rhythm::kMovement);
  check_lock_loss();
  second_peak_ = 0;
  return chosen;
}

int Detector::choose_while_locked(const Estimates& e, const EstimateSpread& d) {
  const float near = params.locked_near_pct;
  const int pairs = pairs_within(d, params.agree_pct);
  if (pairs >= 2) {
    lock_loss_.on_confirmed();
    if (static_cast<float>(d.spectral_from_average) < near) return e.spectral;
    if (static_cast<float>(d.b_from_average) < near) return e.detector_b;
    return nearest_to_average(e, d);
  }
  if (pairs == 1) {
    const float one = params.locked_one_pct;
    int chosen;
    if (static_cast<float>(d.spectral_from_average) <= one)
      chosen = e.spectral;
    else if (static_cast<float>(d.b_from_average) <= one)
      chosen = e.detector_b;
    else
      chosen = nearest_to_average(e, d);
    // A lone agreeing pair may not move the average by more than a jump.
    if (std::fabs(static_cast<float>(chosen) - interval_) > params.locked_jump_pct * 0.01f * interval_) {
      lock_loss_.on_jump();
      return -1;
    }
    return chosen;
  }
  if (static_cast<float>(d.spectral_from_average) < near) return e.spectral;
  if (static_cast<float>(d.b_from_average) < near) return e.detector_b;
  if (static_cast<float>(d.autocorrelation_from_average) < near) return e.autocorrelation;
  lock_loss_.on_nothing_near();
  return -1;
}

int Detector::check_overtone_choice(int chosen, const Estimates& e, const EstimateSpread& d) {
  // Detector B and the autocorrelation agree on a rhythm whose overtone the chosen interval is: the
  // rate has fallen to about half the average and the spectrum's candidate nearest the average is now
  // the overtone of the new rate (bidmc_45 dropped from 80 to 45 bpm and the average climbed to 86 on
  // the overtone at 91). Nothing is entered, so the lock is not reported, and the refusal counts toward
  // losing it, so that the detector can lock afresh on the new rate. Alternating beats give the same
  // estimates with next to nothing at half the rate; their autocorrelation arrives here halved (decide).
  //
  // Detector B may take a slow pulse's dicrotic wave for beats of their own (a synthetic 57 bpm wave read
  // as 145 bpm) and then agrees with nothing, while the old rate lies within the new rate's overtone line and
  // goes on feeding the lock (a synthetic fall from 110 to 57 bpm followed the overtone to 114 for the whole
  // period). The autocorrelation at twice the chosen interval with a line at half the chosen rate is then
  // the new rate's beats, as it is the two-beat pattern of alternating beats when that line is missing
  // (two_beat_pattern).
  const bool time_domain_agree = static_cast<float>(d.autocorrelation_vs_b) < params.agree_pct;
  const bool beats_at_half_rate =
      autocorrelation_spans_two(e, chosen) && line_at_half_rate(chosen, kHalfRateBeatsShare);
  if (chosen > 0 && ((time_domain_agree && overtone_related(chosen, e.detector_b)) || beats_at_half_rate)) {
    lock_loss_.on_jump();
    return -1;
  }
  return chosen;
}

int Detector::check_motion_jump(int chosen) {
  // The limit of the motion test is read in percent of the average.
  const bool jumped =
      motion_ && pct_off(static_cast<float>(chosen), interval_) > static_cast<int>(params.motion_jump_pct);
  lock_loss_.on_motion_check(jumped);
  return jumped ? -1 : chosen;
}

void Detector::check_lock_loss() {
  if (lock_loss_.exceeded(params)) {
    ready_ = false;
    lock_loss_.after_loss();
  } else {
    ready_ = true;
  }
}

}  // namespace corvane::ostrel
