// The peak detectors on a clean synthetic pulse wave of known rate, stepped at 200 steps per second.
#include "peak_detector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "params.h"
#include "synthetic_pulse.h"

namespace corvane::ostrel {
namespace {

constexpr double kStepRate = 200.0;

// The slope of the pulse wave, as the detectors see it after the input filters.
double slope(double t, double bpm) {
  const double h = 0.001;
  return 1000.0 * (ostrel_test::pulse_wave(t + h, bpm) - ostrel_test::pulse_wave(t - h, bpm)) / (2 * h);
}

std::vector<int> beats(PeakDetector& detector, double bpm, double seconds) {
  std::vector<int> intervals;
  for (int i = 0; i < static_cast<int>(seconds * kStepRate); ++i) {
    const int ms = detector.step(static_cast<float>(slope(i / kStepRate, bpm)), 5.0f);
    if (ms > 0) intervals.push_back(ms);
  }
  return intervals;
}

class PeakDetectorOnCleanWave : public ::testing::TestWithParam<double> {};

TEST_P(PeakDetectorOnCleanWave, detector_b_finds_every_beat_at_its_interval) {
  const double bpm = GetParam();
  PeakDetector b;
  b.configure(default_params(Column::k20Hz).peak_b);
  b.reset();
  const std::vector<int> intervals = beats(b, bpm, 30.0);
  const double expected_ms = 60000.0 / bpm;
  // The first beat only stores the amplitude; every later one reports its interval.
  EXPECT_NEAR(static_cast<double>(intervals.size()), 30.0 * bpm / 60.0 - 1.0, 1.0);
  for (size_t i = 1; i < intervals.size(); ++i)
    EXPECT_NEAR(intervals[i], expected_ms, 6.0) << i;
}

TEST_P(PeakDetectorOnCleanWave, detector_a_finds_the_same_beats) {
  const double bpm = GetParam();
  PeakDetector a;
  a.configure(default_params(Column::k20Hz).peak_a);
  a.reset();
  const std::vector<int> intervals = beats(a, bpm, 30.0);
  EXPECT_NEAR(static_cast<double>(intervals.size()), 30.0 * bpm / 60.0 - 1.0, 1.0);
  for (size_t i = 1; i < intervals.size(); ++i)
    EXPECT_NEAR(intervals[i], 60000.0 / bpm, 6.0) << i;
}

INSTANTIATE_TEST_SUITE_P(Rates, PeakDetectorOnCleanWave, ::testing::Values(48.0, 72.0, 110.0, 150.0));

TEST(PeakDetector, fast_rate_switches_to_fast_decay_and_back) {
  PeakDetector b;
  b.configure(default_params(Column::k20Hz).peak_b);
  b.reset();
  beats(b, 130.0, 10.0);  // 92 steps per beat: fast
  EXPECT_TRUE(b.fast_mode());
  beats(b, 60.0, 10.0);  // 200 steps per beat: slow
  EXPECT_FALSE(b.fast_mode());
}

TEST(PeakDetector, constant_input_finds_no_beat) {
  PeakDetector b;
  b.configure(default_params(Column::k20Hz).peak_b);
  b.reset();
  int found = 0;
  for (int i = 0; i < 4000; ++i)
    found += b.step(5.0f, 5.0f) > 0;
  EXPECT_EQ(found, 0);
}

TEST(Interpolator, holds_a_constant_and_ramps_a_step_without_overshoot) {
  Interpolator up;
  up.configure(10, true);
  float y = 0.0f;
  for (int i = 0; i < 30; ++i)
    y = up.step(2.0f);
  EXPECT_FLOAT_EQ(y, 2.0f);
  float last = y;
  for (int i = 0; i < 30; ++i) {
    y = up.step(5.0f);
    EXPECT_GE(y, last - 1e-5f);
    EXPECT_LE(y, 5.0f + 1e-5f);
    last = y;
  }
  EXPECT_NEAR(y, 5.0f, 1e-4f);
}

TEST(Interpolator, places_a_sampled_maximum_between_the_samples) {
  // A 1 Hz cosine sampled at 20 Hz with its maximum halfway between two samples: the interpolated
  // maximum must fall between them, not on either sample.
  Interpolator up;
  up.configure(10, true);
  int best_step = -1;
  float best = -1e9f;
  for (int n = 0; n < 40; ++n) {
    const float x = std::cos(2.0f * 3.14159265f * (static_cast<float>(n) - 10.5f) / 20.0f);
    for (int s = 0; s < 10; ++s) {
      const float y = up.step(x);
      const int step = n * 10 + s;
      if (y > best) {
        best = y;
        best_step = step;
      }
    }
  }
  // The sample maximum lies at n = 10.5, i.e. step 105; the two running means delay it by 9.5 steps
  // and the hold by 4.5 more.
  EXPECT_NEAR(best_step % 10, 9, 2);
}

}  // namespace
}  // namespace corvane::ostrel
