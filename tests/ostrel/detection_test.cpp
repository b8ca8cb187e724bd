// What the detector answers for kinds of input: clean pulses, no pulse, moving thumbs and bad readings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "library_fixture.h"
#include "ostrel.h"
#include "synthetic_pulse.h"

namespace corvane::ostrel_test {
namespace {

class Detection : public OpenLibrary {
 protected:
  void SetUp() override {
    OpenLibrary::SetUp();
    HRD_Set_FreqOffset(1.0f);  // readings at exactly 20 Hz
  }
};

TEST_F(Detection, clean_wave_locks_within_the_design_time_at_its_rate_and_stays_ready) {
  for (double bpm : {45.0, 55.0, 75.0, 100.0, 140.0, 160.0, 175.0, 185.0}) {
    HRDReset();
    const std::vector<float> wave = pulse_readings(bpm, 25.0);
    int first_ready = -1, dropped = 0;
    for (size_t i = 0; i < wave.size(); ++i) {
      const bool ready = HRDProcessTop(0, 1, wave[i], kLevel) != 0;
      if (ready && first_ready < 0) first_ready = static_cast<int>(i);
      if (!ready && first_ready >= 0) ++dropped;
    }
    ASSERT_GE(first_ready, 0) << bpm;
    EXPECT_LT(first_ready / 20.0, 16.0) << bpm;
    EXPECT_GE(first_ready / 20.0, 5.0) << bpm;  // warm-up, replay and several decisions first
    // Nothing in a clean wave may take the report back, not even its own subharmonic.
    EXPECT_EQ(dropped, 0) << bpm;
    EXPECT_NEAR(HRD_Get_HRAvg(), bpm, 2.0) << bpm;
    EXPECT_GT(HRD_GetSignalQualtiy(), 50) << bpm;
  }
}

TEST_F(Detection, frequency_offset_scales_the_reported_rate) {
  HRD_Set_FreqOffset(1.085f);
  ASSERT_GE(feed(pulse_readings(75.0, 25.0)), 0);
  EXPECT_NEAR(HRD_Get_HRAvg(), 75.0 * 1.085, 2.0);
}

TEST_F(Detection, amplitude_does_not_change_the_result) {
  for (double amplitude : {250.0, 1000.0, 16000.0, 100000.0}) {
    HRDReset();
    ASSERT_GE(feed(pulse_readings(80.0, 25.0, amplitude)), 0) << amplitude;
    EXPECT_NEAR(HRD_Get_HRAvg(), 80.0, 2.0) << amplitude;
  }
}

TEST_F(Detection, weak_and_strong_pulses_lock_at_the_same_time) {
  // Nothing amplitude-dependent may enter the spectrum: a 16 times weaker sensor locks no later.
  std::vector<int> first_ready;
  for (double amplitude : {250.0, 4000.0, 64000.0}) {
    HRDReset();
    first_ready.push_back(feed(pulse_readings(70.0, 25.0, amplitude)));
    ASSERT_GE(first_ready.back(), 0) << amplitude;
  }
  EXPECT_LE(std::abs(first_ready[0] - first_ready[2]), 21);  // within one decision
  EXPECT_LE(std::abs(first_ready[1] - first_ready[2]), 21);
}

TEST_F(Detection, debug_mode_set_before_open_skips_the_warm_up_and_motion_detection) {
  const int normal = feed(pulse_readings(75.0, 25.0));
  ASSERT_GE(normal, 0);
  HRDClose();
  HRD_Set_Debug_On();
  ASSERT_EQ(HRDOpen_i20Hz(work_.data()), 0);
  HRD_Set_FreqOffset(1.0f);
  HRDProcessTop(0, 1, 400000.0f, kLevel);
  HRDProcessTop(0, 1, 400000.0f, kLevel);  // the buffer counted as stable at once: replayed now
  EXPECT_EQ(HRD_Get_MotionFlag(), 0);
  const int debug = feed(pulse_readings(75.0, 25.0));
  ASSERT_GE(debug, 0);
  EXPECT_LT(debug, normal - 60);  // at least 3 s sooner: no 5-s buffer to fill
}

TEST_F(Detection, constant_input_is_never_ready) {
  const std::vector<float> flat(1200, 400000.0f);
  EXPECT_EQ(feed(flat), -1);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 0);
}

TEST_F(Detection, average_stays_between_60_and_100_while_not_ready) {
  // Rates outside 60..100, noise and silence: whatever the detector sees, the average it shows while
  // not ready stays inside the held range.
  std::mt19937 rng(11);
  std::normal_distribution<float> noise(0.0f, 3000.0f);
  std::vector<std::vector<float>> inputs = {pulse_readings(42.0, 40.0), pulse_readings(160.0, 40.0),
                                            std::vector<float>(800, 400000.0f)};
  std::vector<float> noisy;
  for (int i = 0; i < 800; ++i)
    noisy.push_back(400000.0f + noise(rng));
  inputs.push_back(noisy);
  for (const auto& input : inputs) {
    HRDReset();
    for (float r : input) {
      HRDProcessTop(0, 1, r, kLevel);
      if (!HRD_Get_ReadyFlag()) {
        ASSERT_GE(HRD_Get_HRAvg(), 60);
        ASSERT_LE(HRD_Get_HRAvg(), 100);
      }
    }
  }
}

// A clean 75 bpm wave; from 8 s on (after the warm-up, before a lock) a burst of thumb movement - large,
// irregular swings - every three seconds.
std::vector<float> wave_with_motion(bool with_bursts) {
  std::vector<float> r = pulse_readings(75.0, 40.0);
  if (!with_bursts) return r;
  std::mt19937 rng(5);
  std::normal_distribution<float> swing(0.0f, 60000.0f);
  for (size_t i = 0; i < r.size(); ++i) {
    if (i >= 160 && i % 60 < 25) r[i] += swing(rng);  // 1.25 s of movement every 3 s
  }
  return r;
}

TEST_F(Detection, motion_keeps_an_unlocked_detector_not_ready) {
  int motion_seen = 0;
  int ready_seen = 0;
  const std::vector<float> input = wave_with_motion(true);
  for (size_t i = 0; i < input.size(); ++i) {
    ready_seen += HRDProcessTop(0, 1, input[i], kLevel);
    if (i >= 160) motion_seen += HRD_Get_MotionFlag();
  }
  EXPECT_EQ(ready_seen, 0);
  EXPECT_GT(motion_seen, 200);  // the bursts are seen as motion
  // The same wave without the movement locks.
  HRDReset();
  EXPECT_GE(feed(wave_with_motion(false)), 0);
}

// Ready readings whose average lies more than 5 bpm off `bpm`, for a pulse under a steady sine-like swing
// (a hand moving the mouse back and forth) at `swing_hz` and twice the pulse's amplitude.
int ready_off_the_pulse(double bpm, float swing_hz) {
  std::vector<float> input = pulse_readings(bpm, 60.0);
  for (size_t i = 0; i < input.size(); ++i)
    input[i] += std::round(4000.0f * std::sin(2.0f * 3.14159265f * swing_hz * static_cast<float>(i) / 20.0f));
  int off = 0;
  for (float r : input) {
    if (HRDProcessTop(0, 1, r, kLevel) && std::abs(HRD_Get_HRAvg() - bpm) > 5) ++off;
  }
  return off;
}

TEST_F(Detection, steady_periodic_motion_is_not_taken_for_the_pulse) {
  // The swing dominates the spectrum and detector B; only its lack of a pulse's overtone tells it apart.
  // At 1.8 times a 70 bpm pulse the swing's overtone can be read; at 1.8 times a 92 bpm pulse it lies in
  // the input low-pass's stop band, and the slower pulse beside the swing gives it away.
  EXPECT_EQ(ready_off_the_pulse(70.0, 2.1f), 0);
  HRDReset();
  EXPECT_EQ(ready_off_the_pulse(92.0, 2.76f), 0);
}

// Readings of a pulse at `bpm` under a steady sine-like swing at `ratio` times its rate whose peak is
// `swing` times the pulse's amplitude.
std::vector<float> pulse_under_swing(double bpm, double ratio, double swing) {
  std::vector<float> input = pulse_readings(bpm, 60.0);
  const double hz = ratio * bpm / 60.0;
  for (size_t i = 0; i < input.size(); ++i)
    input[i] +=
        static_cast<float>(std::round(4000.0 * swing * std::sin(2.0 * std::numbers::pi * hz * i / 20.0)));
  return input;
}

struct StoredReadings {
  int near = 0;  // readings after 8 s of ready, as the program stores them, within 3 bpm of the pulse
  int off = 0;   // the same, more than 5 bpm off it
};

StoredReadings stored_readings(const std::vector<float>& input, double bpm) {
  StoredReadings c;
  int ready_for = 0;
  for (float r : input) {
    ready_for = HRDProcessTop(0, 1, r, kLevel) ? ready_for + 1 : 0;
    if (ready_for <= 8 * 20) continue;
    const double off = std::abs(HRD_Get_HRAvg() - bpm);
    c.near += off <= 3.0;
    c.off += off > 5.0;
  }
  return c;
}

TEST_F(Detection, a_swing_just_faster_than_the_pulse_is_not_stored_on_the_merged_peak) {
  // A hand moving a little faster than the heart (1.15 times): swing and pulse merge into one spectral
  // peak between the two, which every estimate follows together. Only the pulse's overtone, which the
  // smooth swing lacks and which stays at twice the true rate, shows that the average is not the pulse.
  for (double bpm : {66.0, 80.0}) {
    HRDReset();
    EXPECT_EQ(stored_readings(pulse_under_swing(bpm, 1.15, 0.3), bpm).off, 0) << bpm << " bpm";
  }
}

TEST_F(Detection, the_pulse_beside_a_dominating_faster_swing_is_measured) {
  // The swing (1.8 times the rate) outweighs the pulse in the spectrum but has no overtone, while the
  // pulse beside it has one and carries the beats the time-domain detectors count: that is the rate to
  // lock on, rather than refusing for as long as the hand moves.
  const StoredReadings c = stored_readings(pulse_under_swing(90.0, 1.8, 0.5), 90.0);
  EXPECT_EQ(c.off, 0);
  EXPECT_GT(c.near, 20 * 20);
}

TEST_F(Detection, a_swing_at_one_and_a_half_times_the_pulse_is_not_taken_for_alternating_beats) {
  // Pulse and swing repeat every two beats, as alternating beats do, and the pulse's third harmonic lies
  // where the swing's overtone would: at the pulse's amplitude the swing was stored 33-40 bpm off.
  for (double bpm : {66.0, 72.0, 80.0}) {
    HRDReset();
    EXPECT_EQ(stored_readings(pulse_under_swing(bpm, 1.5, 0.5), bpm).off, 0) << bpm << " bpm";
  }
}

TEST_F(Detection, a_swing_of_the_rate_is_not_reported_as_ready_until_it_has_settled) {
  // Locked on a steady 75 bpm, the rate then climbs to 88 bpm within 3 s and stays there. The program
  // stores the average after 8 s of ready; while the average is still on its way, the detector must not
  // call it ready, and once settled at the new rate it must again.
  std::vector<float> input;
  double beats = 0.0;
  for (int i = 0; i < 60 * 20; ++i) {
    const double t = i / 20.0;
    const double bpm = t < 30.0 ? 75.0 : (t < 33.0 ? 75.0 + 13.0 * (t - 30.0) / 3.0 : 88.0);
    beats += bpm / 60.0 / 20.0;
    input.push_back(static_cast<float>(std::round(400000.0 - 4000.0 * pulse_wave(beats * 0.8, 75.0))));
  }
  bool ready_before = false, dropped = false, ready_at_end = false;
  for (size_t i = 0; i < input.size(); ++i) {
    const bool ready = HRDProcessTop(0, 1, input[i], kLevel) != 0;
    if (i == 30 * 20) ready_before = ready;
    if (i > 30 * 20 && i < 45 * 20 && !ready) dropped = true;
    if (i + 1 == input.size()) ready_at_end = ready;
  }
  EXPECT_TRUE(ready_before);
  EXPECT_TRUE(dropped);
  EXPECT_TRUE(ready_at_end);
  EXPECT_NEAR(HRD_Get_HRAvg(), 88, 2);
}

TEST_F(Detection, a_lock_whose_average_nobody_feeds_stops_being_ready) {
  // Locked on 75 bpm, the rate falls at once to 50 bpm: the locked decision refuses the new estimates
  // (too far from the average) and the average stays at 75. That stale rate must not stay ready long
  // enough for the program to store it (8 s).
  std::vector<float> input = pulse_readings(75.0, 30.0);
  const std::vector<float> slower = pulse_readings(50.0, 30.0);
  input.insert(input.end(), slower.begin(), slower.end());
  int stale_ready = 0;
  for (size_t i = 0; i < input.size(); ++i) {
    const bool ready = HRDProcessTop(0, 1, input[i], kLevel) != 0;
    if (i >= 36 * 20 && ready && std::abs(HRD_Get_HRAvg() - 75) <= 3) ++stale_ready;
  }
  EXPECT_EQ(stale_ready, 0);
  EXPECT_EQ(HRD_Get_ReadyFlag(), 1);
  EXPECT_NEAR(HRD_Get_HRAvg(), 50, 2);
}

TEST_F(Detection, a_fall_to_about_half_the_rate_is_not_followed_on_its_overtone) {
  // Locked on a rate, it falls at once to a little over half of it, whose overtone lies near the average:
  // the lock must not follow the overtone, and must lock afresh on the new rate. At 57 and 62 bpm detector
  // B reads the dicrotic waves as beats, so only the autocorrelation and the spectrum's new line tell the
  // fall; the 10-s spectrum shows that line some 6 s after the fall.
  for (const auto& [from, to] : {std::pair{80.0, 42.0}, {100.0, 52.0}, {110.0, 57.0}, {120.0, 62.0}}) {
    HRDReset();
    std::vector<float> input = pulse_readings(from, 30.0);
    const std::vector<float> slower = pulse_readings(to, 30.0);
    input.insert(input.end(), slower.begin(), slower.end());
    int ready_off = 0;
    for (size_t i = 0; i < input.size(); ++i) {
      const bool ready = HRDProcessTop(0, 1, input[i], kLevel) != 0;
      if (i >= 37 * 20 && ready && std::abs(HRD_Get_HRAvg() - to) > 3) ++ready_off;
    }
    EXPECT_EQ(ready_off, 0) << from << " -> " << to;
    EXPECT_EQ(HRD_Get_ReadyFlag(), 1) << from << " -> " << to;
    EXPECT_NEAR(HRD_Get_HRAvg(), to, 2) << from << " -> " << to;
  }
}

// Readings of beats at `bpm` on average which alternate from `from_s` on: every second beat has `weak` of
// the others' amplitude and comes `early` (a share of the interval) sooner, as in bigeminy or an
// alternating pulse. Each beat is pulse_wave's systolic and dicrotic wave.
std::vector<float> alternating_beats(double bpm, double seconds, double from_s, double weak, double early) {
  const double period = 60.0 / bpm;
  std::vector<double> onsets, amplitudes;
  for (double t = 0.0; t < seconds + period;) {
    const bool alternating = t >= from_s, second = onsets.size() % 2 == 1;
    onsets.push_back(t);
    amplitudes.push_back(alternating && second ? weak : 1.0);
    t += alternating ? period * (second ? 1.0 + early : 1.0 - early) : period;
  }
  auto bump = [](double x, double centre, double width) {
    return std::exp(-0.5 * std::pow((x - centre) / width, 2));
  };
  std::vector<float> out;
  for (int i = 0; i < static_cast<int>(seconds * 20.0); ++i) {
    double v = 0.0;
    for (size_t k = 0; k < onsets.size(); ++k) {
      const double x = (i / 20.0 - onsets[k]) / period;
      if (x > -1.0 && x < 2.0) v += amplitudes[k] * (bump(x, 0.25, 0.08) + 0.35 * bump(x, 0.55, 0.10));
    }
    out.push_back(static_cast<float>(std::round(400000.0 - 4000.0 * v)));
  }
  return out;
}

TEST_F(Detection, a_lock_stays_reported_when_the_beats_start_to_alternate) {
  // Locked on regular beats, every second beat then turns weak and early: detector B misses the weak ones
  // and the autocorrelation measures the two-beat pattern, both at half the rate, while the spectrum stays
  // on the beats with next to nothing at half their rate. The rate has not changed: it must stay stored.
  for (double bpm : {88.0, 94.0}) {
    HRDReset();
    const std::vector<float> input = alternating_beats(bpm, 70.0, 25.0, 0.25, 0.15);
    feed(std::vector<float>(input.begin(), input.begin() + 25 * 20));
    const StoredReadings c = stored_readings(std::vector<float>(input.begin() + 25 * 20, input.end()), bpm);
    EXPECT_EQ(c.off, 0) << bpm << " bpm";
    EXPECT_GT(c.near, 20 * 20) << bpm << " bpm";
  }
}

TEST_F(Detection, non_finite_and_absurd_readings_are_dropped_without_a_trace) {
  const std::vector<float> clean = pulse_readings(75.0, 30.0);
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), -5.0f, 1e12f};
  std::vector<char> ready_clean, ready_dirty;
  std::vector<int> avg_clean, avg_dirty;
  for (float r : clean) {
    ready_clean.push_back(HRDProcessTop(0, 1, r, kLevel));
    avg_clean.push_back(HRD_Get_HRAvg());
  }
  HRDReset();
  for (size_t i = 0; i < clean.size(); ++i) {
    if (i % 37 == 5) {
      for (float b : bad)
        EXPECT_EQ(HRDProcessTop(0, 1, b, kLevel), 0);
      EXPECT_EQ(HRDProcessTop(0, 1, clean[i], std::numeric_limits<float>::quiet_NaN()), 0);
      EXPECT_EQ(HRDProcessTop(0, 1, clean[i], std::numeric_limits<float>::infinity()), 0);
    }
    ready_dirty.push_back(HRDProcessTop(0, 1, clean[i], kLevel));
    avg_dirty.push_back(HRD_Get_HRAvg());
  }
  EXPECT_EQ(ready_dirty, ready_clean);
  EXPECT_EQ(avg_dirty, avg_clean);
  EXPECT_EQ(ready_clean.back(), 1);
}

TEST_F(Detection, level_zero_skips_the_reading) {
  const std::vector<float> clean = pulse_readings(75.0, 4.0);
  for (float r : clean)
    EXPECT_EQ(HRDProcessTop(0, 1, r, 0.0f), 0);
  // Nothing was processed: the warm-up has not begun, so 5 s of readings still cannot make it ready.
  EXPECT_EQ(feed(pulse_readings(75.0, 4.5)), -1);
}

TEST_F(Detection, wild_readings_never_break_it) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<float> wild(0.0f, 4294967295.0f);
  for (int i = 0; i < 4000; ++i)
    HRDProcessTop(0, 1, wild(rng), kLevel);
  const int average = HRD_Get_HRAvg();
  EXPECT_GT(average, 0);
  // And it recovers: after a reset a clean wave locks as usual.
  HRDReset();
  ASSERT_GE(feed(pulse_readings(75.0, 25.0)), 0);
  EXPECT_NEAR(HRD_Get_HRAvg(), 75, 2);
}

TEST_F(Detection, extreme_settings_never_break_it) {
  const float odd_floats[] = {0.0f,
                              -1.0f,
                              1e-30f,
                              1e30f,
                              std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity()};
  const int odd_ints[] = {-1000000, -1, 0, 1, 255, 256, 1000000};
  const std::vector<float> wave = pulse_readings(75.0, 12.0);
  for (float f : odd_floats) {
    for (int i : odd_ints) {
      HRD_Set_FreqOffset(f);
      HRD_Set_Diff_Time(f, i);
      HRD_Set_SkipCounterTh(i);
      HRD_Set_PeakProcessReadyCounter_Th(i, i, i, i, i, i, i);
      HRD_Set_HeartRateNotReadyBoundary(i, -i);
      HRD_Set_ReadyCounter_Th(i, i, i, i, i, i);
      HRD_Set_PI_Calculate(f, f);
      HRDReset();
      feed(wave);
      const int average = HRD_Get_HRAvg();
      EXPECT_GE(average, 0);
      EXPECT_TRUE(std::isfinite(HRD_Get_PI_Index()));
    }
  }
  // Back to sane settings, it measures again.
  HRDClose();
  ASSERT_EQ(HRDOpen_i20Hz(work_.data()), 0);
  HRD_Set_FreqOffset(1.0f);
  ASSERT_GE(feed(pulse_readings(75.0, 25.0)), 0);
  EXPECT_NEAR(HRD_Get_HRAvg(), 75, 2);
}

}  // namespace
}  // namespace corvane::ostrel_test
